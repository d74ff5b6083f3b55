#include "core/file_error.h"
#include "core/qd3_file.h"

#include "support/test.h"

namespace {

// What a read leaves beyond the file the writer makes of it.
std::string stateOf(const Dataset& ds) {
    return "range " + std::to_string(ds.earliestDate) + " to " + std::to_string(ds.latestDate) +
           ", " + std::to_string(ds.numPeople) + " people, " + std::to_string(ds.numEvents) +
           " events, " + std::to_string(ds.factions.count) + " factions, " +
           std::to_string(ds.nations.count) + " nations, " +
           (ds.encoding == TextEncoding::utf8 ? "UTF-8" : "Windows-1252") + "\n";
}

} // namespace

// Each golden input reads as its expected file, which reads back as itself; a load selects and
// includes everything and shows the whole range.
TEST(DatasetFile, GoldenFilesReadAndWriteBackExactly) {
    std::string states;
    for (const auto& folder : dataFiles("golden")) {
        if (!std::filesystem::exists(folder / "input.qd3"))
            continue;
        SCOPED_TRACE(folder.filename().string());
        Dataset ds;
        readDataset(ds, (folder / "input.qd3").string());
        const std::string expected = formatDataset(ds);
        expectGolden(expected, "golden/" + folder.filename().string() + "/expected.qd3");
        Dataset again;
        readDatasetText(again, expected);
        EXPECT_EQ(formatDataset(again), expected);
        states += folder.filename().string() + ": " + stateOf(ds);
        EXPECT_TRUE(ds.loaded && !ds.modified && ds.selPriority == 9 && ds.curPerson == 0 &&
                    ds.numSelPeople == ds.numPeople && ds.numSelEvents == ds.numEvents &&
                    ds.selStart == ds.earliestDate && ds.selEnd == ds.latestDate);
        EXPECT_TRUE(std::all_of(ds.people.begin(), ds.people.end(),
                                [](const PersonRecord& p) { return p.selected == 1; }));
        for (int k = 0; k <= ds.factions.count; ++k)
            EXPECT_EQ(ds.factions.include[static_cast<size_t>(k)], k ? boolTrue : boolFalse);
    }
    expectGolden(states, "expected/golden_states.txt");
}

// What the reader says of each broken file, and what it kept: the entries and categories read
// whole and the range so far. A failed read leaves the selection state as it was and allocates
// for what the file holds, not what it claims.
TEST(DatasetFile, BrokenFilesGiveTheirDescription) {
    std::string said;
    std::vector<std::filesystem::path> files = dataFiles("broken", ".qd3");
    files.insert(files.end(), {dataFile("broken/no_such_file.qd3"), dataFile("broken")});
    for (const auto& file : files) {
        Dataset ds;
        ds.selPriority = 4;
        ds.curPerson = 7;
        const std::string message = failureOf([&] { readDataset(ds, file.string()); });
        said += file.filename().string() + ": " + message + "\n  kept " + stateOf(ds);
        EXPECT_LT(message.size(), 400u) << file;
        EXPECT_TRUE(!ds.loaded && ds.selPriority == 4 && ds.curPerson == 7 &&
                    ds.people.capacity() < 100 && ds.numPeople == std::ssize(ds.people) &&
                    ds.numEvents == std::ssize(ds.events) &&
                    ds.nations.names.size() == static_cast<size_t>(ds.nations.count) + 1)
            << file;
    }
    expectGolden(std::regex_replace(said, std::regex(TESSALINE_TEST_DATA), "$$DATA"),
                 "expected/broken_qd3.txt");
}

TEST(DatasetFile, SelectedOnlyKeepsPositionsInSeparatorsAndAllCategories) {
    Dataset ds;
    readDataset(ds, dataFile("golden/basic/input.qd3"));
    ds.people[1].selected = 0;
    ds.events[0].selected = 0;
    ds.numSelPeople = 2;
    ds.numSelEvents = 1;
    ds.saveSelectedOnly = 1;
    EXPECT_EQ(savingMessage(ds, "/tmp/s.qd3"), "Saving /tmp/s.qd3\r\n 2 people, 1 events");
    expectGolden(formatDataset(ds), "expected/selected_only.qd3");
    // A failed write clears the mark too: the next save is of the whole dataset unless asked.
    TempDir dir;
    EXPECT_NE(failureOf([&] { writeDataset(ds, dir.file("no/such.qd3")); }), "");
    EXPECT_EQ(savingMessage(ds, "x"), "Saving x\r\n 3 people, 2 events");
}

// A quote in a quoted text or a line break in a raw line would break the file for good; the
// writer keeps the file readable instead.
TEST(DatasetFile, TextsWithCommasQuotesAndForbiddenCharacters) {
    Dataset ds = DatasetBuilder().person("two\nlines", 1, 2).build();
    ds.people[0].imgName = "say \"x\", a.bmp";
    ds.people[0].url = "a\r\nb";
    const std::string text = formatDataset(ds);
    expectGolden(text, "expected/forbidden_characters.qd3");
    Dataset back;
    readDatasetText(back, text);
    EXPECT_EQ(formatDataset(back), text);
}
