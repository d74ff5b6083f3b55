#!/usr/bin/env python3
"""Writes family.ged: a made-up family of about fifty people over two and a half centuries,
from farms in Skåne, a mill near Bremen and the harbours of Cork to Minnesota, Chicago and
California; eight surnames, occupations of their time, emigrations, wars and marriages. It
shows what a GEDCOM import gives (the README's picture is made from it). Every name, date and
place is invented; the same file comes out on every run."""

import os
import random

rng = random.Random(1758)

GIVEN = {
    'SE': (['Sven', 'Lars', 'Nils', 'Per', 'Olof', 'Anders', 'Johan', 'Erik'],
           ['Brita', 'Kerstin', 'Anna', 'Maja', 'Ingrid', 'Elin', 'Karin', 'Sigrid']),
    'DE': (['Johann', 'Friedrich', 'Heinrich', 'Karl', 'Wilhelm'],
           ['Margarethe', 'Sophie', 'Luise', 'Dorothea', 'Wilhelmine']),
    'IE': (['Patrick', 'Michael', 'Sean', 'Thomas', 'Daniel'],
           ['Mary', 'Bridget', 'Kathleen', 'Nora', 'Ellen']),
    'US': (['James', 'Robert', 'William', 'George', 'Walter', 'Richard', 'David'],
           ['Helen', 'Ruth', 'Dorothy', 'Margaret', 'Alice', 'Susan', 'Linda']),
}
SURNAMES = {'SE': ['Lindqvist', 'Ahlström'], 'DE': ['Müller', 'Weber'], 'IE': ["O'Brien", 'Walsh'],
            'US': ['Walker', 'Novak']}
PLACES = {
    'SE': ['Löderup, Malmöhus Län, Sweden', 'Ystad, Malmöhus Län, Sweden',
           'Simrishamn, Kristianstad Län, Sweden'],
    'DE': ['Vegesack, Bremen, Germany', 'Lilienthal, Hannover, Germany'],
    'IE': ['Cork, County Cork, Ireland', 'Kinsale, County Cork, Ireland'],
    'US': ['Minneapolis, Hennepin, Minnesota, USA', 'Chicago, Cook, Illinois, USA',
           'Duluth, St. Louis, Minnesota, USA', 'Oakland, Alameda, California, USA'],
}
PORTS = {'SE': 'Göteborg, Sweden', 'DE': 'Bremerhaven, Germany', 'IE': 'Queenstown, Ireland'}
WORK = [  # (until the year of birth, men's work, women's work)
    (1800, ['Farmer', 'Miller', 'Fisherman', 'Blacksmith'], ['Farmer', 'Spinner', 'Dairymaid']),
    (1850, ['Farmer', 'Sailor', 'Carpenter', 'Miller'], ['Seamstress', 'Farmer', 'Maid']),
    (1890, ['Railway worker', 'Miner', 'Carpenter', 'Shopkeeper'],
     ['Seamstress', 'Teacher', 'Cook']),
    (1925, ['Machinist', 'Clerk', 'Engineer', 'Pastor'], ['Teacher', 'Nurse', 'Typist']),
    (9999, ['Engineer', 'Physician', 'Architect'], ['Nurse', 'Librarian', 'Chemist']),
]
MONTHS = 'JAN FEB MAR APR MAY JUN JUL AUG SEP OCT NOV DEC'.split()

people = []
families = []


def date(year, exact=True):
    if not exact:
        return rng.choice(['ABT ', 'ABT ', 'BEF ', 'EST ']) + str(year)
    return '%d %s %d' % (rng.randint(1, 28), rng.choice(MONTHS), year)


def add_person(sex, surname, land, born, may_emigrate=True):
    # A name nobody in the file has yet, so that every line of the chart tells whom it is.
    taken = {p['name'] for p in people}
    names = GIVEN[land][sex == 'F']
    given = next(g for g in rng.sample(names, len(names)) + [a + ' ' + b for a in names
                                                            for b in names if a != b]
                 if '%s /%s/' % (g, surname) not in taken)
    work = next(w for w in WORK if born <= w[0])
    age = rng.choice([rng.randint(58, 93), rng.randint(58, 93), rng.randint(30, 57)])
    p = {'id': 'I%d' % (len(people) + 1), 'sex': sex, 'name': '%s /%s/' % (given, surname),
         'land': land, 'born': born, 'died': born + age,
         'occu': rng.choice(work[1 + (sex == 'F')]), 'events': [], 'fams': [], 'famc': None}
    # Nobody is living: the last of them died before the file was made.
    if p['died'] > 2014:
        p['died'] = rng.randint(max(born + 45, 1996), 2014)
    p['birthplace'] = rng.choice(PLACES[land])
    p['deathplace'] = p['birthplace']
    if may_emigrate and land != 'US' and 1835 <= born <= 1885 and rng.random() < 0.7:
        left = born + rng.randint(18, 26)
        p['events'].append(('EMIG', str(left), PORTS[land]))
        p['events'].append(('IMMI', str(left), 'New York, New York, USA'))
        p['land'] = 'US'
        p['deathplace'] = rng.choice(PLACES['US'])
        p['events'].append(('RESI', 'FROM %d TO %d' % (left + 1, left + 9), p['deathplace']))
    if sex == 'M' and p['land'] == 'US' and 1890 <= born <= 1899:
        p['events'].append(('MILI', '1918', 'Meuse-Argonne, France'))
    if sex == 'M' and p['land'] == 'US' and 1915 <= born <= 1925:
        p['events'].append(('MILI', 'FROM 1942 TO 1945', 'Pacific Ocean'))
    if born >= 1900 and rng.random() < 0.5:
        p['events'].append(('GRAD', str(born + 22), rng.choice(PLACES[p['land']])))
    people.append(p)
    return p


