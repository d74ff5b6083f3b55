#include "app/termination.h"
#include "app/zemmain.h"
#include "core/qd3_file.h"
#include "core/save_command.h"
#include "entry/entry_window.h"
#include "ui/geometry.h"
#include "ui/qt_dialogs.h"

#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <sstream>

using namespace tess;
using namespace testing_support;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A program folder of its own for each test, with a title picture.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : state(dialogs, folder.path().string()) {
        QImage title(64, 48, QImage::Format_RGB32);
        title.fill(Qt::darkBlue);
        title.save(q(folder.file("title.bmp")), "BMP");
    }
    std::vector<QAction*> dataActions(ZemMain& w) {
        return {w.mnupeople,    w.mnuevents, w.mnudisplay, w.mnureports->menuAction(),
                w.mnuGroupings, w.mnusave,   w.mnumerge,   w.mnusplit};
    }

    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
};

} // namespace

TEST_F(MainWindowTest, StartsWithTitlePictureAndOnlyFileCommands) {
    ZemMain w(state);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Varelta : Tessaline"));
    EXPECT_EQ(w.objectName(), QStringLiteral("zemmain"));
    EXPECT_FALSE(w.Image1->pixmap().isNull());
    for (QAction* a : dataActions(w))
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QAction* a : {w.mnuopen, w.mnuabout, w.mnuExit, w.mnuHelp})
        EXPECT_TRUE(a->isEnabled());
    EXPECT_EQ(w.mnuopen->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(w.mnusave->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(w.mnuExit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(w.mnuRptGroupings->actions().size(), 4);
    EXPECT_NE(w.findChild<QAction*>(QStringLiteral("munLife")), nullptr);
    EXPECT_TRUE(w.Label2->isHidden());
    EXPECT_TRUE(w.Label3->isHidden());
    EXPECT_TRUE(w.Label4->isHidden());
    EXPECT_TRUE(w.Command1->isHidden());
    EXPECT_EQ(w.Command1->toolTip(), QStringLiteral("normally not available"));
    EXPECT_EQ(state.dataset.earliestDate, 9999);
    EXPECT_EQ(state.dataset.latestDate, -32000);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowTest, OpenReadsTheFileAndEnablesTheDataMenus) {
    ZemMain w(state);
    const std::string path = dataFile("golden/basic/input.qd3");
    dialogs.answerOpen(q(path));
    dialogs.acceptModal(); // the statistics window
    w.mnuopen->trigger();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Data files: | *.qd3"));
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("curStats"));
    EXPECT_TRUE(state.dataset.loaded);
    EXPECT_EQ(state.dataset.fileName, path);
    EXPECT_EQ(state.dataset.numPeople, 3);
    EXPECT_FALSE(state.dataset.modified);
    for (QAction* a : dataActions(w))
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(MainWindowTest, CancelledOpenChangesNothing) {
    ZemMain w(state);
    dialogs.answerOpen(std::nullopt);
    w.mnuopen_Click();
    EXPECT_FALSE(state.dataset.loaded);
    EXPECT_TRUE(state.dataset.fileName.empty());
    for (QAction* a : dataActions(w))
        EXPECT_FALSE(a->isEnabled());

    // With a dataset open, a cancelled dialog keeps it.
    dialogs.answerOpen(q(dataFile("golden/basic/input.qd3")));
    dialogs.acceptModal(); // the statistics window
    w.mnuopen_Click();
    dialogs.answerOpen(std::nullopt);
    w.mnuopen_Click();
    EXPECT_EQ(state.dataset.numPeople, 3);
    EXPECT_EQ(state.dataset.people[0].name, "Julius Caesar");
}

TEST_F(MainWindowTest, AFailedReadShowsTheReadersMessageAndTheCommandGoesOn) {
    ZemMain w(state);
    dialogs.answerOpen(q(dataFile("broken/not_a_number.qd3")));
    dialogs.acceptModal(); // the statistics window
    w.mnuopen_Click();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0],
              QStringLiteral("\"abc\" is not a number at line 6 npeople 3  nevents 2 "));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.shown[1].title, QStringLiteral("Varelta: Tessaline"));
    EXPECT_FALSE(state.dataset.loaded);
    EXPECT_TRUE(w.mnudisplay->isEnabled());

    // A Windows-1252 name in the message arrives as the right character.
    writeBytes(folder.file("b.qd3"),
               "1 people\r\n1 events\r\n==== PEOPLE\r\n** 0\r\nZo\xEB\r\nx\r\n");
    dialogs.answerOpen(q(folder.file("b.qd3")));
    dialogs.acceptModal(); // the statistics window
    w.mnuopen_Click();
    EXPECT_EQ(dialogs.messages().back(),
              QString::fromUtf8("\"x\" is not a number at line 6 npeople 1 Zo\u00EB nevents 1 "));
}

