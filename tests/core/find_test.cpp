#include "core/find.h"

#include "support/dataset_builder.h"

#include <gtest/gtest.h>

using namespace tess;
using namespace testing_support;

TEST(Find, MatchesNamesAndDescriptionsIgnoringCaseInTheDatasetsEncoding) {
    Dataset w = DatasetBuilder()
                    .person("Julius Caesar", -100, -44)
                    .person("Zo\xEB", 1900, 1950)
                    .person("\xC9LISE \xD7", 1800, 1850) // capital E acute, multiplication sign
                    .event("Battle of Actium", -31, -31)
                    .event("Fair", 1900, 1900)
                    .build();
    w.events[0].desc = "Naval battle";
    w.people[1].desc = "Caesar's namesake";
    Dataset u = w;
    u.encoding = TextEncoding::utf8;
    u.people[1].name = "Zo\xC3\xAB";
    u.people[2].name = "\xC3\x89LISE \xD0\x96"; // capital E acute, Cyrillic capital Zhe
    const FoundEntry caesar{false, 0}, zoe{false, 1}, elise{false, 2}, actium{true, 0};
    struct Row {
        const Dataset* ds;
        const char* query;
        std::vector<FoundEntry> found;
    } rows[] = {
        {&w, "caesar", {caesar, zoe}}, // a name, and a description
        {&w, "BATTLE", {actium}},      // both of its texts match: listed once
        {&w, "\xE9lise", {elise}},     // accented capitals fold too
        {&w, "\xCB", {zoe}},
        {&w, "\xF7", {}}, // the division sign is no small multiplication sign
        {&w, "", {}},
        {&w, "nothing like it", {}},
        {&u, "\xC3\xA9lise", {elise}},
        {&u, "zo\xC3\x8B", {zoe}},
        {&u, "\xD0\xB6", {}}, // other scripts match as written
        {&u, "\xD0\x96", {elise}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.query);
        const FindResult f = findEntries(*r.ds, r.query);
        EXPECT_EQ(f.shown, r.found);
        EXPECT_EQ(f.matches, static_cast<int>(r.found.size()));
    }
}

TEST(Find, ListsAtMostTheLimitButCountsEveryMatch) {
    DatasetBuilder b;
    for (int i = 0; i < 150; ++i)
        b.person("Person " + std::to_string(i), 1800, 1850);
    for (int i = 0; i < 100; ++i)
        b.event("Event " + std::to_string(i), 1800, 1801);
    const Dataset ds = b.build();
    const FindResult f = findEntries(ds, " ");
    EXPECT_EQ(f.matches, 250);
    ASSERT_EQ(f.shown.size(), findLimit);
    EXPECT_EQ(f.shown[149], (FoundEntry{false, 149}));
    EXPECT_EQ(f.shown[150], (FoundEntry{true, 0})); // the people first, then the events
    EXPECT_EQ(f.shown.back(), (FoundEntry{true, 49}));
}
