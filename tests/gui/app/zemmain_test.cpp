#include "app/termination.h"
#include "app/zemmain.h"
#include "core/qd3_file.h"
#include "entry/entry_window.h"
#include "ui/geometry.h"
#include "ui/qt_dialogs.h"

#include "support/gui_test.h"

namespace {

void trigger(ZemMain& w, const char* action) {
    child<QAction>(w, action)->trigger();
}

// A program folder of its own for each test, with a title picture.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : state(dialogs, folder.path().string()) {
        QImage title(64, 48, QImage::Format_RGB32);
        title.fill(Qt::darkBlue);
        title.save(q(folder.file("title.bmp")), "BMP");
    }
    // Files > Open on a copy of the three-person sample.
    std::string open(ZemMain& w, const std::string& name = "main.qd3") {
        const std::string path = folder.file(name);
        writeBytes(path, readBytes(dataFile("golden/basic/input.qd3")));
        dialogs.answerOpen(q(path)).acceptModal(); // and the statistics window
        trigger(w, "mnuopen");
        return path;
    }
    ChartView* chart(const char* window) {
        auto* t = topLevel<TimelineWindow>(window);
        return t ? child<ChartView>(*t, "rtbox1") : nullptr;
    }

    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
};

const char* const dataActions[] = {"mnupeople",  "mnuevents", "mnudisplay",
                                   "mnureports", "mnusave",   "mnuGroupings",
                                   "mnumerge",   "mnusplit",  "mnuexport"};

bool enabled(ZemMain& w, const char* name) {
    if (auto* menu = w.findChild<QMenu*>(QString::fromLatin1(name)))
        return menu->menuAction()->isEnabled();
    return child<QAction>(w, name)->isEnabled();
}

} // namespace

TEST_F(MainWindowTest, MenusWaitForADatasetAndReachTheirWindows) {
    ZemMain w(state);
    w.show();
    EXPECT_FALSE(child<QLabel>(w, "Image1")->pixmap().isNull());
    for (const char* name : dataActions)
        EXPECT_FALSE(enabled(w, name)) << name;
    EXPECT_TRUE(child<QLabel>(w, "Label4")->isHidden());
    // Help without a help file says nothing; Setup asks for a printer.
    trigger(w, "mnuHelp");
    dialogs.answerPrinterSetup(false);
    trigger(w, "mnuSetup");
    EXPECT_EQ(dialogs.shown.back().kind, "printer");
    trigger(w, "mnuabout");
    dialogs.acceptModal(); // New dataset, and its statistics
    trigger(w, "mnunew");
    EXPECT_TRUE(enabled(w, "mnudisplay"));
    EXPECT_TRUE(child<QLabel>(w, "Label2")->isVisible());
    EXPECT_EQ(child<QLabel>(w, "Label4")->text(), QStringLiteral("Version 3.01"));

    const std::string opened = open(w);
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("curStats"));
    // The dataset heads the recent files, named in the menu with its path in the tooltip.
    const QAction* recent = child<QAction>(w, "mnurecent1");
    EXPECT_TRUE(recent->isVisible() && !child<QAction>(w, "mnurecent2")->isVisible());
    EXPECT_EQ(recent->text() + u'|' + recent->toolTip() + u'|' + recent->shortcut().toString(),
              QStringLiteral("&1 main.qd3|") + q(opened) + QStringLiteral("|Alt+1"));
    for (const char* name : dataActions)
        EXPECT_TRUE(enabled(w, name)) << name;
    // The Groupings report entries do nothing; Split says it is not there yet.
    const size_t before = dialogs.shown.size();
    for (QAction* a : child<QMenu>(w, "mnuRptGroupings")->actions())
        a->trigger();
    EXPECT_EQ(dialogs.shown.size(), before);
    trigger(w, "mnusplit");
    EXPECT_EQ(dialogs.messages(),
              std::vector<QString>{QStringLiteral("STUB: get split filename & categories")});

    trigger(w, "mnudisplay");
    EXPECT_EQ(chart("Ptime")->lineCount(), 3);
    EXPECT_EQ(chart("Etime")->lineCount(), 2);
    // With no places saved, the people stand above the events.
    EXPECT_LT(topLevel<TimelineWindow>("Ptime")->y() + 100, topLevel<TimelineWindow>("Etime")->y());
    // People and Events open their entry windows modally; a chart click opens one modeless.
    dialogs.acceptModal().acceptModal();
    trigger(w, "mnupeople");
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("PEntry"));
    trigger(w, "mnuevents");
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("eEntry"));
    emit topLevel<TimelineWindow>("Etime")->entryRequested(Side::events);
    EXPECT_NE(topLevel<EntryWindow>("eEntry"), nullptr);
    // Reports reach their windows.
    dialogs.acceptModal().acceptModal().acceptModal().acceptModal();
    for (const char* name : {"mnuRptPeople", "mnuAgeReport", "munLife", "mnuGroupings"})
        trigger(w, name);
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("editgrp"));

    // The hidden Convert button comes and goes with Ctrl+Shift+K and reaches the converter.
    auto* shortcut = w.findChild<QShortcut*>();
    emit shortcut->activated();
    EXPECT_TRUE(child<QPushButton>(w, "Command1")->isVisible());
    dialogs.answerOpen(std::nullopt);
    child<QPushButton>(w, "Command1")->click();
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Convert files |*.qd2"));
    emit shortcut->activated();
    EXPECT_FALSE(child<QPushButton>(w, "Command1")->isVisible());

    // Opening another file closes the charts and their entry windows first, even when its
    // dialog is cancelled.
    dialogs.answerOpen(std::nullopt);
    trigger(w, "mnuopen");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(chart("Ptime"), nullptr);
    EXPECT_EQ(topLevel<EntryWindow>("eEntry"), nullptr);
}