TEST_F(MainWindowTest, AboutShowsTheCreditsAndVersion) {
    ZemMain w(state);
    w.show();
    w.mnuabout->trigger();
    EXPECT_TRUE(w.Label2->isVisible());
    EXPECT_TRUE(w.Label3->isVisible());
    EXPECT_TRUE(w.Label4->isVisible());
    EXPECT_EQ(w.Label4->text(), QStringLiteral("Version 3.01"));
    EXPECT_FALSE(w.Label2->text().isEmpty());
    EXPECT_FALSE(w.Label3->text().isEmpty());
}

TEST_F(MainWindowTest, PictureFollowsTheWindowSizeExceptWhenTooSmall) {
    ZemMain w(state);
    w.show();
    const double dpi = ui::logicalDpi(&w);
    w.resize(ui::twipsToPixels(12000, dpi), ui::twipsToPixels(9000, dpi));
    const QRect outer = ui::outerRectTwips(w);
    EXPECT_EQ(w.Image1->size(), QSize(ui::twipsToPixels(outer.width() - 60, dpi),
                                      ui::twipsToPixels(outer.height() - 650, dpi)));
    // At 650 twips high or 60 wide, or below (a minimised window), the picture stays as it is.
    const QSize before = w.Image1->size();
    w.fitPicture(QRect(0, 0, 12000, 650));
    w.fitPicture(QRect(0, 0, 60, 9000));
    w.fitPicture(QRect(0, 0, 0, 0));
    EXPECT_EQ(w.Image1->size(), before);
    w.fitPicture(QRect(0, 0, 1500, 651 + 1440));
    EXPECT_EQ(w.Image1->size(), QSize(ui::twipsToPixels(1440, dpi), ui::twipsToPixels(1441, dpi)));
}