def marry(a, b, year):
    f = {'id': 'F%d' % (len(families) + 1), 'husb': a, 'wife': b, 'year': year, 'children': []}
    a['fams'].append(f)
    b['fams'].append(f)
    families.append(f)
    return f


# Three founding couples of the 1760s, each in its own country.
couples = []
for land in ['SE', 'DE', 'IE']:
    born = rng.randint(1756, 1768)
    h = add_person('M', SURNAMES[land][0], land, born)
    w = add_person('F', SURNAMES[land][1], land, born + rng.randint(-3, 4))
    couples.append(marry(h, w, born + rng.randint(20, 27)))

# Each generation: a couple has one or two children, and one of them marries someone of another family of the country the child lives in, down to the children
# born after the Second World War.
while couples:
    nextCouples = []
    for f in couples:
        surname = f['husb']['name'].split('/')[1]
        children = rng.choice([1, 2, 2])
        marrying = rng.randrange(children)
        for k in range(children):
            born = f['year'] + rng.randint(1, 12)
            if born >= 1940:
                continue
            child = add_person(rng.choice('MF'), surname, f['husb']['land'], born)
            child['famc'] = f
            f['children'].append(child)
            if k == marrying:
                land = child['land']
                pool = [s for s in SURNAMES[land] if s != surname] or SURNAMES[land]
                spouse = add_person('F' if child['sex'] == 'M' else 'M', rng.choice(pool), land,
                                    born + rng.randint(-4, 4), may_emigrate=False)
                spouse['deathplace'] = child['deathplace']
                pair = (child, spouse) if child['sex'] == 'M' else (spouse, child)
                nextCouples.append(marry(pair[0], pair[1], born + rng.randint(21, 31)))
    couples = nextCouples

out = ['0 HEAD', '1 SOUR make_family.py', '1 GEDC', '2 VERS 5.5.1', '2 FORM LINEAGE-LINKED',
       '1 CHAR UTF-8', '1 SUBM @U1@', '0 @U1@ SUBM', '1 NAME Tessaline tests']
for p in people:
    out += ['0 @%s@ INDI' % p['id'], '1 NAME %s' % p['name'], '1 SEX %s' % p['sex']]
    old = p['born'] < 1800
    out += ['1 CHR' if old else '1 BIRT', '2 DATE %s' % date(p['born'], not old or
                                                              rng.random() < 0.5),
            '2 PLAC %s' % p['birthplace']]
    out += ['1 DEAT', '2 DATE %s' % date(p['died'], p['died'] > 1820),
            '2 PLAC %s' % p['deathplace']]
    out += ['1 OCCU %s' % p['occu']]
    for tag, when, where in p['events']:
        out += ['1 %s' % tag, '2 DATE %s' % when, '2 PLAC %s' % where]
    out += ['1 FAMS @%s@' % f['id'] for f in p['fams']]
    if p['famc']:
        out += ['1 FAMC @%s@' % p['famc']['id']]
for f in families:
    out += ['0 @%s@ FAM' % f['id'], '1 HUSB @%s@' % f['husb']['id'],
            '1 WIFE @%s@' % f['wife']['id'], '1 MARR', '2 DATE %s' % date(f['year']),
            '2 PLAC %s' % f['wife']['deathplace']]
    out += ['1 CHIL @%s@' % c['id'] for c in f['children']]
out += ['0 TRLR']

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'family.ged'), 'w',
          encoding='utf-8', newline='\n') as file:
    file.write('\n'.join(out) + '\n')
print(len(people), 'people,', len(families), 'families,',
      min(p['born'] for p in people), 'to', max(p['died'] for p in people))
