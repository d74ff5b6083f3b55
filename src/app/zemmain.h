#pragma once

#include "app/document_controller.h"
#include "app/find_window.h"
#include "app/help_viewer.h"
#include "entry/entry_window.h"
#include "state/app_state.h"
#include "timeline/timeline_window.h"

#include <QMainWindow>
#include <QPointer>

#include <array>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace tess {

// The main window: title picture, the menu tree from which every command starts (the Files
// commands forwarded to the document controller), the charts and entry windows it opens, and
// the program's start-up and shut-down.
class ZemMain : public QMainWindow {
    Q_OBJECT
public:
    explicit ZemMain(AppState& state, QWidget* parent = nullptr);
    ~ZemMain() override;

    // Opening, saving and recovery of the dataset; the menus forward to it.
    DocumentController& document() { return document_; }
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
    void showRecentFiles();
    QAction* addBarAction(const char* name, const QString& caption);
    void enableDataMenus();
    void closeTimelines();
    void storePendingEntries();
    void storeBeforeUndo();
    // Any change to the dataset: the charts show it afresh, and after an undo or redo the
    // chart's entry windows too.
    void showChangedDataset(bool stepped);
    void openTimeline(Side side);
    void openEntryModally(Side side);
    // The unload procedure: unsaved changes offered first, then timelines closed and settings
    // written. False when the user went back, or a save failed or was cancelled.
    bool Form_Unload();

    AppState& state_;
    DocumentController document_;
    bool unloaded_ = false;
    QPointer<HelpViewer> helpViewer_;
    QPointer<TimelineWindow> peopleTimeline_;
    QPointer<TimelineWindow> eventsTimeline_;
    QPointer<EntryWindow> peopleEntry_; // the entry windows opened from a timeline
    QPointer<EntryWindow> eventsEntry_;
    QPointer<FindWindow> findWindow_;

    // Controls; their object names are the names the help and the tests use.
    QLabel* titlePicture_ = nullptr;
    QPushButton* convertButton_ = nullptr;
    QLabel* creditsLabel_ = nullptr;
    QLabel* copyrightLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;

    QMenu* filesMenu_ = nullptr;
    QAction* newAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* mergeAction_ = nullptr;
    QAction* splitAction_ = nullptr;
    QAction* importAction_ = nullptr;
    QMenu* exportMenu_ = nullptr;
    QAction* exportCsvAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    // The recent datasets, Alt+1 to Alt+6, above Exit; hidden while the list is shorter.
    std::array<QAction*, UserChoices::maxRecent> recentActions_{};
    QAction* recentSeparator_ = nullptr;
    QAction* exitAction_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* findAction_ = nullptr;
    QAction* peopleAction_ = nullptr;
    QAction* eventsAction_ = nullptr;
    QAction* timelineAction_ = nullptr;
    QMenu* reportsMenu_ = nullptr;
    QAction* peopleReportAction_ = nullptr;
    QAction* ageReportAction_ = nullptr;
    QAction* inMyLifeAction_ = nullptr;
    QMenu* groupingsReportMenu_ = nullptr;
    QAction* listFactionsAction_ = nullptr;
    QAction* listOccupationsAction_ = nullptr;
    QAction* listGroupsAction_ = nullptr;
    QAction* listNationsAction_ = nullptr;
    QAction* setupAction_ = nullptr;
    QAction* groupingsAction_ = nullptr;
    QAction* helpAction_ = nullptr;
};

} // namespace tess