TEST_F(MainWindowTest, ExitWritesTheSettingsAndAsksNothing) {
    // Started and quit at once, at any scale (this runs at twice the scale too): the file is
    // as it was, a rectangle as large as the unscaled screen allows included.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const double scale = QGuiApplication::primaryScreen()->devicePixelRatio();
    Settings asRead;
    asRead.peopleWindowRect =
        WindowRect{0, 0, ui::pixelsToTwips(static_cast<int>(screen.width() * scale), 96),
                   ui::pixelsToTwips(static_cast<int>(screen.height() * scale), 96) - 15};
    asRead.eventsWindowRect = WindowRect{50, 60, 9000, 8000};
    writeBytes(folder.file("zem.ini"), formatSettings(asRead));
    { ZemMain(state).close(); }
    EXPECT_EQ(readBytes(folder.file("zem.ini")), formatSettings(asRead));
    // Also with the timelines opened where the file puts them and nothing moved.
    {
        ZemMain w(state);
        dialogs.answerOpen(q(dataFile("golden/basic/input.qd3"))).acceptModal();
        w.mnuopen_Click();
        w.mnudisplay_Click();
        w.close();
    }
    EXPECT_EQ(readBytes(folder.file("zem.ini")), formatSettings(asRead));
    dialogs.shown.clear();

    writeBytes(folder.file("zem.ini"), "10 20 3000 4000\r\n50 60 7000 8000\r\n4 6 255 0\r\n");
    {
        ZemMain w(state);
        EXPECT_EQ(state.settings.peopleColorBy, 4);
        EXPECT_EQ(state.settings.eventsWindowRect, (WindowRect{50, 60, 7000, 8000}));
        dialogs.answerOpen(q(dataFile("golden/basic/input.qd3")));
        dialogs.acceptModal(); // the statistics window
        w.mnuopen_Click();
        state.settings.eventsBackColor = 12345;
        w.show();
        w.mnuExit->trigger();
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_EQ(readBytes(folder.file("zem.ini")), formatSettings(state.settings));
    EXPECT_EQ(readSettings(folder.file("zem.ini")).eventsBackColor, 12345);
    EXPECT_EQ(dialogs.shown.size(), 2u); // the Open dialog and the statistics only

    // A damaged settings file starts with defaults and is written whole on exit.
    writeBytes(folder.file("zem.ini"), "garbage\r\n");
    {
        ZemMain w(state);
        EXPECT_EQ(state.settings, Settings());
        w.close();
    }
    EXPECT_EQ(readBytes(folder.file("zem.ini")), formatSettings(Settings()));
}

TEST_F(MainWindowTest, HelpSetupAndTheEmptyGroupingsEntries) {
    ZemMain w(state);
    // No help file: nothing happens and nothing is said.
    w.mnuHelp->trigger();
    EXPECT_EQ(w.helpViewer(), nullptr);
    EXPECT_TRUE(dialogs.shown.empty());

    writeBytes(folder.file("zem2help.TXT"), "Tessaline help\r\nFiles > Open\r\n");
    w.mnuHelp->trigger();
    ASSERT_NE(w.helpViewer(), nullptr);
    EXPECT_TRUE(w.helpViewer()->isReadOnly());
    EXPECT_TRUE(w.helpViewer()->toPlainText().startsWith(QStringLiteral("Tessaline help\n")));
    EXPECT_TRUE(w.helpViewer()->isMaximized());
    w.helpViewer()->close();

    dialogs.answerPrinterSetup(false);
    w.mnuSetup->trigger();
    EXPECT_EQ(dialogs.shown.back().kind, "printer");

    dialogs.answerOpen(q(dataFile("golden/basic/input.qd3")));
    dialogs.acceptModal(); // the statistics window
    w.mnuopen_Click();
    const size_t before = dialogs.shown.size();
    for (QAction* a : w.mnuRptGroupings->actions())
        a->trigger();
    EXPECT_EQ(dialogs.shown.size(), before);
    EXPECT_FALSE(state.dataset.modified);
}

TEST_F(MainWindowTest, OpenFiltersShowsStatisticsAndTimelineOpensBothCharts) {
    ZemMain w(state);
    dialogs.answerOpen(q(dataFile("golden/basic/input.qd3")));
    // The statistics show the range as the file left it, before the chart range is widened.
    dialogs.answerModal([](QDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label4"))->text(),
                  QStringLiteral("Current date range -499 to  1631"));
        return int(QDialog::Accepted);
    });
    w.mnuopen_Click();
    EXPECT_EQ(state.dataset.numSelPeople, 3);
    EXPECT_EQ(state.dataset.earliestDate, -509);
    EXPECT_EQ(state.dataset.latestDate, 1641);

    w.mnudisplay->trigger();
    ASSERT_NE(w.peopleTimeline(), nullptr);
    ASSERT_NE(w.eventsTimeline(), nullptr);
    EXPECT_TRUE(w.peopleTimeline()->isVisible());
    EXPECT_TRUE(w.eventsTimeline()->isVisible());
    EXPECT_EQ(w.peopleTimeline()->rtbox1->lineCount(), 3);
    EXPECT_EQ(w.eventsTimeline()->rtbox1->lineCount(), 2);
    EXPECT_EQ(w.eventsTimeline()->windowTitle(),
              QStringLiteral("Events Timeline (colored by nation)"));

    // People and Events open their entry windows modally; a chart click opens one modeless.
    dialogs.acceptModal().acceptModal();
    w.mnupeople->trigger();
    w.mnuevents->trigger();
    ASSERT_GE(dialogs.shown.size(), 2u);
    ASSERT_GE(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[dialogs.shown.size() - 2].text, QStringLiteral("PEntry"));
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("eEntry"));
    emit w.eventsTimeline()->entryRequested(Side::events);
    ASSERT_NE(w.entryWindow(Side::events), nullptr);
    EXPECT_TRUE(w.entryWindow(Side::events)->isVisible());

    // Opening another file closes both timelines first, even when its dialog is cancelled.
    dialogs.answerOpen(std::nullopt);
    w.mnuopen_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.peopleTimeline(), nullptr);
    EXPECT_EQ(w.eventsTimeline(), nullptr);
}

TEST_F(MainWindowTest, ChartsOfAFailedReadCloseAtTheNextOpen) {
    ZemMain w(state);
    // A failed read leaves the selection range alone; one from an earlier dataset shows it.
    state.dataset.selStart = -5000;
    state.dataset.selEnd = 5000;
    dialogs.answerOpen(q(dataFile("broken/legacy_colour_negative.qd3")));
    dialogs.acceptModal();
    w.mnuopen_Click();
    EXPECT_EQ(dialogs.messages().size(), 1u);
    EXPECT_FALSE(state.dataset.loaded);
    w.mnudisplay_Click(); // what was read can still be looked at
    ASSERT_NE(w.peopleTimeline(), nullptr);
    EXPECT_EQ(w.peopleTimeline()->rtbox1->lineCount(), 3);
    dialogs.answerOpen(std::nullopt);
    w.mnuopen_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.peopleTimeline(), nullptr);
    EXPECT_EQ(w.eventsTimeline(), nullptr);
}

