#include "core/file_error.h"
#include "core/legacy_file.h"
#include "core/merge.h"
#include "core/qd3_file.h"
#include "core/save_command.h"

#include "support/dataset_builder.h"
#include "support/faults.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <tuple>

#include <sys/stat.h>

using namespace tess;
using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Ten people, three of them selected, and a full set of categories.
Dataset tenPeople(const std::string& fileName) {
    DatasetBuilder b;
    for (int i = 0; i < 10; ++i)
        b.person("P" + std::to_string(i), 1800 + i, 1850 + i);
    b.event("E", 1820, 1821).category(kindFactions, "F1", 255).category(kindFactions, "F2", 1);
    b.category(kindOccupations, "O", 2).category(kindGroups, "G", 3).category(kindNations, "N", 4);
    Dataset ds = b.build();
    for (int i = 0; i < 10; ++i)
        ds.people[static_cast<size_t>(i)].selected = (i == 0 || i == 4 || i == 9) ? 1 : 0;
    ds.numSelPeople = 3;
    ds.fileName = fileName;
    return ds;
}

} // namespace

TEST(Merge, OffsetsCategoriesAndKeepsStoredValues) {
    DatasetBuilder a;
    a.person("A1", 1800, 1850).person("A2", 1810, 1860).event("AE", 1820, 1821, 1, 1, 0);
    for (int i = 1; i <= 5; ++i)
        a.category(kindFactions, "AF" + std::to_string(i), 255);
    for (int i = 1; i <= 4; ++i)
        a.category(kindNations, "AN" + std::to_string(i), 255);
    a.category(kindOccupations, "AO", 1).category(kindGroups, "AG", 1);
    Dataset ds = a.build();
    ds.people[1].selected = 0; // hidden by a selection
    ds.numSelPeople = 1;

    DatasetBuilder b;
    b.person("B1", -50, 2100, 1, 1, 0).event("BE", 1900, 1901, 1, 2, 3).event("BE0", 1, 2, 1, 1, 0);
    b.category(kindFactions, "BF1", 3).category(kindFactions, "BF2", 300);
    b.category(kindNations, "BN1", 1)
        .category(kindNations, "BN2", 1)
        .category(kindNations, "BN3", 1);
    b.category(kindGroups, "BG", 1).category(kindOccupations, "BO", 1);
    std::vector<std::pair<int, int>> announced;
    mergeDatasetText(ds, formatDataset(b.build()),
                     [&](int p, int e) { announced.emplace_back(p, e); });
    EXPECT_EQ(announced, (std::vector<std::pair<int, int>>{{1, 2}}));
    // Categories are offset past the dataset's own, a missing second nation stays none, the
    // priority 0 and the colours (3 among them, not the palette's cyan) are taken as stored.
    expectGolden(formatDataset(ds), "expected/merged.qd3");
    // Every entry counts as selected afterwards, the hidden one still hidden.
    EXPECT_EQ((std::vector<int>{ds.numSelPeople, ds.people[1].selected, ds.people[2].selected,
                                ds.factions.include[7], ds.earliestDate, ds.latestDate}),
              (std::vector<int>{3, 0, boolTrue, boolTrue, -50, 2100}));
    EXPECT_TRUE(ds.modified);
    EXPECT_EQ(mergeAnnouncementText("/d/b.qd3", 4, 9), "/d/b.qd3 contains 4 people and 9 events ");
}

TEST(Merge, IntoItselfFailuresAndLimitsLeaveTheDatasetWhole) {
    TempDir dir;
    Dataset ds = tenPeople(dir.file("main.qd3"));
    writeDataset(ds, ds.fileName);
    const Dataset before = ds;
    mergeDataset(ds, ds.fileName);
    EXPECT_EQ(std::tuple(ds.numPeople, ds.factions.count, ds.factions.names[3]),
              std::tuple(20, 4, "F1"));

    // Broken files and merges past the limits change nothing at all.
    const std::string whole = formatDataset(before);
    Dataset big = before;
    big.factions.resize(32766);
    const std::vector<std::pair<std::string, std::string>> failing = {
        {whole.substr(0, whole.size() / 2), "end of file"},
        {"2\r\n0\r\n", "end of file"},
        {whole.substr(0, whole.find("=== NATIONS")) + "=== NATIONS\r\n 1 \r\n-1\r\nX\r\nred\r\n",
         "not a number"},
        // A colour the file itself could not be opened with would make the merge unsavable.
        {readBytes(dataFile("broken/legacy_colour_negative.qd3")), "The colour -5 is neither"},
    };
    for (const auto& [text, expected] : failing) {
        SCOPED_TRACE(expected);
        Dataset d = before;
        EXPECT_NE(failureOf([&] { mergeDatasetText(d, text); }).find(expected), std::string::npos);
        EXPECT_EQ(formatDataset(d), whole);
        EXPECT_EQ((std::vector<int>{d.numSelPeople, d.modified}), (std::vector<int>{3, 0}));
    }
    Dataset d = big;
    EXPECT_EQ(failureOf([&] { mergeDatasetText(d, whole); }),
              "Merging would make 32768 factions, more than the 32767 a dataset can hold. "
              "Nothing was merged.");
    EXPECT_EQ((std::vector<int>{d.factions.count, d.numPeople}), (std::vector<int>{32766, 10}));
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
