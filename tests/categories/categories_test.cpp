#include "categories/categories.h"

#include "support/test.h"

namespace {

// Five factions and three nations; people and events using some of them.
Dataset sample() {
    DatasetBuilder b;
    for (int i = 1; i <= 5; ++i)
        b.category(kindFactions, "F" + std::to_string(i), i);
    b.category(kindNations, "N1", 1).category(kindNations, "N2", 2).category(kindNations, "N3", 3);
    b.category(kindGroups, "G1", 1).category(kindOccupations, "O1", 1);
    b.person("a", 1, 2, 1).person("b", 1, 2, 3).person("c", 1, 2, 3).person("hidden", 1, 2, 2);
    b.person("outside", 1, 2, 9); // a number beyond the table
    b.event("twice", 1, 2, 1, 2, 2).event("e", 1, 2, 1, 1, 0).event("lost group", 1, 2, 4, 1, 0);
    b.event("hidden lost group", 1, 2, 7, 3, 0);
    Dataset ds = b.build();
    ds.people[3].selected = 0;
    ds.events[3].selected = 0;
    return ds;
}

std::string numbers(const std::vector<int>& values) {
    std::string text;
    for (const int v : values)
        text += " " + std::to_string(v);
    return text;
}

// The factions and nations (count, then names and colours), the people's factions, the events'
// groups and nations, and the modified mark.
std::string state(const Dataset& ds) {
    std::string text;
    for (const CategoryTable* t : {&ds.factions, &ds.nations}) {
        text += std::to_string(t->count) + ":";
        for (size_t k = 1; k < t->names.size(); ++k)
            text += " '" + t->names[k] + "' " + std::to_string(t->colors[k]);
        text += "\n";
    }
    for (const PersonRecord& p : ds.people)
        text += std::to_string(p.faction) + " ";
    for (const EventRecord& e : ds.events)
        text += std::to_string(e.group) + "/" + std::to_string(e.nation1) + " ";
    return text + (ds.modified ? "modified\n" : "\n");
}

} // namespace

// Counts of the selected entries (the hidden F2 user not counted, one event naming N2 twice,
// an event's group beyond the table reset to 0 and not counted, the hidden one left alone); the
// editor's lines, the last the one that adds a category; pruning blanks the unused and drops
// trailing blanks, colours staying; replacing re-points every entry, other numbers left as they
// are, into a blank category that takes the replaced one's name (nations give positions), and
// with nothing to re-point names still move while the dataset is not marked.
TEST(Categories, CountPruneAndReplace) {
    Dataset ds = sample();
    const UsageCounts c = countUsage(ds);
    std::string log = "counts" + numbers(c.factions) + ";" + numbers(c.nations) + ";" +
                      numbers(c.groups) + "\n" + state(ds);
    for (const ChartLine& line : editorLines(ds.factions, c.factions, ds.encoding))
        log += line.text() + " #" + std::to_string(line.color) + "|";
    log += "\n" + editorCaption(kindNations) + (isPeopleKind(kindGroups) ? "" : ", groups\n");
    for (const std::vector<int>& counts :
         {std::vector<int>{0, 1, 1, 0, 0, 0}, {0, 1, 0, 1, 0, 1}, {5, 0, 0, 0, 0, 0}}) {
        ds = sample();
        pruneCategories(ds, kindFactions, counts);
        log += "prune" + numbers(counts) + "\n" + state(ds);
    }
    auto replace = [&](CategoryKind kind, int keeper, int replaced) {
        const Consolidation r = replaceGroup(ds, kind, keeper, replaced);
        log += r.message + ": " + std::to_string(r.changed) + " changed\n" + state(ds);
    };
    ds = sample();
    replace(kindFactions, 1, 3);
    pruneCategories(ds, kindFactions, countUsage(ds).factions);
    log += "prune\n" + state(ds);
    ds = sample();
    ds.nations.names[3] = " ";
    replace(kindNations, 3, 1);
    ds = sample();
    replace(kindFactions, 4, 5);
    replace(kindFactions, 1, 6); // not a category
    expectGolden(log, "expected/categories.txt");
}

TEST(Categories, AddingAndTheBlankRule) {
    CategoryTable t;
    ASSERT_TRUE(addCategory(t));
    EXPECT_TRUE(t.count == 1 && t.names[1].empty() && t.included(1));
    // A position a prune dropped is cleared when a category is added there again.
    t.names[1] = "old";
    t.colors[1] = 255;
    t.count = 0;
    ASSERT_TRUE(addCategory(t));
    EXPECT_TRUE(t.names[1].empty() && t.colors[1] == 0);
    t.resize(32767);
    EXPECT_FALSE(addCategory(t));
    EXPECT_EQ(t.count, 32767);

    // The first three are blank; bytes above 127 sort high.
    std::string blank;
    for (const char* text : {"", " ", "\x1fname", "  ", " a", "a", "!", "\xC9mile"})
        blank += isBlankLike(text) ? "1" : "0";
    EXPECT_EQ(blank, "11100000");
}

TEST(Categories, TypedNamesAreFoundOrAddedInAColourThatStandsOut) {
    CategoryTable t;
    for (const char* name : {"Ruler", "banker", "Banker", "\xC9v\xEAque"})
        addNamedCategory(t, name);
    int found = 0; // the positions found, a digit each
    for (const char* typed : {" ruler  ", "BANKER", "\xE9V\xCAQUE", "Rule", "  "})
        found = found * 10 + findCategory(t, typed, TextEncoding::windows1252);
    EXPECT_EQ(found, 12400);
    EXPECT_EQ(categoryNoun(kindOccupations), "occupation");

    // The colour added is the palette's farthest from those there, not a shade of one: a table
    // of dark reds gets no red.
    CategoryTable reds;
    reds.resize(2);
    reds.colors[1] = 0x0000B0;
    reds.colors[2] = 0x0000A0;
    const int added = addNamedCategory(reds, " Banker ");
    ASSERT_EQ(added, 3);
    EXPECT_EQ(reds.names[3], "Banker");
    const int32_t c = reds.colors[3];
    EXPECT_GT((c >> 8 & 0xFF) + (c >> 16 & 0xFF), c & 0xFF) << std::hex << c;
}