TEST_F(MainWindowTest, SettingsNeverPlaceATimelineOffTheScreen) {
    // Far off, far off the other way, too large: each rectangle is brought onto the screen at
    // a usable size when the settings are read, and that is what the timelines use and what is
    // written back.
    for (const char* ini : {"200000 200000 14400 7200\r\n-200000 -200000 1 1\r\n3 5 0 0\r\n",
                            "1000000 1000000 1000000 1000000\r\n0 0 1 1\r\n3 5 0 0\r\n"}) {
        SCOPED_TRACE(ini);
        writeBytes(folder.file("zem.ini"), ini);
        {
            ZemMain w(state);
            dialogs.answerOpen(q(dataFile("golden/basic/input.qd3")));
            dialogs.acceptModal();
            w.mnuopen_Click();
            w.mnudisplay_Click();
            const QRect screen = w.screen()->availableGeometry();
            for (TimelineWindow* t : {w.peopleTimeline(), w.eventsTimeline()}) {
                const QRect outer = t->frameGeometry();
                EXPECT_TRUE(screen.contains(outer)) << outer.x() << "," << outer.y() << " "
                                                    << outer.width() << "x" << outer.height();
                EXPECT_GE(outer.width(), ui::minimumWindowSize.width());
                EXPECT_GE(outer.height(), ui::minimumWindowSize.height());
            }
            w.close();
        }
        const Settings written = readSettings(folder.file("zem.ini"));
        const double dpi = ui::logicalDpi();
        for (const auto& rect : {written.peopleWindowRect, written.eventsWindowRect}) {
            ASSERT_TRUE(rect);
            const QRect pixels =
                ui::twipsToPixels(QRect(rect->left, rect->top, rect->width, rect->height), dpi);
            EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(pixels));
        }
        EXPECT_EQ(dialogs.messages().size(), 0u);
    }
}

namespace {

// A dataset of the test's own, opened through Files > Open.
std::string openCopy(ZemMain& w, ScriptedDialogs& dialogs, const TempDir& folder,
                     const std::string& name = "main.qd3") {
    const std::string path = folder.file(name);
    writeBytes(path, readBytes(dataFile("golden/basic/input.qd3")));
    dialogs.answerOpen(q(path));
    dialogs.acceptModal(); // the statistics window
    w.mnuopen_Click();
    return path;
}

} // namespace

TEST_F(MainWindowTest, SaveMergeAndSplitFromTheFilesMenu) {
    ZemMain w(state);
    const std::string path = openCopy(w, dialogs, folder);
    Dataset& ds = state.dataset;
    ds.people[0].name = "Gaius Julius Caesar";
    ds.modified = true;
    dialogs.answerSave(q(path));
    w.mnusave->trigger();
    ASSERT_EQ(dialogs.shown.size(), 4u);
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("Data files | *.qd3"));
    EXPECT_EQ(dialogs.shown[2].title, q(path)); // the proposed name
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Saving ") + q(path) +
                                                       QStringLiteral("\r\n 3 people, 2 events")});
    EXPECT_FALSE(ds.modified);
    EXPECT_NE(readBytes(path).find("Gaius Julius Caesar"), std::string::npos);

    w.mnusplit->trigger();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("STUB: get split filename & categories"));
    EXPECT_FALSE(ds.modified);

    // Merging the file into itself, with the charts open: they show the merged entries at once.
    w.mnudisplay_Click();
    dialogs.answerOpen(q(path));
    dialogs.acceptModal();
    w.mnumerge->trigger();
    const std::vector<QString> m = dialogs.messages();
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[2], QStringLiteral("Select a second file to merge with current file"));
    EXPECT_EQ(m[3], q(path) + QStringLiteral(" contains 3 people and 2 events "));
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("curStats"));
    EXPECT_EQ(ds.numPeople, 6);
    EXPECT_TRUE(ds.modified);
    EXPECT_EQ(w.peopleTimeline()->rtbox1->lineCount(), 6);

    // A delete in an entry window is drawn at once, and the marked entry keeps its mark.
    ChartView* chart = w.peopleTimeline()->rtbox1;
    chart->setCurrentLine(5);
    const std::string marked = chart->lines()[5].text();
    state.dataset.curPerson = 0;
    dialogs.answerModal([&](QDialog& d) {
        dialogs.answerQuestion(true);
        dynamic_cast<EntryWindow&>(d).cmdDelete->click();
        return QDialog::Accepted;
    });
    w.mnupeople_Click();
    ASSERT_EQ(chart->lineCount(), 5);
    EXPECT_EQ(chart->currentLine(), 4);
    EXPECT_EQ(chart->lines()[4].text(), marked);

    // A broken second file says why and changes nothing.
    const std::string before = formatDataset(ds);
    dialogs.answerOpen(q(dataFile("broken/not_a_number.qd3")));
    w.mnumerge->trigger();
    ASSERT_EQ(dialogs.messages().size(), 7u);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("\"abc\" is not a number at line 6"));
    EXPECT_EQ(formatDataset(ds), before);
}

