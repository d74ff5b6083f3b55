#include "core/file_error.h"
#include "core/legacy_file.h"
#include "core/merge.h"
#include "core/picture_paths.h"
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

namespace {
// Answers Save As with one path and says nothing.
struct SaveTo : SavePrompts {
    std::string path;
    bool saveSelectedOnly() override { return false; }
    std::optional<std::string> saveAs(const std::string&) override { return path; }
    void tell(const std::string&) override {}
};
} // namespace

// A picture inside the dataset's folder is named from there, one elsewhere by its full path.
// Save As into another folder renames the relative names (and bare names found beside the
// dataset) so they name the same files, on disk and in memory; the program folder's bare
// names stay, and a path Windows-1252 cannot hold makes the dataset UTF-8.
TEST(PicturePaths, AreNamedFromTheDatasetsFolderAndFollowItOnSaveAs) {
    TempDir dir;
    const std::string d = dir.path().string();
    std::filesystem::create_directories(d + "/data/pics");
    writeBytes(d + "/data/beside.bmp", "x");
    EXPECT_EQ(pictureNameFor(d + "/data/pics/a.png", d + "/data/x.qd3"), "pics/a.png");
    EXPECT_EQ(pictureNameFor(d + "/other/c.png", d + "/data/x.qd3"), d + "/other/c.png");
    EXPECT_EQ(pictureNameFor(d + "/data/c.png", ""), d + "/data/c.png");
    EXPECT_EQ(pictureCandidates("b.bmp", d + "/data/x.qd3", "/prog"),
              (std::vector<std::string>{d + "/data/b.bmp", "/prog/b.bmp"}));
    EXPECT_EQ(pictureCandidates("/abs.png", d + "/data/x.qd3", "/prog"),
              std::vector<std::string>{"/abs.png"});
    EXPECT_TRUE(pictureCandidates(" ", d + "/data/x.qd3", "/prog").empty());

    Dataset ds = DatasetBuilder()
                     .person("A", 1, 2)
                     .person("B", 1, 2)
                     .person("C", 1, 2)
                     .person("D", 1, 2)
                     .person("E", 1, 2)
                     .build();
    const char* names[] = {"pics/a.png", "beside.bmp", "title.bmp", "/abs/c.png", "pics/\xE9.png"};
    for (size_t i = 0; i < 5; ++i)
        ds.people[i].imgName = names[i];
    ds.fileName = d + "/data/x.qd3";
    ds.modified = true;
    SaveTo to;
    to.path = d + "/x.qd3";
    const SaveResult saved = saveCommand(ds, to);
    ASSERT_TRUE(saved.datasetWritten && saved.picturesRenamed); // the undo history goes
    Dataset read;
    readDataset(read, d + "/x.qd3");
    for (const Dataset* shown : {&ds, &read}) {
        std::string got;
        for (const PersonRecord& p : shown->people)
            got += p.imgName + "|";
        EXPECT_EQ(got, "data/pics/a.png|data/beside.bmp|title.bmp|/abs/c.png|data/pics/\xE9.png|");
    }
    // From a folder whose name Windows-1252 has no letter for, to one outside it.
    std::filesystem::create_directories(d + "/\xD0\x96/sub");
    ds.fileName = d + "/\xD0\x96/x.qd3";
    ds.modified = true;
    to.path = d + "/data/y.qd3";
    ASSERT_TRUE(saveCommand(ds, to).datasetWritten);
    EXPECT_EQ(ds.encoding, TextEncoding::utf8);
    EXPECT_EQ(ds.people[0].imgName, d + "/\xD0\x96/data/pics/a.png");
    EXPECT_EQ(ds.people[4].imgName, d + "/\xD0\x96/data/pics/\xC3\xA9.png");
}
