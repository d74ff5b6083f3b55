#include "app/zemmain.h"

#include "app/help_viewer.h"
#include "categories/category_windows.h"
#include "core/file_error.h"
#include "core/text_encoding.h"
#include "reports/report_windows.h"
#include "timeline/chart.h"
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
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>

namespace tess {

namespace {
// The first size of the window, in twips, before the user resizes it.
constexpr int initialWidthTwips = 9600;
constexpr int initialHeightTwips = 7400;
} // namespace

ZemMain::ZemMain(AppState& state, QWidget* parent)
    : QMainWindow(parent), state_(state), document_(state) {
    setObjectName(QStringLiteral("zemmain"));
    setWindowTitle(QStringLiteral("Varelta : Tessaline"));

    auto* central = new QWidget(this);
    setCentralWidget(central);
    titlePicture_ = new QLabel(central);
    titlePicture_->setObjectName(QStringLiteral("Image1"));
    titlePicture_->setScaledContents(true);
    titlePicture_->move(0, 0);

    convertButton_ = new QPushButton(QStringLiteral("Convert"), central);
    convertButton_->setObjectName(QStringLiteral("Command1"));
    convertButton_->setToolTip(QStringLiteral("normally not available"));
    convertButton_->hide();
    convertButton_->move(8, 8);
    auto* convertShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K), this);
    connect(convertShortcut, &QShortcut::activated, this, &ZemMain::toggleConvertButton);
    connect(convertButton_, &QPushButton::clicked, this, &ZemMain::Command1_Click);

    auto makeLabel = [central](const char* name, const QString& text) {
        auto* label = new QLabel(text, central);
        label->setObjectName(QString::fromLatin1(name));
        label->setAutoFillBackground(true);
        label->setMargin(4);
        return label;
    };
    creditsLabel_ =
        makeLabel("Label2", QStringLiteral("Written by the Tessaline team, with thanks to every "
                                           "historian whose work fills its timelines."));
    copyrightLabel_ =
        makeLabel("Label3", QStringLiteral("Copyright \u00A9 2026 Varelta. All rights reserved."));
    versionLabel_ = makeLabel("Label4", QStringLiteral("version"));

    buildMenus();
    const double dpi = ui::logicalDpi(this);
    resize(ui::twipsToPixels(initialWidthTwips, dpi), ui::twipsToPixels(initialHeightTwips, dpi));
    Form_Load();
    connect(&document_, &DocumentController::pendingEditsWanted, this, [this](bool everyWindow) {
        if (!everyWindow) {
            storePendingEntries();
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* entry = qobject_cast<EntryWindow*>(w); entry && entry->isVisible())
                entry->savePending();
    });
    connect(&document_, &DocumentController::closing, this, &ZemMain::closeTimelines);
    connect(&document_, &DocumentController::opened, this, [this] {
        enableDataMenus();
        if (findWindow_)
            findWindow_->search();
    });
    connect(&document_, &DocumentController::statisticsWanted, this, [this] {
        StatsWindow stats(state_.dataset, this);
        state_.dialogs.showModal(stats);
    });
    // Entry windows a chart opened stored their edits before the merge; they show it now.
    connect(&document_, &DocumentController::changedOutsideWindows, this, [this] {
        for (EntryWindow* w : {peopleEntry_.data(), eventsEntry_.data()})
            if (w)
                w->datasetChanged();
    });
}