TEST_F(MainWindowTest, SaveSelectedAsksAndProposesACopyBesideTheDataset) {
    ZemMain w(state);
    const std::string path = openCopy(w, dialogs, folder);
    state.dataset.events[1].selected = 0;
    state.dataset.numSelEvents = 1;
    dialogs.answerQuestion(true).answerSave(q(folder.file("sel.qd3")));
    w.mnusave_Click();
    ASSERT_EQ(dialogs.shown.size(), 5u);
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("Save only selected items to new file?"));
    EXPECT_EQ(dialogs.shown[2].title, QStringLiteral("Dataset selected"));
    EXPECT_EQ(dialogs.shown[3].title, q(folder.file("select.qd3")));
    EXPECT_EQ(dialogs.messages(),
              std::vector<QString>{QStringLiteral("Saving ") + q(folder.file("sel.qd3")) +
                                   QStringLiteral("\r\n 3 people, 1 events")});
    EXPECT_EQ(state.dataset.fileName, path);
    EXPECT_EQ(readBytes(folder.file("sel.qd3")).substr(0, 30), "3 -- Number of people in file\r");
}

// A signal that arrives while the recovery question of the next dataset is up: the changes
// declined for the dataset before are not written as the next one's recovered changes.
TEST(Termination, ASignalDuringTheRecoveryQuestionKeepsTheRecoveryFile) {
    struct Dialogs : ScriptedDialogs {
        std::function<void()> onQuestion;
        bool question(const QString& text, const QString& title) override {
            if (onQuestion)
                onQuestion();
            return ScriptedDialogs::question(text, title);
        }
    } dialogs;
    TempDir folder;
    AppState state(dialogs, folder.path().string());
    ZemMain w(state);
    const std::string a = folder.file("a.qd3");
    const std::string b = folder.file("b.qd3");
    writeBytes(a, readBytes(dataFile("golden/basic/input.qd3")));
    writeBytes(b, readBytes(dataFile("golden/basic/input.qd3")));
    writeBytes(b + ".recovery", "b's recovered changes");
    std::filesystem::last_write_time(b, std::filesystem::file_time_type::clock::now() -
                                            std::chrono::minutes(5));
    dialogs.acceptModal();
    w.openPath(q(a));
    state.dataset.modified = true; // changes to a, which the user then declines to save
    dialogs.onQuestion = [&w] { w.endOnSignal(); };
    dialogs.answerQuestion(false); // the box a signal closes unanswered
    dialogs.acceptModal();
    w.openPath(q(b));
    EXPECT_EQ(readBytes(b + ".recovery"), "b's recovered changes");
    EXPECT_FALSE(std::filesystem::exists(a + ".recovery"));
    EXPECT_EQ(state.dataset.fileName, b);
}

