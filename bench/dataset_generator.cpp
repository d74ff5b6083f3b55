#include "dataset_generator.h"

#include <algorithm>
#include <array>
#include <random>
#include <string>

namespace bench_support {

using namespace tess;

namespace {

constexpr std::array<const char*, 24> givenNames = {
    "Alexander",  "Hypatia", "Ashoka",     "Eleanor",   "Saladin",  "Murasaki",
    "Leonardo",   "Nzinga",  "Catherine",  "Suleiman",  "Isabella", "Tokugawa",
    "Frederick",  "Mansa",   "Wilhelmina", "Qin",       "Theodora", "Genghis",
    "Hatshepsut", "Simón",   "Akbar",      "Cleopatra", "Lorenzo",  "Boudica"};
constexpr std::array<const char*, 20> surnames = {
    "the Great", "of Alexandria", "Maurya",      "of Aquitaine", "al-Ayyubi",
    "Shikibu",   "da Vinci",      "Mbande",      "de Medici",    "Bolívar",
    "Ieyasu",    "Musa",          "Barbarossa",  "Shi Huang",    "Komnene",
    "Khan",      "Tudor",         "Plantagenet", "von Habsburg", "Pahlavi"};
constexpr std::array<const char*, 16> eventWords = {
    "Battle of",     "Siege of",  "Treaty of",     "Founding of", "Fall of", "Council of",
    "Plague in",     "Revolt in", "Coronation at", "Fire of",     "Sack of", "Conquest of",
    "Expedition to", "Schism of", "Peace of",      "Discovery of"};
constexpr std::array<const char*, 20> places = {
    "Marathon", "Carthage", "Constantinople", "Westphalia", "Kyoto",    "Timbuktu", "Tenochtitlan",
    "Baghdad",  "Nineveh",  "Hastings",       "Lepanto",    "Xi'an",    "Cuzco",    "Samarkand",
    "Aachen",   "Delhi",    "Antioch",        "Novgorod",   "Zanzibar", "Byblos"};
constexpr std::array<const char*, 24> words = {
    "ruler", "general", "poet",  "merchant", "scholar", "reformer", "founded", "the",
    "city",  "empire",  "wrote", "against",  "during",  "dynasty",  "trade",   "routes",
    "army",  "temple",  "law",   "of",       "and",     "northern", "coast",   "river"};

std::string sentence(std::mt19937& rng, int minWords, int maxWords) {
    std::uniform_int_distribution<int> count(minWords, maxWords);
    std::uniform_int_distribution<size_t> pick(0, words.size() - 1);
    std::string s;
    const int n = count(rng);
    for (int i = 0; i < n; ++i) {
        if (i)
            s += ' ';
        s += words[pick(rng)];
    }
    s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

void fillTable(CategoryTable& t, std::mt19937& rng, const char* stem) {
    const int n = std::uniform_int_distribution<int>(50, 200)(rng);
    t.resize(static_cast<int16_t>(n));
    std::uniform_int_distribution<int32_t> color(20, 0xFFFFFF);
    for (int k = 1; k <= n; ++k) {
        t.names[static_cast<size_t>(k)] = std::string(stem) + " " + std::to_string(k) + " " +
                                          places[static_cast<size_t>(k) % places.size()];
        t.colors[static_cast<size_t>(k)] = color(rng);
        t.include[static_cast<size_t>(k)] = boolTrue;
    }
}

template <typename Record> void fillCommon(Record& r, std::mt19937& rng, int16_t date1, int span) {
    std::uniform_int_distribution<int> kind(0, 2), pri(1, 9), chance(0, 9);
    r.date1 = date1;
    r.date2 = static_cast<int16_t>(std::min(date1 + span, 2000));
    r.date1Type = static_cast<int16_t>(kind(rng));
    r.date2Type = static_cast<int16_t>(kind(rng));
    r.desc = sentence(rng, 6, 18);
    r.priority = static_cast<int16_t>(pri(rng));
    if (chance(rng) == 0) {
        r.imgName = "portrait" + std::to_string(rng() % 500) + ".bmp";
        r.imgSize1 = 120;
        r.imgSize2 = 160;
    }
    if (chance(rng) < 3)
        r.url = "https://en.wikipedia.org/wiki/Entry_" + std::to_string(rng() % 100000);
    r.selected = 1;
}

} // namespace

Dataset makeMaximalDataset(uint32_t seed, int people, int events) {
    std::mt19937 rng(seed);
    Dataset ds;
    fillTable(ds.factions, rng, "Faction");
    fillTable(ds.occupations, rng, "Occupation");
    fillTable(ds.groups, rng, "Group");
    fillTable(ds.nations, rng, "Nation");
    // Dates from 4000 BCE to 2000 CE, kept in first-date order as the entry windows keep them.
    std::uniform_int_distribution<int> year(-4000, 1990), life(20, 90), length(0, 40);
    std::vector<int16_t> starts(static_cast<size_t>(std::max(people, events)));
    auto sortedStarts = [&](int n) {
        starts.resize(static_cast<size_t>(n));
        for (auto& s : starts)
            s = static_cast<int16_t>(year(rng));
        std::sort(starts.begin(), starts.end());
    };
    sortedStarts(people);
    ds.people.resize(static_cast<size_t>(people));
    for (int i = 0; i < people; ++i) {
        PersonRecord& p = ds.people[static_cast<size_t>(i)];
        p.name = std::string(givenNames[rng() % givenNames.size()]) + " " +
                 surnames[rng() % surnames.size()];
        fillCommon(p, rng, starts[static_cast<size_t>(i)], life(rng));
        p.faction = static_cast<int16_t>(1 + rng() % static_cast<uint32_t>(ds.factions.count));
        p.occupation =
            static_cast<int16_t>(1 + rng() % static_cast<uint32_t>(ds.occupations.count));
    }
    sortedStarts(events);
    ds.events.resize(static_cast<size_t>(events));
    for (int i = 0; i < events; ++i) {
        EventRecord& e = ds.events[static_cast<size_t>(i)];
        e.name = std::string(eventWords[rng() % eventWords.size()]) + " " +
                 places[rng() % places.size()];
        fillCommon(e, rng, starts[static_cast<size_t>(i)], length(rng));
        e.group = static_cast<int16_t>(1 + rng() % static_cast<uint32_t>(ds.groups.count));
        e.nation1 = static_cast<int16_t>(1 + rng() % static_cast<uint32_t>(ds.nations.count));
        e.nation2 = static_cast<int16_t>(rng() % static_cast<uint32_t>(ds.nations.count));
    }
    ds.numPeople = people;
    ds.numEvents = events;
    ds.numSelPeople = static_cast<int16_t>(people);
    ds.numSelEvents = static_cast<int16_t>(events);
    ds.selPriority = 9;
    ds.loaded = true;
    ds.earliestDate = -4000;
    ds.latestDate = 2000;
    ds.selStart = ds.earliestDate;
    ds.selEnd = ds.latestDate;
    // The names above are UTF-8, as a file holding them would be.
    ds.encoding = tess::TextEncoding::utf8;
    return ds;
}

Dataset makeWideSpanDataset(uint32_t seed) {
    std::mt19937 rng(seed);
    Dataset ds;
    fillTable(ds.factions, rng, "Faction");
    fillTable(ds.occupations, rng, "Occupation");
    fillTable(ds.groups, rng, "Group");
    fillTable(ds.nations, rng, "Nation");
    std::uniform_int_distribution<int> year(-32768, 32767);
    auto dates = [&](auto& r, int i) {
        // The first entry covers the whole range, so the chart's left edge is at -32768.
        int a = i == 0 ? -32768 : year(rng);
        int b = i == 0 ? 32767 : year(rng);
        if (a > b)
            std::swap(a, b);
        r.date1 = static_cast<int16_t>(a);
        r.date2 = static_cast<int16_t>(b);
        r.date1Type = static_cast<int16_t>(rng() % 3);
        r.date2Type = static_cast<int16_t>(rng() % 3);
        r.priority = static_cast<int16_t>(1 + rng() % 9);
        r.selected = 1;
    };
    ds.people.resize(maxEntries);
    for (int i = 0; i < maxEntries; ++i) {
        PersonRecord& p = ds.people[static_cast<size_t>(i)];
        p.name = "P" + std::to_string(i);
        dates(p, i);
        p.faction = static_cast<int16_t>(1 + rng() % static_cast<uint32_t>(ds.factions.count));
        p.occupation = 1;
    }
    ds.events.resize(maxEntries);
    for (int i = 0; i < maxEntries; ++i) {
        EventRecord& e = ds.events[static_cast<size_t>(i)];
        e.name = "E" + std::to_string(i);
        dates(e, i);
        e.group = 1;
        e.nation1 = static_cast<int16_t>(1 + rng() % static_cast<uint32_t>(ds.nations.count));
    }
    ds.numPeople = ds.numEvents = maxEntries;
    ds.numSelPeople = ds.numSelEvents = static_cast<int16_t>(maxEntries);
    ds.loaded = true;
    ds.earliestDate = ds.selStart = -32768;
    ds.latestDate = ds.selEnd = 32767;
    return ds;
}

void setCategoryTables(Dataset& ds, int count) {
    for (CategoryTable* t : {&ds.factions, &ds.occupations, &ds.groups, &ds.nations}) {
        t->resize(static_cast<int16_t>(count));
        for (int k = 1; k <= count; ++k) {
            t->names[static_cast<size_t>(k)] = "Category " + std::to_string(k) + " " +
                                               places[static_cast<size_t>(k) % places.size()];
            t->colors[static_cast<size_t>(k)] = 0x336699 + k;
            t->include[static_cast<size_t>(k)] = k % 2 ? boolTrue : boolFalse;
        }
    }
}

} // namespace bench_support
