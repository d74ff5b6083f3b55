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

template <class T> T next(std::deque<T>& answers) {
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

// Answers the save command from a script and records what it was asked and told.
struct ScriptedPrompts : SavePrompts {
    std::deque<bool> selectedAnswers;
    std::deque<std::optional<std::string>> paths;
    std::vector<std::string> asked; // "?" for the selection question, and the names proposed
    std::vector<std::string> told;

    bool saveSelectedOnly() override {
        asked.push_back("?");
        return next(selectedAnswers);
    }
    std::optional<std::string> saveAs(const std::string& proposed) override {
        asked.push_back(proposed);
        return next(paths);
    }
    void tell(const std::string& message) override { told.push_back(message); }
};

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

TEST(SaveCommand, AsksWritesAndKeepsChangesUntilTheWholeDatasetIsSaved) {
    TempDir dir;
    const std::string file = dir.file("main.qd3");
    const std::string missing = dir.file("no/such/folder.qd3");
    const std::string other = dir.file("other.qd3");
    const std::string sel = dir.file("select.qd3");
    struct Case {
        bool hidden, modified;
        std::deque<bool> selected;
        std::vector<std::string> paths; // "": Save As cancelled
        std::vector<std::string> asked;
        bool selectionFile;
        std::string savedTo; // where the whole dataset went, if anywhere
        bool modifiedAfter;
        size_t told; // notices and failures shown
    };
    const std::vector<Case> cases = {
        {false, false, {}, {}, {}, false, "", false, 0}, // nothing to do
        {false, true, {}, {file}, {file}, false, file, false, 1},
        {false, true, {}, {other}, {file}, false, other, false, 1},
        {false, true, {}, {""}, {file}, false, "", true, 0},
        {false, true, {}, {missing}, {file}, false, "", true, 2}, // the write fails
        // A selection copy leaves the changes unsaved, so the whole dataset is offered next.
        {true, true, {true}, {sel, ""}, {"?", "select.qd3", file}, true, "", true, 1},
        {true, false, {true}, {sel}, {"?", "select.qd3"}, true, "", false, 1},
        {true, true, {true}, {""}, {"?", "select.qd3"}, false, "", true, 0},
        // The selection never replaces the dataset's own file.
        {true, false, {true}, {file}, {"?", "select.qd3"}, false, "", false, 1},
        {true, true, {false}, {file}, {"?", file}, false, file, false, 1},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        for (const std::string& f : {file, other, sel})
            fs::remove(f);
        Dataset ds = tenPeople(file);
        if (!c.hidden) {
            for (auto& p : ds.people)
                p.selected = 1;
            ds.numSelPeople = 10;
        }
        ds.modified = c.modified;
        ScriptedPrompts prompts;
        prompts.selectedAnswers = c.selected;
        for (const std::string& p : c.paths)
            prompts.paths.push_back(p.empty() ? std::nullopt : std::optional(p));
        const SaveResult r = saveCommand(ds, prompts);
        EXPECT_EQ(prompts.asked, c.asked);
        // The selection copy holds the three selected people only.
        EXPECT_EQ(fs::exists(sel) && readBytes(sel).starts_with("3 -- "), c.selectionFile);
        EXPECT_EQ(r.datasetWritten, !c.savedTo.empty());
        if (!c.savedTo.empty()) {
            EXPECT_EQ(readBytes(c.savedTo), formatDataset(ds));
        } else {
            EXPECT_FALSE(fs::exists(file) || fs::exists(other));
        }
        EXPECT_EQ((std::vector<int>{ds.modified, ds.saveSelectedOnly}),
                  (std::vector<int>{c.modifiedAfter, 0}));
        // A failed or cancelled write keeps the dataset's file.
        EXPECT_EQ(ds.fileName, c.savedTo.empty() ? file : c.savedTo);
        EXPECT_EQ(prompts.told.size(), c.told);
        if (c.told == 2) { // a failed write says why, after the notice
            EXPECT_EQ(prompts.told[1],
                      "Cannot save \"" + missing + "\": No such file or directory");
        }
    }
}

TEST(Recovery, WrittenBesideOrInTheFallbackFolderAndOfferedWhenNewer) {
    TempDir dir;
    fs::create_directory(dir.path() / "program");
    const std::string program = (dir.path() / "program").string();
    Dataset ds = tenPeople(dir.file("main.qd3"));
    const std::string beside = ds.fileName + ".recovery";
    writeBytes(ds.fileName, "old");
    fs::last_write_time(ds.fileName, fs::file_time_type::clock::now() - std::chrono::hours(1));
    auto offered = [&](const std::string& dataset) {
        return newerRecoveryCopies(dataset, program).offered.value_or("");
    };
    const auto userOnly = fs::perms::owner_read | fs::perms::owner_write;
    EXPECT_EQ(offered(ds.fileName), "");

    // The whole dataset, hidden entries too (even caught in a selection-only write), goes beside
    // the file, for the user's eyes only.
    ds.saveSelectedOnly = boolTrue;
    EXPECT_EQ(writeRecoveryCopy(ds, program), beside);
    ds.saveSelectedOnly = boolFalse;
    EXPECT_EQ(readBytes(beside), formatDataset(ds));
    EXPECT_EQ(fs::status(beside).permissions(), userOnly);
    EXPECT_EQ(offered(ds.fileName), beside);
    // An older one is not offered.
    fs::last_write_time(beside, fs::file_time_type::clock::now() - std::chrono::hours(2));
    EXPECT_EQ(offered(ds.fileName), "");
    removeRecoveryCopies(ds.fileName, program);
    EXPECT_FALSE(fs::exists(beside));

    // A dataset whose folder is gone goes to the program folder, under a name of its own.
    Dataset lost = ds;
    lost.fileName = dir.file("gone/main.qd3");
    const std::string fallback = writeRecoveryCopy(lost, program);
    EXPECT_EQ(fallback, recoveryPathIn(program, lost.fileName));
    EXPECT_EQ(offered(lost.fileName) + "|" + offered(ds.fileName), fallback + "|");
    lost.fileName = dir.file("gone/again.qd3");
    EXPECT_NE(failureOf([&] { writeRecoveryCopy(lost, dir.file("gone")); }), "");
}

// Someone else plants the recovery file's name: a link to a file of the user's, or a file of
// their own. The copy never goes through the link nor into their file, and at open a planted
// one is not taken for the user's changes.
TEST(Recovery, APlantedFileIsNeitherWrittenThroughNorOffered) {
    TempDir dir;
    Dataset ds = tenPeople(dir.file("main.qd3"));
    const std::string beside = ds.fileName + ".recovery";
    const std::string program = dir.path().string();
    writeBytes(dir.file("victim"), "the user's own file");
    fs::create_symlink("victim", beside);
    const std::string why = "The recovery copy " + beside + " is not offered: ";
    EXPECT_EQ(newerRecoveryCopies(ds.fileName, program).refused,
              std::vector<std::string>{why + "it is a symbolic link."});
    removeRecoveryCopies(ds.fileName, program); // not the user's copy: it stays
    EXPECT_TRUE(fs::is_symlink(beside));
    EXPECT_EQ(writeRecoveryCopy(ds, program), beside);
    EXPECT_TRUE(readBytes(dir.file("victim")) == "the user's own file" && !fs::is_symlink(beside));

    fs::remove(beside);
    writeBytes(beside, "theirs");
    ASSERT_EQ(::chmod(beside.c_str(), 0666), 0);
    ASSERT_EQ(::link(beside.c_str(), dir.file("their view").c_str()), 0);
    EXPECT_EQ(newerRecoveryCopies(ds.fileName, program).refused,
              std::vector<std::string>{why + "other users may change it."});
    writeRecoveryCopy(ds, program);
    EXPECT_EQ(readBytes(dir.file("their view")), "theirs");
    EXPECT_EQ(fs::status(beside).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    removeRecoveryCopies(ds.fileName, program);
    EXPECT_TRUE(!fs::exists(beside) && fs::exists(dir.file("their view")));

    if (::geteuid() != 0)
        return;
    // As root: a file that belongs to another user, and a sticky shared folder where the
    // user cannot replace it, so the copy goes to the program folder.
    writeBytes(beside, "theirs");
    ASSERT_EQ(::chown(beside.c_str(), 65534, 65534), 0);
    const RecoveryCopies found = newerRecoveryCopies(ds.fileName, program);
    EXPECT_TRUE(!found.offered && found.refused.size() == 1);
    EXPECT_EQ(found.refused[0], why + "it belongs to another user.");
    ASSERT_EQ(::chown(beside.c_str(), 0, 0), 0);
    fs::permissions(dir.path(), fs::perms::all | fs::perms::sticky_bit);
    const std::string theirs = dir.file("program");
    fs::create_directory(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
    EXPECT_EQ(asUnprivilegedUser([&] {
                  return writeRecoveryCopy(ds, theirs) == recoveryPathIn(theirs, ds.fileName) ? 0
                                                                                              : 1;
              }),
              0);
    EXPECT_EQ(readBytes(beside), "theirs");
}

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
