#include "app/document_controller.h"
#include "core/csv_file.h"
#include "core/dataset_change.h"
#include "core/qd3_file.h"
#include "core/save_command.h"

#include "support/gui_test.h"

namespace {

// The dataset as a document, driven with no window: what a menu would ask of it, and what it
// announces to the windows counted.
class DocumentTest : public ::testing::Test {
protected:
    DocumentTest() : state(dialogs, folder.path().string()), doc(state) {
        QObject::connect(&doc, &DocumentController::statisticsWanted, [this] { ++statistics; });
        QObject::connect(&doc, &DocumentController::closing, [this] { ++closings; });
        QObject::connect(&doc, &DocumentController::opened, [this] { ++openings; });
    }
    // A copy of the three-person sample of the test's own, opened as Files > Open does.
    std::string openCopy(const std::string& name = "main.qd3") {
        const std::string path = folder.file(name);
        writeBytes(path, readBytes(dataFile("golden/basic/input.qd3")));
        dialogs.answerOpen(q(path));
        doc.open();
        return path;
    }
    void change(const std::string& name) {
        Dataset after = state.dataset;
        after.people[0].name = name;
        state.history.push(std::make_unique<WholeDatasetChange>("Edit", std::move(after)));
    }
    void makeOlder(const std::string& path) {
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::minutes(5));
    }

    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
    DocumentController doc;
    int statistics = 0;
    int closings = 0;
    int openings = 0;
};

} // namespace

TEST_F(DocumentTest, OpenReadsTheFileOrSaysWhyAndACancelKeepsTheDataset) {
    dialogs.answerOpen(std::nullopt);
    doc.open();
    EXPECT_FALSE(state.dataset.loaded);
    EXPECT_EQ(openings, 0);

    const std::string path = openCopy();
    EXPECT_EQ(doc.fileName(), path);
    EXPECT_EQ(state.dataset.earliestDate, -509); // the chart range, widened by ten
    EXPECT_EQ(statistics, 1);
    dialogs.answerOpen(std::nullopt);
    doc.open();
    EXPECT_EQ(state.dataset.people[0].name, "Julius Caesar");
    EXPECT_EQ(closings, 4); // before each dialog, cancelled or not, and each read

    // A broken file names the line; a Windows-1252 name in it arrives as the right character.
    writeBytes(folder.file("b.qd3"),
               "1 people\r\n1 events\r\n==== PEOPLE\r\n** 0\r\nZo\xEB\r\nx\r\n");
    dialogs.answerOpen(q(folder.file("b.qd3")));
    doc.open();
    EXPECT_EQ(dialogs.messages(),
              std::vector<QString>{QString::fromUtf8(
                  "\"x\" is not a number at line 6 npeople 1 Zo\u00EB nevents 1 ")});
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(openings, 2); // what was read can still be looked at
}

TEST_F(DocumentTest, UnsavedChangesAreSavedDiscardedOrKeptBeforeAnythingCloses) {
    const std::string first = openCopy();
    change("Changed");
    // Cancel goes back before anything closes.
    dialogs.answerChoice(ui::Choice::cancel);
    const int closed = closings;
    doc.open();
    EXPECT_EQ(dialogs.shown.back().text,
              QStringLiteral("Save changes to main.qd3 before closing?"));
    EXPECT_EQ(closings, closed);
    // Save, with its Save As cancelled or failing, keeps the changes open.
    const QString nowhere = q(folder.file("no/such/folder.qd3"));
    dialogs.answerChoice(ui::Choice::yes).answerSave(std::nullopt);
    EXPECT_FALSE(doc.offerUnsavedChanges());
    dialogs.answerChoice(ui::Choice::yes).answerSave(nowhere);
    doc.open();
    dialogs.answerChoice(ui::Choice::yes).answerSave(nowhere);
    doc.convert();
    ASSERT_EQ(dialogs.messages().size(), 4u); // "Saving ..." and why it failed, twice
    EXPECT_TRUE(dialogs.messages()[1].endsWith(QStringLiteral("No such file or directory")));
    EXPECT_EQ(closings, closed);
    EXPECT_EQ(readBytes(first), readBytes(dataFile("golden/basic/input.qd3")));
    // Discard: the next dataset opens clean.
    dialogs.answerChoice(ui::Choice::no);
    openCopy("second.qd3");
    EXPECT_FALSE(doc.modified());
    // Save writes the whole dataset, and only that lets it go.
    change("Changed");
    dialogs.answerChoice(ui::Choice::yes).answerSave(q(folder.file("saved.qd3")));
    EXPECT_TRUE(doc.offerUnsavedChanges());
    EXPECT_NE(readBytes(folder.file("saved.qd3")).find("Changed"), std::string::npos);
    EXPECT_EQ(dialogs.messages().size(), 5u);
}

