#!/usr/bin/env python3
"""Writes the hostile GEDCOM files of tests/data/hostile: damaged, oversized and tricky files
the import must refuse with a message naming the line, or read into a sound dataset, without
crashing or taking long. Run from this folder; the listing of what each gives is in
listing.txt (TESSALINE_UPDATE_GOLDEN=1 build/ci/bin/logic_tests --gtest_filter=Gedcom*)."""

import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'hostile')
HEAD = b'0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n'
TRLR = b'0 TRLR\n'


def person(xref, name, birth, more=b''):
    return (b'0 @%s@ INDI\n1 NAME %s\n1 BIRT\n2 DATE %s\n' % (xref, name, birth)) + more


def write(name, data):
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(data)


# Not GEDCOM at all: a spreadsheet's lines.
write('not_gedcom.ged', b'name,start,end\nAnna Hansdotter,1845,1910\n')
write('empty.ged', b'')
write('only_header.ged', b'0 HEAD\n')
# A line three levels below the one before it, with a level of twenty digits.
write('level_jump.ged', HEAD + person(b'I1', b'Anna /Ek/', b'1850') +
      b'99999999999999999999 NOTE deep\n' + TRLR)
# A line that is no GEDCOM line, holding terminal escapes and a right-to-left override: the
# message shows them escaped.
write('escapes_in_bad_line.ged', HEAD + person(b'I1', b'Anna /Ek/', b'1850') +
      b'\x1b[2J\xe2\x80\xaeevil\x07 line\n' + TRLR)
# Cut off in the middle of a record.
write('cut_short.ged', HEAD + person(b'I1', b'Anna /Ek/', b'1850') + b'0 @I2@ INDI\n1 NAME Li')
# CR alone ends every line; and every kind of line end in one file.
write('cr_only.ged', (HEAD + person(b'I1', b'Anna /Ek/', b'1850') + TRLR).replace(b'\n', b'\r'))
write('mixed_line_ends.ged', b'0 HEAD\r\n1 CHAR UTF-8\n\r0 @I1@ INDI\r1 NAME Anna /Ek/\n'
      b'1 BIRT\r\n2 DATE 1850\n\n\n   \n0 @I2@ INDI\n\r1 NAME Per /Ek/\r\n1 DEAT\r2 DATE 1900\n'
      b'0 TRLR')
# NULs in a name (kept) and in a tag (not a GEDCOM line).
write('nul_in_name.ged', HEAD + person(b'I1', b'An\x00na /E\x00k/', b'1850') + TRLR)
write('nul_in_tag.ged', HEAD + person(b'I1', b'Anna /Ek/', b'1850') + b'1 OC\x00CU x\n' + TRLR)
# A name of a megabyte, and an occupation joined from 50,000 CONC lines.
write('megabyte_name.ged', HEAD + person(b'I1', b'A' * (1 << 20) + b' /Ek/', b'1850') + TRLR)
write('long_conc_chain.ged', HEAD + person(b'I1', b'Anna /Ek/', b'1850', b'1 OCCU w\n' +
                                           b'2 CONC ork\n' * 50000) + TRLR)
# Each line one level below the one before, 50,000 deep.
write('deep_nesting.ged', HEAD + person(b'I1', b'Anna /Ek/', b'1850') +
      b''.join(b'%d _X\n' % level for level in range(2, 50002)) + TRLR)
# UTF-16, which GEDCOM 5.5 allowed.
write('utf16.ged', b'\xff\xfe' + (HEAD + TRLR).decode().encode('utf-16-le'))
# Years no timeline holds, and a number too long for any integer.
write('years_beyond.ged', HEAD + person(b'I1', b'Far /Future/', b'10001') +
      person(b'I2', b'Far /Past/', b'20001 B.C.') +
      person(b'I3', b'Many /Digits/', b'1' * 40) +
      person(b'I4', b'Edge /Years/', b'20000 BCE', b'1 DEAT\n2 DATE 10000\n') + TRLR)
# Families pointing at themselves, at nothing, at a family, at a missing record; an individual
# defined twice; pointers that are no pointers.
write('dangling_pointers.ged', HEAD + b'0 @F1@ FAM\n1 HUSB @F1@\n1 WIFE @I9@\n'
      b'1 MARR\n2 DATE 1900\n0 @F2@ FAM\n1 HUSB\n1 WIFE Anna\n1 DIV\n2 DATE 1910\n' +
      person(b'I1', b'Anna /Ek/', b'1850') + person(b'I1', b'Other /Anna/', b'1851') +
      b'0 @F3@ FAM\n1 HUSB @I1@\n1 WIFE @I1@\n1 MARR\n2 DATE 1870\n' + TRLR)
