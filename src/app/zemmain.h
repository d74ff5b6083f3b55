#pragma once

#include "app/find_window.h"
#include "app/help_viewer.h"
#include "app/recovery_writer.h"
#include "entry/entry_window.h"
#include "state/app_state.h"
#include "timeline/timeline_window.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace tess {

// The main window: title picture, the menu tree from which every command starts, opening
// datasets, and the program's start-up and shut-down.
class ZemMain : public QMainWindow {
    Q_OBJECT
public:
    explicit ZemMain(AppState& state, QWidget* parent = nullptr);
    ~ZemMain() override;

    // Opens a dataset at a known path, as Files > Open does after its dialog.
    void openPath(const QString& path);
    // A termination signal: nobody may be there to answer, so nothing is asked. Edits pending
    // in entry windows are stored and unsaved changes written to the dataset's recovery file;
    // the path written, or why nothing could be, goes to standard error. The window then
    // closes without running the save command.
    void endOnSignal();
    // Every so often while there are unsaved changes: a copy of the whole dataset goes to its
    // recovery file, written in the background.
    void writePeriodicRecovery();
    RecoveryWriter& recoveryWriter() { return recovery_; }

    HelpViewer* helpViewer() const { return helpViewer_; }
    FindWindow* findWindow() const { return find_; }
    TimelineWindow* peopleTimeline() const { return ptime_; }
    TimelineWindow* eventsTimeline() const { return etime_; }
    EntryWindow* entryWindow(Side side) const { return side == Side::people ? pentry_ : eentry_; }
    // The resize rule for a window of this outer size in twips: the picture fills the window
    // less 60 twips across and 650 down, unless the window is too small to have one.
    void fitPicture(const QRect& outerTwips);

public slots:
    void Form_Load();
    void Form_Resize();
    void mnuopen_Click();
    void mnusave_Click();
    void mnumerge_Click();
    void mnusplit_Click();
    void Command1_Click();
    // The Convert button is a maintenance tool, shown and hidden again by Ctrl+Shift+K.
    void toggleConvertButton();
    void mnuabout_Click();
    void mnuExit_Click();
    void mnuSetup_Click();
    void mnuHelp_Click();
    void mnudisplay_Click();
    void mnupeople_Click();
    void mnuevents_Click();
    void mnuRptPeople_Click();
    void mnuAgeReport_Click();
    void munLife_Click();
    void mnuGroupings_Click();
    // Edits pending in a chart's entry window are stored first, so they are undone first.
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuFind_Click();
    // Find chose an entry: it becomes current, its chart opens if it is not, and its line is
    // highlighted in sight.
    void showFoundEntry(bool isEvent, int index);
    // A timeline click made an entry current: its entry window shows it, without a modal wait.
    void showEntryWindow(tess::Side side);
    // The four entries under Reports > Groupings are there and do nothing.
    void mnuListGroupings_Click() {}

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QAction* addAction(QMenu* menu, const char* name, const QString& caption);
    QAction* addBarAction(const char* name, const QString& caption);
    void enableDataMenus();
    void closeTimelines();
    void storePendingEntries();
    void storeBeforeUndo();
    // Any change to the dataset: the charts show it afresh, and after an undo or redo the
    // chart's entry windows too.
    void showChangedDataset(bool stepped);
    // Before the dataset in memory is closed or replaced: edits pending in entry windows are
    // stored, and unsaved changes saved, discarded or kept by going back. True when the caller
    // may go on.
    bool offerUnsavedChanges();
    void openTimeline(Side side);
    // The save command through the window's dialogs; forgets a recovery file it made stale.
    // False only when writing the whole dataset failed.
    bool runSaveCommand();
    // What opening or converting does to the charts and the menus once the dataset is read.
    void showNewDataset();
    // The unload procedure: unsaved changes offered first, then timelines closed and settings
    // written. False when the user went back, or a save failed or was cancelled.
    bool Form_Unload();

    // The recovery file of a dataset whose changes were saved or given up is not kept; with
    // onlyOurs, only when this session's periodic copy wrote it.
    void dropRecoveryCopies(const std::string& datasetPath, bool onlyOurs);

    AppState& state_;
    RecoveryWriter recovery_;
    QTimer* recoveryTimer_ = nullptr;
    bool periodicCopyMade_ = false;
    bool unloaded_ = false;
    bool endedBySignal_ = false;
    QPointer<HelpViewer> helpViewer_;
    QPointer<TimelineWindow> ptime_;
    QPointer<TimelineWindow> etime_;
    QPointer<EntryWindow> pentry_; // the entry windows opened from a timeline
    QPointer<EntryWindow> eentry_;
    QPointer<FindWindow> find_;
    void openEntryModally(Side side);

public:
    // Controls, named as the program names them.
    QLabel* Image1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;

    QMenu* mnufile = nullptr;
    QAction* mnuopen = nullptr;
    QAction* mnusave = nullptr;
    QAction* mnumerge = nullptr;
    QAction* mnusplit = nullptr;
    QAction* mnuabout = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuedit = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuFind = nullptr;
    QAction* mnupeople = nullptr;
    QAction* mnuevents = nullptr;
    QAction* mnudisplay = nullptr;
    QMenu* mnureports = nullptr;
    QAction* mnuRptPeople = nullptr;
    QAction* mnuAgeReport = nullptr;
    QAction* munLife = nullptr;
    QMenu* mnuRptGroupings = nullptr;
    QAction* mnuListFactions = nullptr;
    QAction* mnuListOcc = nullptr;
    QAction* mnuListGroups = nullptr;
    QAction* mnuListNations = nullptr;
    QAction* mnuSetup = nullptr;
    QAction* mnuGroupings = nullptr;
    QAction* mnuHelp = nullptr;
};

} // namespace tess
