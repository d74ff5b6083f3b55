#pragma once

#include "app/recovery_writer.h"
#include "state/app_state.h"

#include <QObject>
#include <QString>

#include <optional>

class QTimer;

namespace tess {

// The dataset as a document: opening, saving, merging, converting, its recovery copies and
// what is asked before it is closed. It holds no widget; the main window forwards its menus
// here and listens to what it announces, and tests drive it without any window.
class DocumentController : public QObject {
    Q_OBJECT
public:
    explicit DocumentController(AppState& state, QObject* parent = nullptr);
    ~DocumentController() override;

    bool modified() const { return state_.dataset.modified; }
    const std::string& fileName() const { return state_.dataset.fileName; }
    RecoveryWriter& recoveryWriter() { return recovery_; }

    // Files > New dataset: unsaved changes offered, then an empty dataset with no file name.
    void newDataset();
    // Files > Open: unsaved changes offered, then a file chosen and read.
    void open();
    // Opens a dataset at a known path, as Open does after its dialog; a newer recovery copy
    // of it is offered.
    void openPath(const QString& path);
    // At start, with no dataset named: the changes to a dataset without a file name (a new or
    // an imported one) that an ended program left in its recovery copy are offered.
    void offerUnnamedRecovery();
    // The save command: the whole dataset, or only the selected entries to a new file.
    // False only when writing the whole dataset failed.
    bool save();
    void merge();
    // Files > Import: a CSV or GEDCOM file becomes a new dataset with no file name, to be
    // saved; its summary is told.
    void importFile();
    // Files > Export > Entries as CSV.
    void exportCsv();
    // A dataset of the recent-files list: one that is gone is taken off the list with a
    // message; otherwise opened as Open does, after the unsaved changes are offered.
    void openRecent(const QString& path);
    // A .qd2 file made into a .qd3 beside it, which then replaces the dataset in memory.
    void convert();
    // Before the dataset in memory is closed or replaced: pending edits are stored, and
    // unsaved changes saved, discarded or kept by going back. True when the caller may go on.
    bool offerUnsavedChanges();
    // At exit, after the changes were offered: the periodic copy is no longer wanted.
    void closeCleanly();
    // A termination signal: nobody may be there to answer, so nothing is asked. Pending edits
    // are stored and unsaved changes written to the dataset's recovery file; the path written,
    // or why nothing could be, goes to standard error.
    void endOnSignal();
    bool endedBySignal() const { return endedBySignal_; }
    // Every so often while there are unsaved changes: a copy of the whole dataset goes to its
    // recovery file, written in the background.
    void writePeriodicRecovery();

signals:
    // Entry windows hand over what they hold; everyWindow takes in modal ones too.
    void pendingEditsWanted(bool everyWindow);
    // The dataset's charts and entry windows go before it is replaced.
    void closing();
    // A dataset was read (or a read failed part-way): menus and views take it up.
    void opened();
    // The statistics of the dataset as it now is, after an open or a merge.
    void statisticsWanted();
    // A change no window made (a merge): entry windows show the dataset afresh.
    void changedOutsideWindows();
    // The recent-files list changed.
    void recentFilesChanged();

private:
    void showNewDataset();
    // A read that makes a whole dataset (a merge on a copy, a conversion); a failure is told,
    // and nothing comes of it.
    template <class Read>
    auto readOrTell(Read read, const QString& outOfMemory) -> std::optional<decltype(read())>;
    void noteRecent(const std::string& path);
    // The recovery file of a dataset whose changes were saved or given up is not kept; with
    // onlyOurs, only when this session's periodic copy wrote it.
    void dropRecoveryCopies(const std::string& datasetPath, bool onlyOurs);

    AppState& state_;
    RecoveryWriter recovery_;
    QTimer* recoveryTimer_ = nullptr;
    bool periodicCopyMade_ = false;
    bool endedBySignal_ = false;
};

} // namespace tess