TEST_F(MainWindowTest, UnsavedChangesAreOfferedBeforeOpenAndAtExit) {
    {
        ZemMain w(state);
        const std::string first = openCopy(w, dialogs, folder);
        w.mnudisplay_Click();
        state.dataset.events[0].name = "Changed";
        state.dataset.modified = true;
        // Cancel (Escape, the box closed) goes back before anything closes.
        dialogs.answerChoice(ui::Choice::cancel);
        w.mnuopen_Click();
        ASSERT_EQ(dialogs.shown.size(), 3u);
        EXPECT_EQ(dialogs.shown[2].kind, "choice");
        EXPECT_EQ(dialogs.shown[2].text,
                  QStringLiteral("Save changes to main.qd3 before closing?"));
        dialogs.answerChoice(ui::Choice::cancel);
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(w.peopleTimeline()->isVisible());
        EXPECT_FALSE(std::filesystem::exists(folder.file("zem.ini")));
        // Save, with its Save As cancelled or failing, keeps everything open with the changes.
        const QString nowhere = q(folder.file("no/such/folder.qd3"));
        dialogs.answerChoice(ui::Choice::yes).answerSave(std::nullopt);
        EXPECT_FALSE(w.close());
        dialogs.answerChoice(ui::Choice::yes).answerSave(nowhere);
        w.mnuopen_Click();
        dialogs.answerChoice(ui::Choice::yes).answerSave(nowhere);
        w.Command1_Click();
        ASSERT_EQ(dialogs.messages().size(), 4u); // "Saving ..." and why it failed, twice
        EXPECT_TRUE(dialogs.messages()[1].endsWith(QStringLiteral("No such file or directory")));
        EXPECT_TRUE(w.peopleTimeline()->isVisible());
        EXPECT_EQ(state.dataset.fileName, first);
        EXPECT_TRUE(state.dataset.modified);
        EXPECT_EQ(state.dataset.events[0].name, "Changed");
        // Discard: the open goes on, and the dataset opened is clean.
        dialogs.answerChoice(ui::Choice::no);
        openCopy(w, dialogs, folder, "second.qd3");
        EXPECT_EQ(state.dataset.fileName, folder.file("second.qd3"));
        EXPECT_FALSE(state.dataset.modified);
        EXPECT_EQ(readBytes(first), readBytes(dataFile("golden/basic/input.qd3")));
        // Save at exit writes the changes.
        state.dataset.events[0].name = "Changed";
        state.dataset.modified = true;
        dialogs.answerChoice(ui::Choice::yes).answerSave(q(folder.file("saved.qd3")));
        EXPECT_TRUE(w.close());
        EXPECT_TRUE(std::filesystem::exists(folder.file("zem.ini")));
    }
    ASSERT_EQ(dialogs.messages().size(), 5u); // "Saving ..."
    EXPECT_NE(readBytes(folder.file("saved.qd3")).find("Changed"), std::string::npos);
}

TEST_F(MainWindowTest, ARecoveryFileIsOfferedWhenNewer) {
    ZemMain w(state);
    const std::string path = folder.file("main.qd3");
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        writeBytes(path, readBytes(dataFile("golden/basic/input.qd3")));
        std::string recovered = readBytes(path);
        recovered.replace(recovered.find("Julius Caesar"), 13, "Recovered One");
        writeBytes(path + ".recovery", recovered);
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::minutes(5));
        dialogs.answerQuestion(yes);
        dialogs.acceptModal();
        w.openPath(q(path));
        ASSERT_GE(dialogs.shown.size(), 2u);
        EXPECT_EQ(dialogs.shown[dialogs.shown.size() - 2].kind, "question");
        EXPECT_EQ(dialogs.shown[dialogs.shown.size() - 2].title,
                  QStringLiteral("Unsaved changes found"));
        EXPECT_EQ(state.dataset.fileName, path);
        EXPECT_EQ(state.dataset.people[0].name, yes ? "Recovered One" : "Julius Caesar");
        EXPECT_EQ(state.dataset.modified, yes);
        EXPECT_EQ(std::filesystem::exists(path + ".recovery"), yes);
        if (yes) {
            // Once saved, the changes are in the file and the recovery file goes.
            dialogs.answerSave(q(path));
            w.mnusave_Click();
            EXPECT_EQ(dialogs.messages().size(), 1u);
            EXPECT_FALSE(std::filesystem::exists(path + ".recovery"));
            EXPECT_NE(readBytes(path).find("Recovered One"), std::string::npos);
        }
    }
    // A damaged copy says why, the dataset's own file opens, and the copy goes if the user
    // says so.
    writeBytes(path + ".recovery", "not a dataset");
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                               std::chrono::minutes(5));
    dialogs.answerQuestion(true).answerQuestion(true).acceptModal();
    w.openPath(q(path));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_TRUE(dialogs.messages()[1].startsWith(QStringLiteral("The recovery copy ") +
                                                 q(path + ".recovery") +
                                                 QStringLiteral(" could not be read: ")));
    EXPECT_EQ(state.dataset.people[0].name, "Julius Caesar");
    EXPECT_FALSE(state.dataset.modified);
    EXPECT_FALSE(std::filesystem::exists(path + ".recovery"));
}