TEST_F(MainWindowTest, ChangesReachTheChartsAndCancelAtExitKeepsEverything) {
    ZemMain w(state);
    const std::string path = open(w);
    // Merging the file into itself, with the charts and an entry window a chart opened: they
    // show the merged entries at once.
    trigger(w, "mnudisplay");
    w.showEntryWindow(Side::events);
    dialogs.answerOpen(q(path)).acceptModal();
    trigger(w, "mnumerge");
    EXPECT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(chart("Ptime")->lineCount(), 6);
    EXPECT_EQ(child<QComboBox>(*topLevel<EntryWindow>("eEntry"), "Combo1")->count(), 4);

    // A delete in an entry window is drawn at once, and the marked entry keeps its mark.
    ChartView* people = chart("Ptime");
    people->setCurrentLine(5);
    const std::string marked = people->lines()[5].text();
    state.dataset.curPerson = 0;
    dialogs.answerModal([&](QDialog& d) {
        dialogs.answerQuestion(true);
        child<QPushButton>(d, "cmdDelete")->click();
        return QDialog::Accepted;
    });
    trigger(w, "mnupeople");
    ASSERT_EQ(people->lineCount(), 5);
    EXPECT_EQ(people->currentLine(), 4);
    EXPECT_EQ(people->lines()[4].text(), marked);

    // Cancel at exit goes back before anything closes: the charts and no settings written.
    dialogs.answerChoice(ui::Choice::cancel);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(topLevel<TimelineWindow>("Ptime")->isVisible());
    EXPECT_FALSE(std::filesystem::exists(folder.file("zem.ini")));
    dialogs.answerSave(q(path));
    trigger(w, "mnusave");
    EXPECT_FALSE(state.dataset.modified);
    // An edit pending in that entry window is stored before the question, which it then needs.
    child<QPlainTextEdit>(*topLevel<EntryWindow>("eEntry"), "desc")
        ->setPlainText(QStringLiteral("x"));
    dialogs.answerChoice(ui::Choice::no);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(std::filesystem::exists(folder.file("zem.ini")));
    EXPECT_EQ(dialogs.messages().size(), 3u);
    // The entry windows a chart opened go with the main window that opened them.
    { ZemMain(state).showEntryWindow(Side::people); }
    EXPECT_EQ(topLevel<EntryWindow>("PEntry"), nullptr);
}