ZemMain::~ZemMain() {
    if (helpViewer_)
        helpViewer_->close();
    // The charts and their entry windows have no parent; one closed but not yet deleted (its
    // deletion waits for the event loop) goes with the window that made it.
    delete peopleTimeline_.data();
    delete eventsTimeline_.data();
    delete peopleEntry_.data();
    delete eventsEntry_.data();
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
    filesMenu_ = menuBar()->addMenu(QStringLiteral("&Files"));
    filesMenu_->setObjectName(QStringLiteral("mnufile"));
    newAction_ = addAction(filesMenu_, "mnunew", QStringLiteral("&New dataset"));
    newAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(newAction_, &QAction::triggered, &document_, &DocumentController::newDataset);
    openAction_ = addAction(filesMenu_, "mnuopen", QStringLiteral("&Open"));
    openAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveAction_ = addAction(filesMenu_, "mnusave", QStringLiteral("&Save"));
    saveAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mergeAction_ = addAction(filesMenu_, "mnumerge", QStringLiteral("&Merge datasets"));
    splitAction_ = addAction(filesMenu_, "mnusplit", QStringLiteral("S&plit dataset"));
    importAction_ = addAction(filesMenu_, "mnuimport", QStringLiteral("&Import..."));
    connect(importAction_, &QAction::triggered, &document_, &DocumentController::importFile);
    exportMenu_ = filesMenu_->addMenu(QStringLiteral("&Export"));
    exportMenu_->setObjectName(QStringLiteral("mnuexport"));
    exportCsvAction_ = addAction(exportMenu_, "mnuexportcsv", QStringLiteral("Entries as &CSV..."));
    connect(exportCsvAction_, &QAction::triggered, &document_, &DocumentController::exportCsv);
    aboutAction_ = addAction(filesMenu_, "mnuabout", QStringLiteral("&About"));
    recentSeparator_ = filesMenu_->addSeparator();
    filesMenu_->setToolTipsVisible(true);
    for (size_t i = 0; i < recentActions_.size(); ++i) {
        QAction* a = filesMenu_->addAction(QString());
        a->setObjectName(QStringLiteral("mnurecent%1").arg(i + 1));
        a->setShortcut(QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + i)));
        connect(a, &QAction::triggered, this,
                [this, a] { document_.openRecent(a->data().toString()); });
        recentActions_[i] = a;
    }
    connect(&document_, &DocumentController::recentFilesChanged, this, &ZemMain::showRecentFiles);
    filesMenu_->addSeparator();
    exitAction_ = addAction(filesMenu_, "mnuExit", QStringLiteral("E&xit"));
    exitAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    // Alt+E stays with Events.
    editMenu_ = menuBar()->addMenu(QStringLiteral("E&dit"));
    editMenu_->setObjectName(QStringLiteral("mnuedit"));
    undoAction_ = addAction(editMenu_, "mnuUndo", QStringLiteral("&Undo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = addAction(editMenu_, "mnuRedo", QStringLiteral("&Redo"));
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    editMenu_->addSeparator();
    findAction_ = addAction(editMenu_, "mnuFind", QStringLiteral("&Find..."));
    findAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    // They work from the charts and the entry windows too (a text box keeps its own Ctrl+Z).
    for (QAction* a : {undoAction_, redoAction_, findAction_})
        a->setShortcutContext(Qt::ApplicationShortcut);
    QUndoStack& stack = state_.history.stack();
    auto caption = [](const QString& verb, QString change) {
        // A name's "&" is shown as itself, not taken for a keyboard mnemonic.
        return change.isEmpty() ? verb
                                : verb + QLatin1Char(' ') +
                                      change.replace(QLatin1Char('&'), QStringLiteral("&&"));
    };
    undoAction_->setEnabled(false);
    redoAction_->setEnabled(false);
    connect(&stack, &QUndoStack::canUndoChanged, undoAction_, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, redoAction_, &QAction::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, this, [this, caption](const QString& text) {
        undoAction_->setText(caption(QStringLiteral("&Undo"), text));
    });
    connect(&stack, &QUndoStack::redoTextChanged, this, [this, caption](const QString& text) {
        redoAction_->setText(caption(QStringLiteral("&Redo"), text));
    });
    connect(&state_.history, &EditHistory::datasetChanged, this, &ZemMain::showChangedDataset);

    peopleAction_ = addBarAction("mnupeople", QStringLiteral("&People"));
    eventsAction_ = addBarAction("mnuevents", QStringLiteral("&Events"));
    timelineAction_ = addBarAction("mnudisplay", QStringLiteral("&Timeline"));

    reportsMenu_ = menuBar()->addMenu(QStringLiteral("&Reports"));
    reportsMenu_->setObjectName(QStringLiteral("mnureports"));
    peopleReportAction_ =
        addAction(reportsMenu_, "mnuRptPeople", QStringLiteral("People and Events"));
    ageReportAction_ = addAction(reportsMenu_, "mnuAgeReport", QStringLiteral("Age"));
    inMyLifeAction_ = addAction(reportsMenu_, "munLife", QStringLiteral("In my life..."));
    groupingsReportMenu_ = reportsMenu_->addMenu(QStringLiteral("Groupings"));
    groupingsReportMenu_->setObjectName(QStringLiteral("mnuRptGroupings"));
    listFactionsAction_ =
        addAction(groupingsReportMenu_, "mnuListFactions", QStringLiteral("Factions"));
    listOccupationsAction_ =
        addAction(groupingsReportMenu_, "mnuListOcc", QStringLiteral("Occupations"));
    listGroupsAction_ = addAction(groupingsReportMenu_, "mnuListGroups", QStringLiteral("Groups"));
    listNationsAction_ =
        addAction(groupingsReportMenu_, "mnuListNations", QStringLiteral("Nations"));
    setupAction_ = addAction(reportsMenu_, "mnuSetup", QStringLiteral("Setup"));

    groupingsAction_ = addBarAction("mnuGroupings", QStringLiteral("&Groupings"));
    helpAction_ = addBarAction("mnuHelp", QStringLiteral("&Help"));

    // Data commands wait for a dataset.
    for (QAction* a : {saveAction_, mergeAction_, splitAction_, exportMenu_->menuAction(),
                       peopleAction_, eventsAction_, timelineAction_, reportsMenu_->menuAction(),
                       groupingsAction_, findAction_})
        a->setEnabled(false);
    connect(undoAction_, &QAction::triggered, this, &ZemMain::mnuUndo_Click);
    connect(redoAction_, &QAction::triggered, this, &ZemMain::mnuRedo_Click);
    connect(findAction_, &QAction::triggered, this, &ZemMain::mnuFind_Click);

    connect(openAction_, &QAction::triggered, this, &ZemMain::mnuopen_Click);
    connect(saveAction_, &QAction::triggered, this, &ZemMain::mnusave_Click);
    connect(mergeAction_, &QAction::triggered, this, &ZemMain::mnumerge_Click);
    connect(splitAction_, &QAction::triggered, this, &ZemMain::mnusplit_Click);
    connect(aboutAction_, &QAction::triggered, this, &ZemMain::mnuabout_Click);
    connect(exitAction_, &QAction::triggered, this, &ZemMain::mnuExit_Click);
    connect(setupAction_, &QAction::triggered, this, &ZemMain::mnuSetup_Click);
    connect(helpAction_, &QAction::triggered, this, &ZemMain::mnuHelp_Click);
    connect(timelineAction_, &QAction::triggered, this, &ZemMain::mnudisplay_Click);
    connect(peopleAction_, &QAction::triggered, this, &ZemMain::mnupeople_Click);
    connect(eventsAction_, &QAction::triggered, this, &ZemMain::mnuevents_Click);
    connect(peopleReportAction_, &QAction::triggered, this, &ZemMain::mnuRptPeople_Click);
    connect(ageReportAction_, &QAction::triggered, this, &ZemMain::mnuAgeReport_Click);
    connect(inMyLifeAction_, &QAction::triggered, this, &ZemMain::munLife_Click);
    connect(groupingsAction_, &QAction::triggered, this, &ZemMain::mnuGroupings_Click);
    for (QAction* a :
         {listFactionsAction_, listOccupationsAction_, listGroupsAction_, listNationsAction_})
        connect(a, &QAction::triggered, this, &ZemMain::mnuListGroupings_Click);
}

void ZemMain::Form_Load() {
    ui::centerForm(*this);
    creditsLabel_->hide();
    copyrightLabel_->hide();
    versionLabel_->hide();
    // The program's own folder becomes current, so that pictures named in a dataset are found.
    QDir::setCurrent(QFile::decodeName(QByteArray::fromStdString(state_.programFolder)));
    state_.settings = readSettings(state_.programFile(settingsFileName));
    state_.choicesFile = state_.programFile(choicesFileName);
    state_.choices = readUserChoices(state_.choicesFile);
    showRecentFiles();
    // The timeline rectangles are brought onto the screens when a timeline opens; until then
    // they stay as read, so that a start at another scale writes them back unchanged.
    state_.dataset.earliestDate = initialEarliestDate;
    state_.dataset.latestDate = initialLatestDate;
    const QPixmap title = ui::loadPicture(state_.programFile("title.bmp"));
    if (!title.isNull())
        titlePicture_->setPixmap(title);
    mergeAction_->setEnabled(false);
    splitAction_->setEnabled(false);
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
    titlePicture_->hide();
    titlePicture_->resize(ui::twipsToPixels(outer.width() - 60, dpi),
                          ui::twipsToPixels(outer.height() - 650, dpi));
    titlePicture_->show();
    // The credits sit at the foot of the picture.
    const int margin = 8;
    int y = titlePicture_->height() - margin;
    for (QLabel* label : {versionLabel_, copyrightLabel_, creditsLabel_}) {
        label->adjustSize();
        y -= label->height();
        label->move(margin, y);
    }
}

void ZemMain::mnuabout_Click() {
    copyrightLabel_->show();
    creditsLabel_->show();
    versionLabel_->setText(QStringLiteral("Version ") + QStringLiteral("3.01"));
    versionLabel_->show();
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
    document_.open();
}

void ZemMain::mnusave_Click() {
    storePendingEntries();
    document_.save();
}

void ZemMain::mnumerge_Click() {
    document_.merge();
}

void ZemMain::mnusplit_Click() {
    state_.dialogs.message(QStringLiteral("STUB: get split filename & categories"));
}

void ZemMain::toggleConvertButton() {
    convertButton_->setVisible(!convertButton_->isVisible());
    convertButton_->raise();
}

void ZemMain::Command1_Click() {
    document_.convert();
}

void ZemMain::enableDataMenus() {
    for (QAction* a :
         {peopleAction_, eventsAction_, reportsMenu_->menuAction(), saveAction_, timelineAction_,
          groupingsAction_, splitAction_, mergeAction_, findAction_, exportMenu_->menuAction()})
        a->setEnabled(true);
}

void ZemMain::showRecentFiles() {
    const std::vector<std::string>& recent = state_.choices.recent;
    for (size_t i = 0; i < recentActions_.size(); ++i) {
        QAction* a = recentActions_[i];
        a->setVisible(i < recent.size());
        if (i >= recent.size())
            continue;
        const QString path = QFile::decodeName(QByteArray::fromStdString(recent[i]));
        // The name as a menu shows it: bounded, its controls escaped, an ampersand itself.
        QString name = QString::fromStdString(
            displayText(QFileInfo(path).fileName().toStdString(), TextEncoding::utf8, 60));
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        a->setText(QStringLiteral("&%1 ").arg(i + 1) + name);
        a->setToolTip(QString::fromStdString(
            displayText(path.toStdString(), TextEncoding::utf8, 4 * messageTextLimit)));
        a->setData(path);
    }
    recentSeparator_->setVisible(!recent.empty());
}

void ZemMain::storePendingEntries() {
    // Edits pending in an entry window opened from a chart belong to the current dataset.
    for (EntryWindow* w : {peopleEntry_.data(), eventsEntry_.data()})
        if (w)
            w->savePending();
}

void ZemMain::closeTimelines() {
    // An entry window opened from a chart belongs to the dataset being closed: what it has
    // pending is stored, and it goes too, so that it can never store into the next dataset.
    storePendingEntries();
    for (EntryWindow* w : {peopleEntry_.data(), eventsEntry_.data()})
        if (w)
            w->close();
    for (TimelineWindow* w : {peopleTimeline_.data(), eventsTimeline_.data()})
        if (w)
            w->close();
}

void ZemMain::mnudisplay_Click() {
    computeChartRange(state_.dataset);
    // Each window is made once and kept until it is closed; an open one is only brought forward.
    for (auto [window, side] :
         {std::pair{&peopleTimeline_, Side::people}, std::pair{&eventsTimeline_, Side::events}}) {
        if (!*window) {
            *window = new TimelineWindow(state_, side);
            connect(*window, &TimelineWindow::entryRequested, this, &ZemMain::showEntryWindow);
        }
    }
    // Each chart follows the other's sideways scrolls, and their link toggles go together.
    for (auto [from, to] : {std::pair{peopleTimeline_.data(), eventsTimeline_.data()},
                            std::pair{eventsTimeline_.data(), peopleTimeline_.data()}}) {
        connect(from, &TimelineWindow::yearsScrolled, to, &TimelineWindow::followYears,
                Qt::UniqueConnection);
        connect(from, &TimelineWindow::linkToggled, to, &TimelineWindow::setLinked,
                Qt::UniqueConnection);
        connect(from, &TimelineWindow::yearStyleToggled, to, &TimelineWindow::useSignedYears,
                Qt::UniqueConnection);
        connect(from, &TimelineWindow::selectionApplied, to, &TimelineWindow::refreshChart,
                Qt::UniqueConnection);
    }
    for (QPointer<TimelineWindow>* window : {&peopleTimeline_, &eventsTimeline_}) {
        (*window)->show();
        (*window)->raise();
    }
}

void ZemMain::openEntryModally(Side side) {
    // An entry window a timeline opened keeps its pending changes and makes way.
    QPointer<EntryWindow>& open = side == Side::people ? peopleEntry_ : eventsEntry_;
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
    for (EntryWindow* w : {peopleEntry_.data(), eventsEntry_.data()})
        if (w)
            w->categoriesChanged();
}

void ZemMain::storeBeforeUndo() {
    // A New form with nothing typed into it is not a change to take back.
    for (EntryWindow* w : {peopleEntry_.data(), eventsEntry_.data()})
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
    // A chart drawn before the change would open the wrong entry on a click.
    for (TimelineWindow* w : {peopleTimeline_.data(), eventsTimeline_.data()})
        if (w)
            w->refreshChart();
    // A change a window made, it shows itself (it may be in the middle of showing it); an undo
    // or redo no window made.
    if (stepped)
        for (EntryWindow* w : {peopleEntry_.data(), eventsEntry_.data()})
            if (w)
                w->datasetChanged();
    if (findWindow_)
        findWindow_->search();
}

void ZemMain::mnuFind_Click() {
    if (!findWindow_) {
        findWindow_ = new FindWindow(state_, this);
        findWindow_->setAttribute(Qt::WA_DeleteOnClose);
        connect(findWindow_, &FindWindow::entryChosen, this, &ZemMain::showFoundEntry);
    }
    findWindow_->showForTyping();
}

void ZemMain::openTimeline(Side side) {
    QPointer<TimelineWindow>& window = side == Side::people ? peopleTimeline_ : eventsTimeline_;
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
    TimelineWindow* window = side == Side::people ? peopleTimeline_ : eventsTimeline_;
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
    if (EntryWindow* entry = side == Side::people ? peopleEntry_ : eventsEntry_)
        entry->followCurrent();
    window->activateWindow();
    window->focusChart();
}

void ZemMain::showEntryWindow(Side side) {
    QPointer<EntryWindow>& window = side == Side::people ? peopleEntry_ : eventsEntry_;
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
    if (!document_.endedBySignal() && !document_.offerUnsavedChanges())
        return false;
    unloaded_ = true;
    closeTimelines();
    try {
        writeSettings(state_.programFile(settingsFileName), state_.settings);
    } catch (const FileError& e) {
        state_.dialogs.message(QStringLiteral("The settings could not be saved.\r\n") +
                               QString::fromUtf8(e.what()));
    }
    document_.closeCleanly();
    if (helpViewer_)
        helpViewer_->close();
    return true;
}

} // namespace tess