TEST_F(MainWindowTest, TheHiddenConvertButtonConvertsAnOlderFile) {
    ZemMain w(state);
    w.show();
    auto* shortcut = w.findChild<QShortcut*>();
    ASSERT_NE(shortcut, nullptr);
    EXPECT_EQ(shortcut->key(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    emit shortcut->activated();
    EXPECT_TRUE(w.Command1->isVisible());

    const std::string older = folder.file("rome.qd2");
    writeBytes(older, readBytes(dataFile("legacy/rome.qd2")));
    dialogs.answerOpen(q(older));
    dialogs.acceptModal(); // the statistics window
    w.Command1->click();
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Convert files |*.qd2"));
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Conversion complete")});
    EXPECT_EQ(state.dataset.fileName, folder.file("rome.qd3"));
    EXPECT_EQ(state.dataset.numPeople, 2);
    EXPECT_FALSE(state.dataset.modified);
    EXPECT_TRUE(w.mnusave->isEnabled());

    // A dataset of the copy's name is replaced only when the user says so.
    writeBytes(folder.file("rome.qd3"), "mine");
    dialogs.answerOpen(q(older)).answerQuestion(false);
    w.Command1->click();
    EXPECT_EQ(dialogs.shown.back().title, QStringLiteral("Convert"));
    EXPECT_EQ(readBytes(folder.file("rome.qd3")), "mine");
    dialogs.answerOpen(q(older)).answerQuestion(true).acceptModal();
    w.Command1->click();
    EXPECT_EQ(readBytes(folder.file("rome.qd3")), readBytes(state.dataset.fileName));
    EXPECT_EQ(dialogs.messages().size(), 2u);

    // A failure says why, and nothing is said to be complete.
    writeBytes(folder.file("short.qd2"), readBytes(dataFile("broken/qd2/cut_in_person.qd2")));
    dialogs.answerOpen(q(folder.file("short.qd2")));
    w.Command1->click();
    ASSERT_EQ(dialogs.messages().size(), 3u);
    EXPECT_TRUE(dialogs.messages().back().startsWith(QStringLiteral("Unexpected end of file")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("short.qd3")));
    EXPECT_EQ(state.dataset.numPeople, 2);
    emit shortcut->activated();
    EXPECT_FALSE(w.Command1->isVisible());
}

// The program ended by a signal while it holds unsaved changes: a real child process (this
// test binary again, running the test below) gets SIGTERM.
TEST(Termination, UnsavedChangesGoToARecoveryFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "program");
    std::filesystem::create_directory(dir.path() / "data");
    const std::string program = (dir.path() / "program").string();
    const std::string dataset = (dir.path() / "data" / "main.qd3").string();
    const std::string original = readBytes(dataFile("golden/basic/input.qd3"));
    for (const bool folderGone : {false, true}) {
        SCOPED_TRACE(folderGone);
        writeBytes(dataset, original);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSALINE_TEST_CHILD_DATASET"), q(dataset));
        env.insert(QStringLiteral("TESSALINE_TEST_CHILD_PROGRAM"), q(program));
        env.insert(QStringLiteral("TESSALINE_TEST_CHILD_REMOVE_FOLDER"),
                   folderGone ? QStringLiteral("1") : QString());
        child.setProcessEnvironment(env);
        // Earlier tests may have left the current folder in a temporary folder since removed.
        child.setWorkingDirectory(q(program));
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=Termination.ChildProcess")});
        ASSERT_TRUE(child.waitForStarted());
        QByteArray out;
        while (!out.contains("child ready\n") && child.waitForReadyRead(20000))
            out += child.readAllStandardOutput();
        ASSERT_TRUE(out.contains("child ready\n"))
            << out.toStdString() << child.readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(child.processId()), SIGTERM);
        ASSERT_TRUE(child.waitForFinished(20000));
        const std::string err = child.readAllStandardError().toStdString();
        const std::string expected =
            folderGone ? recoveryPathIn(program, dataset) : dataset + ".recovery";
        EXPECT_NE(err.find("unsaved changes were written to " + expected), std::string::npos)
            << err;
        ASSERT_TRUE(std::filesystem::exists(expected));
        Dataset back;
        readDataset(back, expected);
        EXPECT_EQ(back.people[0].name, "Changed before the signal");
        if (!folderGone) {
            EXPECT_EQ(readBytes(dataset), original);
        }
        std::filesystem::remove(expected);
    }
}

TEST(Termination, ChildProcess) {
    const QByteArray dataset = qgetenv("TESSALINE_TEST_CHILD_DATASET");
    if (dataset.isEmpty())
        GTEST_SKIP() << "run by Termination.UnsavedChangesGoToARecoveryFile";
    ui::QtDialogs dialogs;
    AppState state(dialogs, qgetenv("TESSALINE_TEST_CHILD_PROGRAM").toStdString());
    ZemMain w(state);
    dialogs.setParent(&w);
    endOnTerminationSignals(w, dialogs);
    readDataset(state.dataset, dataset.toStdString());
    state.dataset.fileName = dataset.toStdString();
    state.dataset.people[0].name = "Changed before the signal";
    state.dataset.modified = true;
    if (!qgetenv("TESSALINE_TEST_CHILD_REMOVE_FOLDER").isEmpty())
        std::filesystem::remove_all(std::filesystem::path(dataset.toStdString()).parent_path());
    w.show();
    std::cout << "child ready" << std::endl;
    QApplication::exec();
}