TEST_F(DocumentTest, NewStartsAnEmptyDatasetWithoutAFileAndSavesItAsUntitled) {
    openCopy();
    change("Changed");
    dialogs.answerChoice(ui::Choice::no); // the changes given up
    doc.newDataset();
    EXPECT_EQ(formatDataset(state.dataset), readBytes(dataFile("golden/new/expected.qd3")));
    EXPECT_TRUE(doc.fileName().empty());
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(statistics, 2);
    Dataset named = state.dataset;
    named.factions.names[1] = "Romans";
    state.history.push(std::make_unique<WholeDatasetChange>("Rename", std::move(named)));
    // Its periodic copy lies in the program folder, and goes once the dataset is saved.
    doc.writePeriodicRecovery();
    doc.recoveryWriter().wait();
    const std::string copy = recoveryPathIn(folder.path().string(), "");
    EXPECT_TRUE(std::filesystem::exists(copy));
    dialogs.answerSave(q(folder.file("mine.qd3")));
    doc.save();
    // Proposed in the folder datasets were last opened from.
    EXPECT_EQ(dialogs.shown.at(dialogs.shown.size() - 2).title, q(folder.file("untitled.qd3")));
    EXPECT_EQ(doc.fileName(), folder.file("mine.qd3"));
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(dialogs.messages().size(), 1u); // "Saving ..."

    // Left by a program that was ended, such a copy is offered at the next start: Yes opens it
    // unsaved and without a file name, No deletes it.
    state.dataset.fileName.clear();
    writeRecoveryCopy(state.dataset, folder.path().string());
    dialogs.answerQuestion(true);
    doc.offerUnnamedRecovery();
    EXPECT_EQ(state.dataset.factions.names[1], "Romans");
    EXPECT_TRUE(doc.modified() && doc.fileName().empty());
    doc.closeCleanly();
    EXPECT_FALSE(std::filesystem::exists(copy));
    writeRecoveryCopy(state.dataset, folder.path().string());
    dialogs.answerQuestion(false);
    doc.offerUnnamedRecovery();
    EXPECT_FALSE(std::filesystem::exists(copy));
}

// Datasets opened or saved go to the top of the recent files, kept in the choices file at
// once; one that is gone is taken off with a message when chosen. Each kind of file's dialog
// starts in the folder last used for that kind.
TEST_F(DocumentTest, RecentFilesAndTheFoldersEachKindOfFileWasLastUsedIn) {
    state.choicesFile = folder.file("choices.ini");
    const std::string first = openCopy("first.qd3");
    std::filesystem::create_directory(folder.file("sub"));
    const std::string second = openCopy("sub/second.qd3");
    EXPECT_EQ(dialogs.shown.back().title, q(folder.path().string())); // where first came from
    doc.newDataset();
    Dataset named = state.dataset;
    named.factions.names[1] = "Mine";
    state.history.push(std::make_unique<WholeDatasetChange>("Rename", std::move(named)));
    dialogs.answerSave(q(folder.file("third.qd3")));
    doc.save();
    EXPECT_EQ(readUserChoices(state.choicesFile).recent,
              (std::vector<std::string>{folder.file("third.qd3"), second, first}));
    dialogs.answerOpen(std::nullopt);
    doc.importFile();
    EXPECT_EQ(dialogs.shown.back().title, q(folder.path().string())); // the dataset's folder

    std::filesystem::remove(second);
    doc.openRecent(q(second));
    EXPECT_EQ(dialogs.messages().back(), q("\"" + second +
                                           "\" no longer exists; it is taken off the list of "
                                           "recent files."));
    EXPECT_EQ(state.choices.recent, (std::vector<std::string>{folder.file("third.qd3"), first}));
    EXPECT_EQ(doc.fileName(), folder.file("third.qd3"));
    doc.openRecent(q(first));
    EXPECT_EQ(doc.fileName(), first);
}

