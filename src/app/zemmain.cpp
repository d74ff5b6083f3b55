#include "app/zemmain.h"

#include "app/help_viewer.h"
#include "categories/category_windows.h"
#include "core/dataset_change.h"
#include "core/file_error.h"
#include "core/legacy_file.h"
#include "core/merge.h"
#include "core/qd3_file.h"
#include "core/save_command.h"
#include "core/text_encoding.h"
#include "reports/report_windows.h"
#include "timeline/chart.h"
#include "timeline/selection.h"
#include "timeline/stats_window.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"
#include "ui/picture.h"
#include "ui/text_codec.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QTimer>

#include <filesystem>
#include <iostream>
#include <new>

namespace tess {

namespace {
// The first size of the window, in twips, before the user resizes it.
constexpr int initialWidthTwips = 9600;
constexpr int initialHeightTwips = 7400;

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The save command's questions, asked through the program's dialogs.
class DialogSavePrompts : public SavePrompts {
public:
    DialogSavePrompts(ui::Dialogs& dialogs, const std::string& datasetPath)
        : dialogs_(dialogs), datasetFolder_(QFileInfo(fromPath(datasetPath)).absolutePath()) {}
    bool saveSelectedOnly() override {
        return dialogs_.question(QStringLiteral("Save only selected items to new file?"),
                                 QStringLiteral("Dataset selected"));
    }
    std::optional<std::string> saveAs(const std::string& proposedName) override {
        QString proposed = fromPath(proposedName);
        // A bare name is offered in the dataset's own folder.
        if (!proposed.isEmpty() && !proposed.contains(QLatin1Char('/')) &&
            !datasetFolder_.isEmpty())
            proposed = datasetFolder_ + QLatin1Char('/') + proposed;
        const std::optional<QString> chosen = dialogs_.saveFile(
            QStringLiteral("Data files | *.qd3"), QStringLiteral(".Qd3"), proposed);
        if (!chosen)
            return std::nullopt;
        return toPath(*chosen);
    }
    void tell(const std::string& message) override { dialogs_.message(QString::fromUtf8(message)); }

private:
    ui::Dialogs& dialogs_;
    QString datasetFolder_;
};

} // namespace

ZemMain::ZemMain(AppState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setObjectName(QStringLiteral("zemmain"));
    setWindowTitle(QStringLiteral("Varelta : Tessaline"));

    auto* central = new QWidget(this);
    setCentralWidget(central);
    Image1 = new QLabel(central);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->move(0, 0);

    Command1 = new QPushButton(QStringLiteral("Convert"), central);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("normally not available"));
    Command1->hide();
    Command1->move(8, 8);
    auto* convertShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K), this);
    connect(convertShortcut, &QShortcut::activated, this, &ZemMain::toggleConvertButton);
    connect(Command1, &QPushButton::clicked, this, &ZemMain::Command1_Click);

    auto makeLabel = [central](const char* name, const QString& text) {
        auto* label = new QLabel(text, central);
        label->setObjectName(QString::fromLatin1(name));
        label->setAutoFillBackground(true);
        label->setMargin(4);
        return label;
    };
    Label2 =
        makeLabel("Label2", QStringLiteral("Written by the Tessaline team, with thanks to every "
                                           "historian whose work fills its timelines."));
    Label3 =
        makeLabel("Label3", QStringLiteral("Copyright \u00A9 2026 Varelta. All rights reserved."));
    Label4 = makeLabel("Label4", QStringLiteral("version"));

    buildMenus();
    const double dpi = ui::logicalDpi(this);
    resize(ui::twipsToPixels(initialWidthTwips, dpi), ui::twipsToPixels(initialHeightTwips, dpi));
    Form_Load();
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setInterval(state_.recoveryIntervalMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &ZemMain::writePeriodicRecovery);
    recoveryTimer_->start();
}