namespace {
// Lets the event loop run until the file is there, or a few seconds have gone.
bool appears(const std::string& path) {
    for (int i = 0; i < 500 && !std::filesystem::exists(path); ++i)
        QTest::qWait(10);
    return std::filesystem::exists(path);
}
} // namespace

TEST_F(MainWindowTest, UnsavedChangesAreCopiedPeriodicallyUntilSavedOrLeft) {
    state.recoveryIntervalMs = 20;
    ZemMain w(state);
    const std::string path = openCopy(w, dialogs, folder);
    const std::string recovery = path + ".recovery";
    // Nothing unsaved, nothing written.
    QTest::qWait(100);
    EXPECT_FALSE(std::filesystem::exists(recovery));

    Dataset& ds = state.dataset;
    {
        EntryWindow e(state, Side::people);
        dialogs.answerQuestion(true);
        e.cmdDelete->click();
    }
    ASSERT_TRUE(appears(recovery));
    w.recoveryWriter().wait();
    Dataset back;
    readDataset(back, recovery);
    EXPECT_EQ(back.numPeople, ds.numPeople);
    EXPECT_EQ(back.people[0].name, ds.people[0].name);

    // A successful save removes it; so does leaving, changes saved or not (and undone ones).
    dialogs.answerSave(q(path));
    w.mnusave_Click();
    EXPECT_FALSE(std::filesystem::exists(recovery));
    state.history.undo();
    ASSERT_TRUE(appears(recovery));
    // Redone, the dataset is as saved: the copy of the undone state goes at once.
    state.history.redo();
    EXPECT_FALSE(ds.modified);
    EXPECT_FALSE(std::filesystem::exists(recovery));
    state.history.undo();
    ASSERT_TRUE(appears(recovery));
    dialogs.answerChoice(ui::Choice::no); // the changes given up at exit
    w.close();
    EXPECT_FALSE(std::filesystem::exists(recovery));
    (void)dialogs.messages();
}

TEST(Recovery, AProgramKilledAfterAnEditOffersItAtTheNextStart) {
    TempDir dir;
    const std::string dataset = dir.file("main.qd3");
    writeBytes(dataset, readBytes(dataFile("golden/basic/input.qd3")));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TESSALINE_TEST_KILLED_DATASET"), q(dataset));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(q(dir.path().string()));
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=Recovery.KilledChildProcess")});
    ASSERT_TRUE(child.waitForStarted());
    // The child edits and goes on working; its periodic copy appears, and it is killed.
    const std::string recovery = dataset + ".recovery";
    for (int i = 0; i < 200 && !std::filesystem::exists(recovery); ++i)
        child.waitForFinished(100);
    ASSERT_TRUE(std::filesystem::exists(recovery)) << child.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(20000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    // Started again on the dataset: the edit is offered, and taken back.
    ScriptedDialogs dialogs;
    AppState state(dialogs, dir.path().string());
    ZemMain w(state);
    dialogs.answerQuestion(true);
    dialogs.acceptModal(); // the statistics window
    w.openPath(q(dataset));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Unsaved changes found"));
    EXPECT_EQ(state.dataset.people[0].name, "Edited before the kill");
    EXPECT_TRUE(state.dataset.modified);
}

TEST(Recovery, KilledChildProcess) {
    const QByteArray dataset = qgetenv("TESSALINE_TEST_KILLED_DATASET");
    if (dataset.isEmpty())
        GTEST_SKIP() << "run by Recovery.AProgramKilledAfterAnEditOffersItAtTheNextStart";
    ui::QtDialogs dialogs;
    AppState state(dialogs, QDir::currentPath().toStdString());
    state.recoveryIntervalMs = 50;
    ZemMain w(state);
    dialogs.setParent(&w);
    readDataset(state.dataset, dataset.toStdString());
    state.dataset.fileName = dataset.toStdString();
    state.dataset.people[0].name = "Edited before the kill";
    state.dataset.modified = true;
    w.show();
    QApplication::exec();
}

TEST(Recovery, AFailedPeriodicCopyIsOneLineOnStandardError) {
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
