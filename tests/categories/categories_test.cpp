#include "categories/categories.h"

#include "support/dataset_builder.h"

#include <gtest/gtest.h>

using namespace tess;
using namespace testing_support;

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

} // namespace

TEST(Categories, CountsSelectedEntriesAndResetsLostGroups) {
    Dataset ds = sample();
    const UsageCounts c = countUsage(ds);
    EXPECT_EQ(c.factions, (std::vector<int>{0, 1, 0, 2, 0, 0})); // the hidden F2 user not counted
    EXPECT_EQ(c.nations, (std::vector<int>{2, 2, 2, 0}));        // one event naming N2 twice
    EXPECT_EQ(c.groups, (std::vector<int>{0, 2})); // group 4 of 1 became 0, and is not counted
    // The one not selected is left alone.
    EXPECT_EQ((std::vector<int>{ds.events[2].group, ds.events[3].group, ds.modified}),
              (std::vector<int>{0, 7, false}));
    // The last line is the one that adds a category.
    std::string lines;
    for (const ChartLine& line : editorLines(ds.factions, c.factions, ds.encoding))
        lines += line.text() + " #" + std::to_string(line.color) + "|";
    EXPECT_EQ(lines, "F1  1 #1|F2  0 #2|F3  2 #3|F4  0 #4|F5  0 #5|  #-1|");
    EXPECT_EQ(editorCaption(kindNations), "Edit Nations");
    EXPECT_FALSE(isPeopleKind(kindGroups));
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

    for (const char* blank : {"", " ", "\x1fname"})
        EXPECT_TRUE(isBlankLike(blank)) << blank;
    for (const char* named : {"  ", " a", "a", "!", "\xC9mile"}) // bytes above 127 sort high
        EXPECT_FALSE(isBlankLike(named)) << named;
}

TEST(Categories, TypedNamesAreFoundOrAddedInAColourThatStandsOut) {
    CategoryTable t;
    for (const char* name : {"Ruler", "banker", "Banker", "\xC9v\xEAque"})
        addNamedCategory(t, name);
    for (const auto& [typed, found] : std::vector<std::pair<std::string, int>>{
             {" ruler  ", 1}, {"BANKER", 2}, {"\xE9V\xCAQUE", 4}, {"Rule", 0}, {"  ", 0}})
        EXPECT_EQ(findCategory(t, typed, TextEncoding::windows1252), found) << typed;
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

TEST(Categories, PruneBlanksTheUnusedAndDropsTrailingBlanks) {
    struct Case {
        const char* name;
        std::vector<int> counts; // positions 0..5
        int countAfter;
        std::vector<std::string> namesAfter; // 1..5
    };
    const std::vector<Case> cases = {
        {"last three unused", {0, 1, 1, 0, 0, 0}, 2, {"F1", "F2", " ", " ", " "}},
        {"middle unused stays", {0, 1, 0, 1, 0, 1}, 5, {"F1", " ", "F3", " ", "F5"}},
        {"nothing used", {5, 0, 0, 0, 0, 0}, 0, {" ", " ", " ", " ", " "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dataset ds = sample();
        pruneCategories(ds, kindFactions, c.counts);
        EXPECT_EQ(ds.factions.count, c.countAfter);
        EXPECT_EQ(std::vector<std::string>(ds.factions.names.begin() + 1, ds.factions.names.end()),
                  c.namesAfter);
        EXPECT_EQ(ds.factions.colors[5], 5); // colours stay
        EXPECT_TRUE(ds.modified);
    }
}

TEST(Categories, ReplaceGroupRepointsEveryEntryAndNamesABlankKeeper) {
    Dataset ds = sample();
    // Replacing 3 of 5: five remain, the third blank; a prune then drops nothing from the end
    // and blanks 3 again.
    Consolidation r = replaceGroup(ds, kindFactions, 1, 3);
    EXPECT_EQ(r.message, "Replace F3 with F1");
    // Other numbers are left as they are.
    EXPECT_EQ((std::vector<int>{r.changed, ds.people[1].faction, ds.people[4].faction,
                                ds.factions.count, ds.modified}),
              (std::vector<int>{2, 1, 9, 5, true}));
    EXPECT_EQ(ds.factions.names[3], " ");
    pruneCategories(ds, kindFactions, countUsage(ds).factions);
    EXPECT_EQ(ds.factions.count, 1);

    // Into a blank category: it takes the replaced one's name. Nations give positions, and a
    // change to nation1 alone marks the dataset modified.
    ds = sample();
    ds.nations.names[3] = " ";
    r = replaceGroup(ds, kindNations, 3, 1);
    EXPECT_EQ(r.message, "Replace 1 N1 with 3  ");
    EXPECT_EQ(ds.nations.names[3] + "|" + ds.nations.names[1], "N1| ");
    EXPECT_TRUE(ds.events[1].nation1 == 3 && ds.modified);

    // Nothing to re-point: names still move, the dataset is not marked.
    ds = sample();
    r = replaceGroup(ds, kindFactions, 4, 5);
    EXPECT_TRUE(r.changed == 0 && ds.factions.names[5] == " " && !ds.modified);
    EXPECT_EQ(replaceGroup(ds, kindFactions, 1, 6).changed, 0); // not a category: nothing
    EXPECT_EQ(ds.factions.names[1], "F1");
}