// An import replaces the dataset with an unsaved one without a file, and says what it made; a
// file it cannot read leaves the dataset as it was. Export writes the entries as CSV.
TEST_F(DocumentTest, ImportMakesAnUnsavedDatasetAndExportWritesItsEntries) {
    const std::string path = openCopy();
    dialogs.answerOpen(q(dataFile("csv/broken/not_a_year.csv")));
    doc.importFile();
    EXPECT_TRUE(dialogs.messages().back().startsWith(
        QStringLiteral("Nothing was imported from not_a_year.csv: line 8: ")));
    EXPECT_EQ(doc.fileName(), path);
    dialogs.answerOpen(q(dataFile("gedcom/family.ged")));
    doc.importFile();
    EXPECT_EQ(dialogs.messages().back(),
              QStringLiteral("Imported 47 people and 30 events from family.ged."));
    EXPECT_TRUE(doc.modified() && doc.fileName().empty());
    EXPECT_EQ(state.dataset.numPeople, 47);
    dialogs.answerSave(q(folder.file("tree.csv")));
    doc.exportCsv();
    EXPECT_EQ(readBytes(folder.file("tree.csv")), formatEntriesCsv(state.dataset));
}

TEST_F(DocumentTest, PendingEditsAreHandedOverBeforeTheQuestion) {
    openCopy();
    QObject::connect(&doc, &DocumentController::pendingEditsWanted, [this] { change("Pending"); });
    dialogs.answerChoice(ui::Choice::cancel);
    EXPECT_FALSE(doc.offerUnsavedChanges());
}

TEST_F(DocumentTest, SaveSelectedWritesACopyBesideTheDataset) {
    const std::string path = openCopy();
    state.dataset.events[1].selected = 0;
    state.dataset.numSelEvents = 1;
    dialogs.answerQuestion(true).answerSave(q(folder.file("sel.qd3")));
    doc.save();
    EXPECT_EQ(dialogs.shown[2].title, q(folder.file("select.qd3"))); // the proposed name
    EXPECT_EQ(dialogs.messages(),
              std::vector<QString>{QStringLiteral("Saving ") + q(folder.file("sel.qd3")) +
                                   QStringLiteral("\r\n 3 people, 1 events")});
    EXPECT_EQ(doc.fileName(), path);
}

TEST_F(DocumentTest, AMergeIsOneChangeOrNothing) {
    const std::string path = openCopy();
    int outside = 0;
    QObject::connect(&doc, &DocumentController::changedOutsideWindows, [&] { ++outside; });
    dialogs.answerOpen(q(path));
    doc.merge();
    EXPECT_EQ(
        dialogs.messages(),
        (std::vector<QString>{QStringLiteral("Select a second file to merge with current file"),
                              q(path) + QStringLiteral(" contains 3 people and 2 events ")}));
    EXPECT_EQ(state.dataset.numPeople, 6);
    EXPECT_EQ(outside, 1);
    EXPECT_EQ(statistics, 2);

    const std::string before = formatDataset(state.dataset);
    dialogs.answerOpen(q(dataFile("broken/not_a_number.qd3")));
    doc.merge();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("\"abc\" is not a number at line 6"));
    EXPECT_EQ(formatDataset(state.dataset), before);
    EXPECT_EQ(outside, 1);
}

TEST_F(DocumentTest, ConvertWritesBesideTheOlderFileAndAsksBeforeReplacing) {
    const std::string older = folder.file("rome.qd2");
    writeBytes(older, readBytes(dataFile("legacy/rome.qd2")));
    dialogs.answerOpen(q(older));
    doc.convert();
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Conversion complete")});
    EXPECT_EQ(doc.fileName(), folder.file("rome.qd3"));

    writeBytes(folder.file("rome.qd3"), "mine");
    dialogs.answerOpen(q(older)).answerQuestion(false);
    doc.convert();
    EXPECT_EQ(dialogs.shown.back().title, QStringLiteral("Convert"));
    EXPECT_EQ(readBytes(folder.file("rome.qd3")), "mine");
    dialogs.answerOpen(q(older)).answerQuestion(true);
    doc.convert();
    EXPECT_NE(readBytes(folder.file("rome.qd3")), "mine");
    EXPECT_EQ(dialogs.messages().size(), 2u);
}