TEST_F(MainWindowTest, PictureFollowsTheWindowSizeExceptWhenTooSmall) {
    ZemMain w(state);
    w.show();
    const QLabel* picture = child<QLabel>(w, "Image1");
    const double dpi = ui::logicalDpi(&w);
    w.resize(ui::twipsToPixels(12000, dpi), ui::twipsToPixels(9000, dpi));
    EXPECT_EQ(picture->width(), ui::twipsToPixels(ui::outerRectTwips(w).width() - 60, dpi));
    // At 650 twips high or below (a minimised window), the picture stays as it is.
    const QSize before = picture->size();
    w.fitPicture(QRect(0, 0, 12000, 650));
    EXPECT_EQ(picture->size(), before);
    w.fitPicture(QRect(0, 0, 1500, 651 + 1440));
    EXPECT_EQ(picture->height(), ui::twipsToPixels(1441, dpi));
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
        open(w);
        trigger(w, "mnudisplay");
        w.close();
    }
    EXPECT_EQ(readBytes(folder.file("zem.ini")), formatSettings(asRead));
    dialogs.shown.clear();

    // A setting changed while the program ran is written at exit, and nothing is asked.
    {
        ZemMain w(state);
        open(w);
        state.settings.eventsBackColor = 12345;
        w.show();
        trigger(w, "mnuExit");
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_EQ(readSettings(folder.file("zem.ini")).eventsBackColor, 12345);
    EXPECT_EQ(dialogs.shown.size(), 2u); // the Open dialog and the statistics only
}

// The program ended by a signal while it holds unsaved changes: a real child process (this
// test binary again, running the test below) gets SIGTERM.
TEST(Termination, UnsavedChangesGoToARecoveryFile) {
    TempDir dir;
    const std::string dataset = dir.file("main.qd3");
    const std::string original = readBytes(dataFile("golden/basic/input.qd3"));
    writeBytes(dataset, original);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TESSALINE_TEST_CHILD_DATASET"), q(dataset));
    child.setProcessEnvironment(env);
    // Earlier tests may have left the current folder in a temporary folder since removed.
    child.setWorkingDirectory(q(dir.path().string()));
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=Termination.ChildProcess")});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray out;
    while (!out.contains("child ready\n") && child.waitForReadyRead(20000))
        out += child.readAllStandardOutput();
    ASSERT_TRUE(out.contains("child ready\n")) << child.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(child.processId()), SIGTERM);
    ASSERT_TRUE(child.waitForFinished(20000));
    const std::string err = child.readAllStandardError().toStdString();
    EXPECT_NE(err.find("unsaved changes were written to " + dataset + ".recovery"),
              std::string::npos)
        << err;
    Dataset back;
    readDataset(back, dataset + ".recovery");
    EXPECT_EQ(back.people[0].name, "Changed before the signal");
    EXPECT_EQ(readBytes(dataset), original);
}

TEST(Termination, ChildProcess) {
    const QByteArray dataset = qgetenv("TESSALINE_TEST_CHILD_DATASET");
    if (dataset.isEmpty())
        GTEST_SKIP() << "run by Termination.UnsavedChangesGoToARecoveryFile";
    ui::QtDialogs dialogs;
    AppState state(dialogs, QDir::currentPath().toStdString());
    ZemMain w(state);
    dialogs.setParent(&w);
    endOnTerminationSignals(w, dialogs);
    readDataset(state.dataset, dataset.toStdString());
    state.dataset.fileName = dataset.toStdString();
    state.dataset.people[0].name = "Changed before the signal";
    state.dataset.modified = true;
    w.show();
    std::cout << "child ready" << std::endl;
    QApplication::exec();
}
