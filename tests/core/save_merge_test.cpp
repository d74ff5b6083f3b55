#include "core/file_error.h"
#include "core/legacy_file.h"
#include "core/merge.h"
#include "core/qd3_file.h"
#include "core/save_command.h"

#include "support/test.h"

namespace {

// Two people, the second hidden by a selection, five factions and four nations.
Dataset own() {
    Dataset ds;
    readDatasetText(ds, readBytes(dataFile("merge/own.qd3")));
    ds.people[1].selected = 0;
    ds.numSelPeople = 1;
    return ds;
}

} // namespace

// Categories are offset past the dataset's own, a missing second nation stays none, the priority
// 0 and the colours (3 among them, not the palette's cyan) are taken as stored. Every entry
// counts as selected afterwards, the hidden one still hidden, and every category included.
TEST(Merge, OffsetsCategoriesAndKeepsStoredValues) {
    Dataset ds = own();
    std::string log;
    mergeDatasetText(ds, readBytes(dataFile("merge/incoming.qd3")), [&](int p, int e) {
        log += "announced " + std::to_string(p) + " people, " + std::to_string(e) + " events\n";
    });
    log += "selected " + std::to_string(ds.numSelPeople) + ":";
    for (const PersonRecord& p : ds.people)
        log += " " + std::to_string(p.selected);
    log += "; faction 7 " + std::to_string(ds.factions.include[7]) + "; range " +
           std::to_string(ds.earliestDate) + " to " + std::to_string(ds.latestDate) +
           (ds.modified ? "; modified\n" : "\n");
    expectGolden(formatDataset(ds) + log + mergeAnnouncementText("/d/b.qd3", 4, 9),
                 "expected/merged.txt");
}

// A merge into itself doubles the dataset. Broken files and merges past the limits change
// nothing at all; a colour the file itself could not be opened with would make the merge
// unsavable.
TEST(Merge, IntoItselfFailuresAndLimitsLeaveTheDatasetWhole) {
    TempDir dir;
    Dataset ds = own();
    ds.fileName = dir.file("main.qd3");
    writeDataset(ds, ds.fileName);
    const Dataset before = ds;
    const std::string whole = formatDataset(before);
    mergeDataset(ds, ds.fileName);
    std::string log = std::to_string(ds.numPeople) + " people, " +
                      std::to_string(ds.factions.count) + " factions, the sixth " +
                      ds.factions.names[6] + "\n";
    Dataset big = before;
    big.factions.resize(32766);
    for (const std::string& text :
         {whole.substr(0, whole.size() / 2), std::string("2\r\n0\r\n"),
          whole.substr(0, whole.find("=== NATIONS")) + "=== NATIONS\r\n 1 \r\n-1\r\nX\r\nred\r\n",
          readBytes(dataFile("broken/legacy_colour_negative.qd3")), whole}) {
        Dataset d = text == whole ? big : before;
        log += failureOf([&] { mergeDatasetText(d, text); }) + "\n";
        EXPECT_EQ(formatDataset(d), formatDataset(text == whole ? big : before));
        EXPECT_TRUE(d.numSelPeople == 1 && !d.modified);
    }
    expectGolden(log, "expected/merge_failures.txt");
}

TEST(LegacyFile, ConvertsToAFileTheProgramOpens) {
    TempDir dir;
    const std::string out = dir.file("rome.qd3");
    const Dataset ds = convertLegacyFile(dataFile("legacy/rome.qd2"), out);
    EXPECT_EQ(ds.fileName, out);
    // The copy is the dataset in memory; the older entries' text lines stay with it, and
    // entries without a priority filter alike before and after.
    EXPECT_EQ(readBytes(out), formatDataset(ds));
    EXPECT_EQ(ds.people[0].legacyText1, "  General and statesman ");
    EXPECT_EQ(std::tuple(ds.people[0].priority, ds.selStart, ds.selEnd), std::tuple(5, -100, -30));
}

// What the converter says of each broken older file; the existing copy stays as it was.
TEST(LegacyFile, FailuresWriteNothing) {
    TempDir dir;
    const std::string out = dir.file("short.qd3");
    writeBytes(out, "an existing file");
    std::string said;
    for (const auto& file : dataFiles("broken/qd2")) {
        said += file.filename().string() + ": " +
                failureOf([&] { convertLegacyFile(file.string(), out); }) + "\n";
        EXPECT_EQ(readBytes(out), "an existing file");
    }
    expectGolden(said, "expected/broken_qd2.txt");
    const std::string self = dir.file("self.qd3");
    writeBytes(self, "x");
    EXPECT_NE(failureOf([&] { convertLegacyFile(self, convertedFileName(self)); }), "");
    EXPECT_EQ(readBytes(self), "x");
}
