#include "core/qd3_file.h"
#include "entry/entry_form.h"
#include "entry/entry_records.h"

#include "support/test.h"

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

// The single pass, exactly: on an unsorted array only what it reaches is put in order ("a"
// re-dated is taken out, put last, and passed one down, the pass carrying d to the front); in a
// sorted array the moved entry finds its place; equal first dates never swap, so the moved entry
// comes after its equals. A selected entry deleted lowers the selected count; a position
// holding no stored entry removes nothing, and no count falls below 0; a full array refuses
// another entry and overwrites nothing. A blank picture name is no picture.
TEST(EntryRecords, ResortAppendAndRemoveServeBothArrays) {
    Dataset ds = DatasetBuilder()
                     .person("a", 1900, 1950)
                     .person("b", 1800, 1850)
                     .person("c", 1700, 1750)
                     .person("d", 1600, 1650)
                     .build();
    auto people = peopleArray(ds);
    people.ensureSpare();
    std::string log;
    auto note = [&](auto result) {
        log += std::to_string(result) + ":";
        for (int i = 0; i < ds.numPeople; ++i)
            log += " " + ds.people[static_cast<size_t>(i)].name;
        log += ", " + std::to_string(ds.numSelPeople) + " selected, current " +
               std::to_string(ds.curPerson) + "\n";
    };
    ds.people[0].date1 = 1750;
    note(people.resort(0));
    for (int i = 0; i < 4; ++i)
        ds.people[static_cast<size_t>(i)].date1 = static_cast<int16_t>(1600 + 100 * i);
    ds.people[0].date1 = 1850;
    note(people.resort(0));
    ds.curPerson = 3;
    note(people.remove(3));
    note(people.remove(3)); // the spare position
    Dataset ev = DatasetBuilder().event("x", 1000, 1000).event("y", 1200, 1200).build();
    auto events = eventsArray(ev);
    events.ensureSpare();
    ev.events[1].date1 = 1000;
    log += std::to_string(events.resort(1)) + " " + std::to_string(positionAfterMove(1, 3, 0)) +
           " " + std::to_string(positionAfterMove(3, 0, 2)) + " " +
           std::to_string(positionAfterMove(2, 0, 2)) + "\n";
    ds = Dataset();
    auto none = peopleArray(ds);
    none.ensureSpare();
    note(none.remove(0));
    ds.numPeople = maxEntries;
    ds.people.resize(maxEntries + 1);
    log += std::to_string(none.append()) + " " + std::to_string(ds.numPeople) + "\n";
    PersonRecord caesar = DatasetBuilder().person("Caesar", -44, 0).build().people[0];
    caesar.imgName = " ";
    log += nameListItem(caesar) + "\n";
    caesar.imgName = "c.bmp";
    caesar.url = "https://x";
    expectGolden(log + nameListItem(caesar) + "\n", "expected/entry_records.txt");
}