TEST_F(DocumentTest, ARecoveryCopyIsOfferedWhenNewer) {
    const std::string path = folder.file("main.qd3");
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        writeBytes(path, readBytes(dataFile("golden/basic/input.qd3")));
        std::string recovered = readBytes(path);
        recovered.replace(recovered.find("Julius Caesar"), 13, "Recovered One");
        writeBytes(path + ".recovery", recovered);
        makeOlder(path);
        dialogs.answerQuestion(yes);
        doc.openPath(q(path));
        EXPECT_EQ(state.dataset.people[0].name, yes ? "Recovered One" : "Julius Caesar");
        EXPECT_EQ(doc.modified(), yes);
        EXPECT_EQ(std::filesystem::exists(path + ".recovery"), yes);
        if (yes) {
            // Once saved, the changes are in the file and the recovery copy goes.
            dialogs.answerSave(q(path));
            doc.save();
            EXPECT_EQ(dialogs.messages().size(), 1u);
            EXPECT_FALSE(std::filesystem::exists(path + ".recovery"));
        }
    }
    // A copy no newer than the dataset is not offered.
    writeBytes(path + ".recovery", "not offered");
    std::filesystem::last_write_time(path + ".recovery", std::filesystem::last_write_time(path));
    doc.openPath(q(path));
    EXPECT_EQ(readBytes(path + ".recovery"), "not offered");
    // A damaged copy says why, the dataset's own file opens, and the copy goes if wanted.
    writeBytes(path + ".recovery", "not a dataset");
    makeOlder(path);
    dialogs.answerQuestion(true).answerQuestion(true);
    doc.openPath(q(path));
    EXPECT_TRUE(dialogs.messages().back().startsWith(QStringLiteral("The recovery copy ") +
                                                     q(path + ".recovery") +
                                                     QStringLiteral(" could not be read: ")));
    EXPECT_FALSE(doc.modified());
    EXPECT_FALSE(std::filesystem::exists(path + ".recovery"));

    // A signal while the next dataset's question is up: the changes declined for the dataset
    // before are not written as the next one's.
    struct Dialogs : ScriptedDialogs {
        std::function<void()> onQuestion;
        bool question(const QString& text, const QString& title) override {
            if (onQuestion)
                onQuestion();
            return ScriptedDialogs::question(text, title);
        }
    } asked;
    AppState other(asked, folder.path().string());
    DocumentController second(other);
    const std::string b = folder.file("b.qd3");
    writeBytes(b, readBytes(path));
    writeBytes(b + ".recovery", "b's recovered changes");
    makeOlder(b);
    second.openPath(q(path));
    other.dataset.modified = true;
    asked.onQuestion = [&second] { second.endOnSignal(); };
    asked.answerQuestion(false); // the box a signal closes unanswered
    second.openPath(q(b));
    EXPECT_EQ(readBytes(b + ".recovery"), "b's recovered changes");
    EXPECT_FALSE(std::filesystem::exists(path + ".recovery"));
}

namespace {
// Lets the event loop run until the file is there (or not), or a few seconds have gone.
bool becomes(const std::string& path, bool there) {
    for (int i = 0; i < 500 && std::filesystem::exists(path) != there; ++i)
        QTest::qWait(10);
    return std::filesystem::exists(path) == there;
}
} // namespace

TEST(Recovery, UnsavedChangesAreCopiedPeriodicallyUntilSavedOrLeft) {
    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state(dialogs, folder.path().string());
    state.recoveryIntervalMs = 20;
    DocumentController doc(state);
    const std::string path = folder.file("main.qd3");
    writeBytes(path, readBytes(dataFile("golden/basic/input.qd3")));
    doc.openPath(q(path));
    const std::string recovery = path + ".recovery";
    QTest::qWait(100);
    EXPECT_FALSE(std::filesystem::exists(recovery)); // nothing unsaved, nothing written

    Dataset after = state.dataset;
    after.people[0].name = "Copied";
    state.history.push(std::make_unique<WholeDatasetChange>("Edit", std::move(after)));
    ASSERT_TRUE(becomes(recovery, true));
    doc.recoveryWriter().wait();
    Dataset back;
    readDataset(back, recovery);
    EXPECT_EQ(back.people[0].name, "Copied");

    // A save removes it; so does undoing back to the saved state, and leaving.
    dialogs.answerSave(q(path));
    doc.save();
    EXPECT_FALSE(std::filesystem::exists(recovery));
    state.history.undo();
    ASSERT_TRUE(becomes(recovery, true));
    state.history.redo();
    EXPECT_FALSE(std::filesystem::exists(recovery));
    state.history.undo();
    ASSERT_TRUE(becomes(recovery, true));
    doc.closeCleanly();
    EXPECT_FALSE(std::filesystem::exists(recovery));
    EXPECT_EQ(dialogs.messages().size(), 1u);

    // A failed copy is one line on standard error.
    std::ostringstream captured;
    std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
    RecoveryWriter writer;
    EXPECT_TRUE(writer.start("/no/such/folder/main.qd3", "text", "/no/such/program/folder"));
    writer.wait();
    std::cerr.rdbuf(old);
    const std::string err = captured.str();
    EXPECT_TRUE(err.starts_with("Tessaline: the recovery copy could not be written: Cannot save"))
        << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}