void ZemMain::writePeriodicRecovery() {
    const Dataset& ds = state_.dataset;
    if (!ds.modified) {
        dropRecoveryCopies(ds.fileName, true);
        return;
    }
    if (recovery_.busy())
        return;
    // The text is made here, from the dataset as it is (some milliseconds for the largest);
    // only the writing goes to the other thread.
    periodicCopyMade_ =
        recovery_.start(ds.fileName, recoveryText(ds), state_.programFolder) || periodicCopyMade_;
}

void ZemMain::dropRecoveryCopies(const std::string& datasetPath, bool onlyOurs) {
    recovery_.wait();
    // A recovery file this session did not write (one left by a program that was killed)
    // stays until it is offered.
    if (onlyOurs && !periodicCopyMade_)
        return;
    periodicCopyMade_ = false;
    if (!datasetPath.empty())
        removeRecoveryCopies(datasetPath, state_.programFolder);
}

ZemMain::~ZemMain() {
    if (helpViewer_)
        helpViewer_->close();
    // The charts have no parent; one closed but not yet deleted (its deletion waits for the
    // event loop) goes with the window that made it.
    delete ptime_.data();
    delete etime_.data();
}

QAction* ZemMain::addAction(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* ZemMain::addBarAction(const char* name, const QString& caption) {
    QAction* action = menuBar()->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void ZemMain::buildMenus() {
    mnufile = menuBar()->addMenu(QStringLiteral("&Files"));
    mnufile->setObjectName(QStringLiteral("mnufile"));
    mnuopen = addAction(mnufile, "mnuopen", QStringLiteral("&Open"));
    mnuopen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnusave = addAction(mnufile, "mnusave", QStringLiteral("&Save"));
    mnusave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnumerge = addAction(mnufile, "mnumerge", QStringLiteral("&Merge datasets"));
    mnusplit = addAction(mnufile, "mnusplit", QStringLiteral("S&plit dataset"));
    mnuabout = addAction(mnufile, "mnuabout", QStringLiteral("&About"));
    mnuExit = addAction(mnufile, "mnuExit", QStringLiteral("E&xit"));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    // Alt+E stays with Events.
    mnuedit = menuBar()->addMenu(QStringLiteral("E&dit"));
    mnuedit->setObjectName(QStringLiteral("mnuedit"));
    mnuUndo = addAction(mnuedit, "mnuUndo", QStringLiteral("&Undo"));
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo = addAction(mnuedit, "mnuRedo", QStringLiteral("&Redo"));
    mnuRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    mnuedit->addSeparator();
    mnuFind = addAction(mnuedit, "mnuFind", QStringLiteral("&Find..."));
    mnuFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    // They work from the charts and the entry windows too (a text box keeps its own Ctrl+Z).
    for (QAction* a : {mnuUndo, mnuRedo, mnuFind})
        a->setShortcutContext(Qt::ApplicationShortcut);
    QUndoStack& stack = state_.history.stack();
    auto caption = [](const QString& verb, QString change) {
        // A name's "&" is shown as itself, not taken for a keyboard mnemonic.
        return change.isEmpty() ? verb
                                : verb + QLatin1Char(' ') +
                                      change.replace(QLatin1Char('&'), QStringLiteral("&&"));
    };
    mnuUndo->setEnabled(false);
    mnuRedo->setEnabled(false);
    connect(&stack, &QUndoStack::canUndoChanged, mnuUndo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, mnuRedo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, this, [this, caption](const QString& text) {
        mnuUndo->setText(caption(QStringLiteral("&Undo"), text));
    });
    connect(&stack, &QUndoStack::redoTextChanged, this, [this, caption](const QString& text) {
        mnuRedo->setText(caption(QStringLiteral("&Redo"), text));
    });
    connect(&state_.history, &EditHistory::datasetChanged, this, &ZemMain::showChangedDataset);

    mnupeople = addBarAction("mnupeople", QStringLiteral("&People"));
    mnuevents = addBarAction("mnuevents", QStringLiteral("&Events"));
    mnudisplay = addBarAction("mnudisplay", QStringLiteral("&Timeline"));

    mnureports = menuBar()->addMenu(QStringLiteral("&Reports"));
    mnureports->setObjectName(QStringLiteral("mnureports"));
    mnuRptPeople = addAction(mnureports, "mnuRptPeople", QStringLiteral("People and Events"));
    mnuAgeReport = addAction(mnureports, "mnuAgeReport", QStringLiteral("Age"));
    munLife = addAction(mnureports, "munLife", QStringLiteral("In my life..."));
    mnuRptGroupings = mnureports->addMenu(QStringLiteral("Groupings"));
    mnuRptGroupings->setObjectName(QStringLiteral("mnuRptGroupings"));
    mnuListFactions = addAction(mnuRptGroupings, "mnuListFactions", QStringLiteral("Factions"));
    mnuListOcc = addAction(mnuRptGroupings, "mnuListOcc", QStringLiteral("Occupations"));
    mnuListGroups = addAction(mnuRptGroupings, "mnuListGroups", QStringLiteral("Groups"));
    mnuListNations = addAction(mnuRptGroupings, "mnuListNations", QStringLiteral("Nations"));
    mnuSetup = addAction(mnureports, "mnuSetup", QStringLiteral("Setup"));

    mnuGroupings = addBarAction("mnuGroupings", QStringLiteral("&Groupings"));
    mnuHelp = addBarAction("mnuHelp", QStringLiteral("&Help"));

    // Data commands wait for a dataset.
    for (QAction* a : {mnusave, mnumerge, mnusplit, mnupeople, mnuevents, mnudisplay,
                       mnureports->menuAction(), mnuGroupings, mnuFind})
        a->setEnabled(false);
    connect(mnuUndo, &QAction::triggered, this, &ZemMain::mnuUndo_Click);
    connect(mnuRedo, &QAction::triggered, this, &ZemMain::mnuRedo_Click);
    connect(mnuFind, &QAction::triggered, this, &ZemMain::mnuFind_Click);

    connect(mnuopen, &QAction::triggered, this, &ZemMain::mnuopen_Click);
    connect(mnusave, &QAction::triggered, this, &ZemMain::mnusave_Click);
    connect(mnumerge, &QAction::triggered, this, &ZemMain::mnumerge_Click);
    connect(mnusplit, &QAction::triggered, this, &ZemMain::mnusplit_Click);
    connect(mnuabout, &QAction::triggered, this, &ZemMain::mnuabout_Click);
    connect(mnuExit, &QAction::triggered, this, &ZemMain::mnuExit_Click);
    connect(mnuSetup, &QAction::triggered, this, &ZemMain::mnuSetup_Click);
    connect(mnuHelp, &QAction::triggered, this, &ZemMain::mnuHelp_Click);
    connect(mnudisplay, &QAction::triggered, this, &ZemMain::mnudisplay_Click);
    connect(mnupeople, &QAction::triggered, this, &ZemMain::mnupeople_Click);
    connect(mnuevents, &QAction::triggered, this, &ZemMain::mnuevents_Click);
    connect(mnuRptPeople, &QAction::triggered, this, &ZemMain::mnuRptPeople_Click);
    connect(mnuAgeReport, &QAction::triggered, this, &ZemMain::mnuAgeReport_Click);
    connect(munLife, &QAction::triggered, this, &ZemMain::munLife_Click);
    connect(mnuGroupings, &QAction::triggered, this, &ZemMain::mnuGroupings_Click);
    for (QAction* a : {mnuListFactions, mnuListOcc, mnuListGroups, mnuListNations})
        connect(a, &QAction::triggered, this, &ZemMain::mnuListGroupings_Click);
}

void ZemMain::Form_Load() {
    ui::centerForm(*this);
    Label2->hide();
    Label3->hide();
    Label4->hide();
    // The program's own folder becomes current, so that pictures named in a dataset are found.
    QDir::setCurrent(QFile::decodeName(QByteArray::fromStdString(state_.programFolder)));
    state_.settings = readSettings(state_.programFile(settingsFileName));
    // The timeline rectangles are brought onto the screens when a timeline opens; until then
    // they stay as read, so that a start at another scale writes them back unchanged.
    state_.dataset.earliestDate = initialEarliestDate;
    state_.dataset.latestDate = initialLatestDate;
    const QPixmap title = ui::loadPicture(state_.programFile("title.bmp"));
    if (!title.isNull())
        Image1->setPixmap(title);
    mnumerge->setEnabled(false);
    mnusplit->setEnabled(false);
    Form_Resize();
}

void ZemMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void ZemMain::Form_Resize() {
    fitPicture(ui::outerRectTwips(*this));
}

void ZemMain::fitPicture(const QRect& outer) {
    const double dpi = ui::logicalDpi(this);
    if (outer.height() <= 650 || outer.width() <= 60)
        return;
    Image1->hide();
    Image1->resize(ui::twipsToPixels(outer.width() - 60, dpi),
                   ui::twipsToPixels(outer.height() - 650, dpi));
    Image1->show();
    // The credits sit at the foot of the picture.
    const int margin = 8;
    int y = Image1->height() - margin;
    for (QLabel* label : {Label4, Label3, Label2}) {
        label->adjustSize();
        y -= label->height();
        label->move(margin, y);
    }
}

void ZemMain::mnuabout_Click() {
    Label3->show();
    Label2->show();
    Label4->setText(QStringLiteral("Version ") + QStringLiteral("3.01"));
    Label4->show();
    Form_Resize();
}

void ZemMain::mnuExit_Click() {
    close();
}

void ZemMain::mnuSetup_Click() {
    state_.dialogs.printerSetup();
}

void ZemMain::mnuHelp_Click() {
    // A missing or unreadable help file is passed over in silence.
    if (helpViewer_) {
        helpViewer_->showMaximized();
        helpViewer_->raise();
        helpViewer_->activateWindow();
        return;
    }
    helpViewer_ = HelpViewer::open(
        QFile::decodeName(QByteArray::fromStdString(state_.programFile("zem2help.TXT"))));
    if (!helpViewer_)
        return;
    helpViewer_->showMaximized();
    helpViewer_->activateWindow();
}

void ZemMain::mnuopen_Click() {
    // Changes are offered even when the last read failed part-way and the dataset never
    // counted as loaded: they are the user's work all the same.
    if (!offerUnsavedChanges())
        return;
    // Charts of a dataset that is about to be replaced go, also when the last read failed
    // part-way (and so never counted as loaded) but its partial charts were opened.
    closeTimelines();
    const std::optional<QString> path =
        state_.dialogs.openFile(QStringLiteral("Data files: | *.qd3"));
    if (!path)
        return;
    openPath(*path);
}

bool ZemMain::offerUnsavedChanges() {
    storePendingEntries();
    Dataset& ds = state_.dataset;
    if (!ds.modified)
        return true;
    QString name = QFileInfo(fromPath(ds.fileName)).fileName();
    name = name.isEmpty() ? QStringLiteral("untitled")
                          : QString::fromStdString(captionName(toPath(name), TextEncoding::utf8));
    switch (state_.dialogs.choose(QStringLiteral("Save changes to ") + name +
                                      QStringLiteral(" before closing?"),
                                  ui::ChoiceButtons::saveDiscardCancel)) {
    case ui::Choice::yes:
        // Only the whole dataset on disk lets it go: a cancelled or failed Save As, or only
        // the selected entries written, keeps everything open with the changes.
        runSaveCommand();
        return !ds.modified;
    case ui::Choice::no:
        return true;
    case ui::Choice::cancel:
        break;
    }
    return false;
}

void ZemMain::openPath(const QString& path) {
    closeTimelines();
    Dataset& ds = state_.dataset;
    // Unsaved changes of the dataset in memory were offered for saving and declined: from here
    // on they are not the user's work to keep, and a signal now must not write them as the
    // recovered changes of the file being opened. Their periodic copy goes too (also one of
    // changes since undone).
    dropRecoveryCopies(ds.fileName, true);
    ds.modified = false;
    const std::string file = toPath(path);
    std::string source = file;
    bool recovering = false;
    const RecoveryCopies copies = newerRecoveryCopies(file, state_.programFolder);
    for (const std::string& refused : copies.refused)
        state_.dialogs.message(fromPath(refused));
    if (const std::optional<std::string>& recovery = copies.offered) {
        recovering = state_.dialogs.question(
            QStringLiteral("Changes to \"") + path +
                QStringLiteral("\" were not saved when Tessaline was last ended, and were kept "
                               "in\r\n") +
                fromPath(*recovery) +
                QStringLiteral("\r\n\r\nOpen the dataset with those changes? (No deletes "
                               "them.)"),
            QStringLiteral("Unsaved changes found"));
        if (recovering)
            source = *recovery;
        else if (!endedBySignal_) // a box closed by a signal was not answered No
            QFile::remove(fromPath(*recovery));
    }
    ds.fileName = file;
    if (recovering) {
        try {
            readDataset(ds, source);
        } catch (const FileError& e) {
            // A damaged copy holds no changes worth more than the dataset's own file, which is
            // opened instead; the copy is the user's to keep or drop.
            recovering = false;
            state_.dialogs.message(QStringLiteral("The recovery copy ") + fromPath(source) +
                                   QStringLiteral(" could not be read: ") +
                                   QString::fromUtf8(e.what()));
            if (state_.dialogs.question(QStringLiteral("Delete the damaged recovery copy ") +
                                            fromPath(source) + QStringLiteral("?"),
                                        QStringLiteral("Unsaved changes found")))
                QFile::remove(fromPath(source));
            source = file;
        }
    }
    try {
        if (!recovering)
            readDataset(ds, source);
        // Recovered changes are still to be saved to the dataset's own file; their recovery
        // file is this session's copy of them from now on, kept until they are saved or given
        // up.
        ds.modified = recovering;
        periodicCopyMade_ = recovering;
    } catch (const FileError& e) {
        state_.dialogs.message(QString::fromUtf8(e.what()));
        // The changes of the dataset read before are gone either way; a partial read is not the
        // user's work, and saving it over its file at exit would cut that file short.
        ds.modified = false;
    }
    showNewDataset();
}

void ZemMain::showNewDataset() {
    Dataset& ds = state_.dataset;
    applyPeopleSelection(ds);
    applyEventSelection(ds);
    StatsWindow stats(ds, this);
    state_.dialogs.showModal(stats);
    ds.curPerson = 0;
    ds.curEvent = 0;
    computeChartRange(ds);
    enableDataMenus();
    state_.history.startAfresh();
    if (find_)
        find_->search();
}

bool ZemMain::runSaveCommand() {
    Dataset& ds = state_.dataset;
    const std::string before = ds.fileName;
    DialogSavePrompts prompts(state_.dialogs, ds.fileName);
    const SaveResult result = saveCommand(ds, prompts);
    if (result.datasetWritten) {
        dropRecoveryCopies(before, false);
        state_.history.markSaved();
    }
    return !result.datasetWriteFailed;
}

void ZemMain::mnusave_Click() {
    storePendingEntries();
    runSaveCommand();
}

void ZemMain::mnumerge_Click() {
    state_.dialogs.message(QStringLiteral("Select a second file to merge with current file"));
    const std::optional<QString> path =
        state_.dialogs.openFile(QStringLiteral("Data files: | *.qd3"));
    if (!path)
        return;
    // Edits pending in a chart's entry window belong to the dataset as it was.
    storePendingEntries();
    Dataset& ds = state_.dataset;
    const std::string file = toPath(*path);
    // The merge is made on a copy, which the change then trades for the dataset: a merge can
    // touch every text (a change of encoding), and a failed one leaves nothing half done.
    Dataset merged;
    try {
        merged = ds;
        mergeDataset(merged, file, [this, &file](int people, int events) {
            state_.dialogs.message(fromPath(mergeAnnouncementText(file, people, events)));
        });
    } catch (const FileError& e) {
        state_.dialogs.message(QString::fromUtf8(e.what()));
        return;
    } catch (const std::bad_alloc&) {
        state_.dialogs.message(QStringLiteral("There is not enough memory to merge \"") + *path +
                               QStringLiteral("\"; the dataset is as it was."));
        return;
    }
    state_.history.push(std::make_unique<WholeDatasetChange>(
        "Merge " + displayText(QFileInfo(*path).fileName().toStdString(), TextEncoding::utf8, 40),
        std::move(merged)));
    // Entry windows a chart opened stored their edits before the merge; they show it now.
    for (EntryWindow* w : {pentry_.data(), eentry_.data()})
        if (w)
            w->datasetChanged();
    StatsWindow stats(ds, this);
    state_.dialogs.showModal(stats);
}

void ZemMain::mnusplit_Click() {
    state_.dialogs.message(QStringLiteral("STUB: get split filename & categories"));
}

void ZemMain::toggleConvertButton() {
    Command1->setVisible(!Command1->isVisible());
    Command1->raise();
}

void ZemMain::Command1_Click() {
    Dataset& ds = state_.dataset;
    // The converted file replaces the dataset in memory: its changes are offered first.
    if (!offerUnsavedChanges())
        return;
    const std::optional<QString> path =
        state_.dialogs.openFile(QStringLiteral("Convert files |*.qd2"));
    if (!path)
        return;
    const std::string legacy = toPath(*path);
    const std::string target = convertedFileName(legacy);
    std::error_code ec;
    if (std::filesystem::exists(target, ec) &&
        !state_.dialogs.question(fromPath(target) +
                                     QStringLiteral(" already exists. Replace it with the "
                                                    "converted file?"),
                                 QStringLiteral("Convert"))) {
        return;
    }
    Dataset converted;
    try {
        converted = convertLegacyFile(legacy, target);
    } catch (const FileError& e) {
        state_.dialogs.message(QString::fromUtf8(e.what()));
        return;
    } catch (const std::bad_alloc&) {
        state_.dialogs.message(QStringLiteral("There is not enough memory to convert \"") + *path +
                               QStringLiteral("\"."));
        return;
    }
    closeTimelines();
    dropRecoveryCopies(ds.fileName, true);
    ds = std::move(converted);
    showNewDataset();
    state_.dialogs.message(QStringLiteral("Conversion complete"));
}

void ZemMain::endOnSignal() {
    endedBySignal_ = true;
    // Every entry window, the modal ones too, hands over what it holds.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* entry = qobject_cast<EntryWindow*>(w); entry && entry->isVisible())
            entry->savePending();
    Dataset& ds = state_.dataset;
    if (!ds.modified) {
        // Nothing unsaved: a periodic copy of changes since undone is not offered later.
        dropRecoveryCopies(ds.fileName, true);
        return;
    }
    // A periodic copy still being written must not land after this newer one.
    recovery_.wait();
    try {
        const std::string written = writeRecoveryCopy(ds, state_.programFolder);
        std::cerr << "Tessaline: the unsaved changes were written to " << written << std::endl;
    } catch (const FileError& e) {
        std::cerr << "Tessaline: the unsaved changes could not be written: " << e.what()
                  << std::endl;
    }
}

void ZemMain::enableDataMenus() {
    for (QAction* a : {mnupeople, mnuevents, mnureports->menuAction(), mnusave, mnudisplay,
                       mnuGroupings, mnusplit, mnumerge, mnuFind})
        a->setEnabled(true);
}

void ZemMain::storePendingEntries() {
    // Edits pending in an entry window opened from a chart belong to the current dataset.
    for (EntryWindow* w : {pentry_.data(), eentry_.data()})
        if (w)
            w->savePending();
}

void ZemMain::closeTimelines() {
    // An entry window opened from a chart belongs to the dataset being closed: what it has
    // pending is stored, and it goes too, so that it can never store into the next dataset.
    storePendingEntries();
    for (EntryWindow* w : {pentry_.data(), eentry_.data()})
        if (w)
            w->close();
    for (TimelineWindow* w : {ptime_.data(), etime_.data()})
        if (w)
            w->close();
}

void ZemMain::mnudisplay_Click() {
    computeChartRange(state_.dataset);
    // Each window is made once and kept until it is closed; an open one is only brought forward.
    for (auto [window, side] :
         {std::pair{&ptime_, Side::people}, std::pair{&etime_, Side::events}}) {
        if (!*window) {
            *window = new TimelineWindow(state_, side);
            connect(*window, &TimelineWindow::entryRequested, this, &ZemMain::showEntryWindow);
        }
    }
    // Each chart follows the other's sideways scrolls, and their link toggles go together.
    for (auto [from, to] :
         {std::pair{ptime_.data(), etime_.data()}, std::pair{etime_.data(), ptime_.data()}}) {
        connect(from, &TimelineWindow::yearsScrolled, to, &TimelineWindow::followYears,
                Qt::UniqueConnection);
        connect(from, &TimelineWindow::linkToggled, to->mnuLink, &QAction::setChecked,
                Qt::UniqueConnection);
    }
    for (QPointer<TimelineWindow>* window : {&ptime_, &etime_}) {
        (*window)->show();
        (*window)->raise();
    }
}

void ZemMain::openEntryModally(Side side) {
    // An entry window a timeline opened keeps its pending changes and makes way.
    QPointer<EntryWindow>& open = side == Side::people ? pentry_ : eentry_;
    if (open) {
        open->savePending();
        open->close();
    }
    EntryWindow window(state_, side, this);
    state_.dialogs.showModal(window);
}

void ZemMain::mnupeople_Click() {
    openEntryModally(Side::people);
}

void ZemMain::mnuevents_Click() {
    openEntryModally(Side::events);
}

void ZemMain::mnuRptPeople_Click() {
    storePendingEntries();
    ReportWriter window(state_, this);
    state_.dialogs.showModal(window);
}

void ZemMain::mnuAgeReport_Click() {
    storePendingEntries();
    ChoiceReport window(state_, ChoiceReport::Kind::age, this);
    state_.dialogs.showModal(window);
}

void ZemMain::munLife_Click() {
    storePendingEntries();
    ChoiceReport window(state_, ChoiceReport::Kind::inMyLife, this);
    state_.dialogs.showModal(window);
}

void ZemMain::mnuGroupings_Click() {
    storePendingEntries();
    EditGroupings window(state_, this);
    state_.dialogs.showModal(window);
    // An entry window a chart opened would otherwise offer, and store back, the categories as
    // they were.
    for (EntryWindow* w : {pentry_.data(), eentry_.data()})
        if (w)
            w->categoriesChanged();
}

void ZemMain::storeBeforeUndo() {
    // A New form with nothing typed into it is not a change to take back.
    for (EntryWindow* w : {pentry_.data(), eentry_.data()})
        if (w)
            w->dropUntouchedNew();
    storePendingEntries();
}

void ZemMain::mnuUndo_Click() {
    storeBeforeUndo();
    state_.history.undo();
}

void ZemMain::mnuRedo_Click() {
    storeBeforeUndo();
    state_.history.redo();
}

void ZemMain::showChangedDataset(bool stepped) {
    // Back at the saved state: a periodic copy holds changes that are undone now.
    if (!state_.dataset.modified)
        dropRecoveryCopies(state_.dataset.fileName, true);
    // A chart drawn before the change would open the wrong entry on a click.
    for (TimelineWindow* w : {ptime_.data(), etime_.data()})
        if (w)
            w->refreshChart();
    // A change a window made, it shows itself (it may be in the middle of showing it); an undo
    // or redo no window made.
    if (stepped)
        for (EntryWindow* w : {pentry_.data(), eentry_.data()})
            if (w)
                w->datasetChanged();
    if (find_)
        find_->search();
}

void ZemMain::mnuFind_Click() {
    if (!find_) {
        find_ = new FindWindow(state_, this);
        find_->setAttribute(Qt::WA_DeleteOnClose);
        connect(find_, &FindWindow::entryChosen, this, &ZemMain::showFoundEntry);
    }
    find_->show();
    find_->raise();
    find_->activateWindow();
    find_->txtFind->setFocus();
    find_->txtFind->selectAll();
}

void ZemMain::openTimeline(Side side) {
    QPointer<TimelineWindow>& window = side == Side::people ? ptime_ : etime_;
    if (!window) {
        // Both charts are made together, as Timeline makes them, so that they share their
        // left edge.
        mnudisplay_Click();
        return;
    }
    window->show();
    window->raise();
}

void ZemMain::showFoundEntry(bool isEvent, int index) {
    Dataset& ds = state_.dataset;
    if (index < 0 || index >= (isEvent ? ds.numEvents : ds.numPeople))
        return;
    storePendingEntries();
    const Side side = isEvent ? Side::events : Side::people;
    openTimeline(side);
    (isEvent ? ds.curEvent : ds.curPerson) = static_cast<int16_t>(index);
    TimelineWindow* window = side == Side::people ? ptime_ : etime_;
    // The chart may have been drawn before entries were added or deleted: drawn again, its
    // lines are where the entry is.
    window->refreshChart();
    if (!window->showEntryLine(index)) {
        const std::string& name = isEvent ? ds.events[static_cast<size_t>(index)].name
                                          : ds.people[static_cast<size_t>(index)].name;
        state_.dialogs.message(QStringLiteral("\"") +
                               QString::fromUtf8(captionName(name, ds.encoding)) +
                               QStringLiteral("\" is not on the chart: Select leaves it out."));
    }
    if (EntryWindow* entry = side == Side::people ? pentry_ : eentry_)
        entry->followCurrent();
    window->activateWindow();
    window->rtbox1->setFocus();
}

void ZemMain::showEntryWindow(Side side) {
    QPointer<EntryWindow>& window = side == Side::people ? pentry_ : eentry_;
    if (window) {
        window->followCurrent();
        return;
    }
    window = new EntryWindow(state_, side);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void ZemMain::closeEvent(QCloseEvent* event) {
    if (!Form_Unload()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool ZemMain::Form_Unload() {
    if (unloaded_)
        return true;
    // Before anything closes, so that Cancel leaves the program as it was. After a termination
    // signal the changes are in the recovery file, and nobody answers.
    if (!endedBySignal_ && !offerUnsavedChanges())
        return false;
    unloaded_ = true;
    closeTimelines();
    try {
        writeSettings(state_.programFile(settingsFileName), state_.settings);
    } catch (const FileError& e) {
        state_.dialogs.message(QStringLiteral("The settings could not be saved.\r\n") +
                               QString::fromUtf8(e.what()));
    }
    // A clean exit: the changes were saved or discarded, and their periodic copy is not kept.
    // After a signal it holds them.
    if (!endedBySignal_) {
        recoveryTimer_->stop();
        dropRecoveryCopies(state_.dataset.fileName, true);
    }
    if (helpViewer_)
        helpViewer_->close();
    return true;
}

} // namespace tess
