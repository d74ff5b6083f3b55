#include "core/qd3_file.h"
#include "entry/entry_form.h"
#include "entry/entry_records.h"

#include "support/dataset_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tess;
using namespace testing_support;

TEST(EntryForm, AStoreMakesTheRecordByTheFieldRules) {
    // Each field to its own place (the two picture sizes too), the rules applied, and what the
    // form does not hold kept from the stored entry.
    PersonRecord stored;
    stored.selected = 0;
    stored.date1Type = 2;
    const EntryForm f{.name = "Ann",
                      .priority = "12",
                      .date1 = "1850.5",
                      .date2 = "99999",
                      .date2Type = 1,
                      .categories = {3, 4, 5},
                      .imgName = "a.bmp",
                      .imgSize1 = "11",
                      .imgSize2 = "70000",
                      .url = "https://example.org",
                      .desc = "d"};
    // The record as the file holds it; the selection is kept too.
    Dataset ds = DatasetBuilder().build();
    ds.people = {recordFromForm(stored, f)};
    ds.events = {recordFromForm(EventRecord(), f)};
    ds.numPeople = ds.numEvents = 1;
    expectGolden(formatDataset(ds), "expected/entry_form.qd3");
    EXPECT_EQ(ds.people[0].selected, 0);
}

TEST(EntryRecords, ResortAppendAndRemoveServeBothArrays) {
    using testing_support::DatasetBuilder;
    // The single pass, exactly: on an unsorted array only what it reaches is put in order.
    tess::Dataset ds = DatasetBuilder()
                           .person("a", 1900, 1950)
                           .person("b", 1800, 1850)
                           .person("c", 1700, 1750)
                           .person("d", 1600, 1650)
                           .build();
    auto people = peopleArray(ds);
    people.ensureSpare();
    auto order = [&ds] {
        std::string names;
        for (int i = 0; i < ds.numPeople; ++i)
            names += ds.people[static_cast<size_t>(i)].name;
        return names;
    };
    ds.people[0].date1 = 1750; // "a" re-dated: taken out, put last, one pass down
    EXPECT_EQ(people.resort(0), 3);
    EXPECT_EQ(order(), "dbca"); // the pass carried d to the front and left a last
    // In a sorted array the moved entry finds its place.
    for (int i = 0; i < 4; ++i)
        ds.people[static_cast<size_t>(i)].date1 = static_cast<int16_t>(1600 + 100 * i);
    ds.people[0].date1 = 1850;
    EXPECT_EQ(people.resort(0), 2);
    EXPECT_EQ(order(), "bcda");

    // Equal first dates never swap: the moved entry comes after its equals.
    tess::Dataset ev = DatasetBuilder().event("x", 1000, 1000).event("y", 1200, 1200).build();
    auto events = eventsArray(ev);
    events.ensureSpare();
    ev.events[1].date1 = 1000;
    EXPECT_EQ(events.resort(1), 1);
    EXPECT_EQ(positionAfterMove(1, 3, 0), 2);
    EXPECT_EQ(positionAfterMove(3, 0, 2), 3);
    EXPECT_EQ(positionAfterMove(2, 0, 2), 1);

    // A selected entry deleted lowers the selected count; a position holding no stored entry
    // removes nothing and no count falls below 0.
    ds.numSelPeople = 4;
    ds.curPerson = 3;
    EXPECT_TRUE(people.remove(3));
    EXPECT_EQ((std::vector<int>{ds.numPeople, ds.numSelPeople, ds.curPerson}),
              (std::vector<int>{3, 3, 2}));
    EXPECT_FALSE(people.remove(3)); // the spare position
    tess::Dataset empty;
    auto none = peopleArray(empty);
    none.ensureSpare();
    EXPECT_FALSE(none.remove(0));
    EXPECT_EQ(empty.numPeople + empty.numSelPeople, 0);

    // A full array refuses another entry and overwrites nothing.
    empty.numPeople = tess::maxEntries;
    empty.people.resize(tess::maxEntries + 1);
    EXPECT_FALSE(none.append());
    EXPECT_EQ(empty.numPeople, tess::maxEntries);

    tess::PersonRecord caesar = DatasetBuilder().person("Caesar", -44, 0).build().people[0];
    caesar.imgName = " "; // a blank picture name is no picture
    EXPECT_EQ(nameListItem(caesar), "-44 Caesar");
    caesar.imgName = "c.bmp";
    caesar.url = "https://x";
    EXPECT_EQ(nameListItem(caesar), "-44 Caesar *IMG* <URL>");
}
