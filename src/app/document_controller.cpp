#include "app/document_controller.h"

#include "core/csv_file.h"
#include "core/dataset_change.h"
#include "core/file_error.h"
#include "core/import_file.h"
#include "core/legacy_file.h"
#include "core/merge.h"
#include "core/qd3_file.h"
#include "core/save_command.h"
#include "core/text_encoding.h"
#include "state/file_choice.h"
#include "timeline/chart.h"
#include "timeline/selection.h"
#include "ui/dialogs.h"
#include "ui/export_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <filesystem>
#include <iostream>
#include <new>

namespace tess {

namespace {
QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The save command's questions, asked through the program's dialogs.
class DialogSavePrompts : public SavePrompts {
public:
    DialogSavePrompts(AppState& state, const std::string& datasetPath)
        : state_(state), dialogs_(state.dialogs),
          datasetFolder_(datasetPath.empty() ? QString()
                                             : QFileInfo(fromPath(datasetPath)).absolutePath()) {}
    bool saveSelectedOnly() override {
        return dialogs_.question(QStringLiteral("Save only selected items to new file?"),
                                 QStringLiteral("Dataset selected"));
    }
    std::optional<std::string> saveAs(const std::string& proposedName) override {
        QString proposed = fromPath(proposedName);
        // A bare name is offered in the dataset's own folder, or for a dataset without a
        // file in the folder datasets were last used in.
        if (!proposed.isEmpty() && !proposed.contains(QLatin1Char('/')) &&
            !datasetFolder_.isEmpty())
            proposed = datasetFolder_ + QLatin1Char('/') + proposed;
        const std::optional<QString> chosen =
            chooseFileToSave(state_, FileKind::dataset, QStringLiteral("Data files | *.qd3"),
                             QStringLiteral(".Qd3"), proposed);
        if (!chosen)
            return std::nullopt;
        return toPath(*chosen);
    }
    void tell(const std::string& message) override { dialogs_.message(QString::fromUtf8(message)); }

private:
    AppState& state_;
    ui::Dialogs& dialogs_;
    QString datasetFolder_;
};

} // namespace

DocumentController::DocumentController(AppState& state, QObject* parent)
    : QObject(parent), state_(state) {
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setInterval(state_.recoveryIntervalMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &DocumentController::writePeriodicRecovery);
    recoveryTimer_->start();
    // Back at the saved state: a periodic copy holds changes that are undone now.
    connect(&state_.history, &EditHistory::datasetChanged, this, [this] {
        if (!state_.dataset.modified)
            dropRecoveryCopies(state_.dataset.fileName, true);
    });
}

DocumentController::~DocumentController() = default;

void DocumentController::closeCleanly() {
    // The changes were saved or discarded, and their periodic copy is not kept. After a signal
    // it holds them.
    if (endedBySignal_)
        return;
    recoveryTimer_->stop();
    dropRecoveryCopies(state_.dataset.fileName, true);
}

void DocumentController::writePeriodicRecovery() {
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

void DocumentController::dropRecoveryCopies(const std::string& datasetPath, bool onlyOurs) {
    recovery_.wait();
    // A recovery file this session did not write (one left by a program that was killed)
    // stays until it is offered.
    if (onlyOurs && !periodicCopyMade_)
        return;
    periodicCopyMade_ = false;
    removeRecoveryCopies(datasetPath, state_.programFolder);
}

void DocumentController::newDataset() {
    if (!offerUnsavedChanges())
        return;
    emit closing();
    // The unsaved changes were declined: their periodic copy goes too.
    dropRecoveryCopies(state_.dataset.fileName, true);
    state_.dataset = tess::newDataset();
    showNewDataset();
}

void DocumentController::open() {
    // Changes are offered even when the last read failed part-way and the dataset never
    // counted as loaded: they are the user's work all the same.
    if (!offerUnsavedChanges())
        return;
    // Charts of a dataset that is about to be replaced go, also when the last read failed
    // part-way (and so never counted as loaded) but its partial charts were opened.
    emit closing();
    const std::optional<QString> path =
        chooseFileToOpen(state_, FileKind::dataset, QStringLiteral("Data files: | *.qd3"));
    if (!path)
        return;
    openPath(*path);
}

void DocumentController::openRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        state_.dialogs.message(QStringLiteral("\"") + path +
                               QStringLiteral("\" no longer exists; it is taken off the list of "
                                              "recent files."));
        state_.choices.dropRecent(toPath(path));
        state_.keepChoices();
        emit recentFilesChanged();
        return;
    }
    if (!offerUnsavedChanges())
        return;
    openPath(path);
}

void DocumentController::noteRecent(const std::string& path) {
    state_.choices.noteRecent(path);
    state_.keepChoices();
    emit recentFilesChanged();
}

bool DocumentController::offerUnsavedChanges() {
    emit pendingEditsWanted(false);
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
        save();
        return !ds.modified;
    case ui::Choice::no:
        return true;
    case ui::Choice::cancel:
        break;
    }
    return false;
}

void DocumentController::openPath(const QString& path) {
    emit closing();
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
        noteRecent(file);
    } catch (const FileError& e) {
        state_.dialogs.message(QString::fromUtf8(e.what()));
        // The changes of the dataset read before are gone either way; a partial read is not the
        // user's work, and saving it over its file at exit would cut that file short.
        ds.modified = false;
    }
    showNewDataset();
}

void DocumentController::offerUnnamedRecovery() {
    const RecoveryCopies copies = newerRecoveryCopies("", state_.programFolder);
    for (const std::string& refused : copies.refused)
        state_.dialogs.message(fromPath(refused));
    if (!copies.offered)
        return;
    const QString copy = fromPath(*copies.offered);
    if (!state_.dialogs.question(
            QStringLiteral("Changes to a dataset without a file name were not saved when "
                           "Tessaline was last ended, and were kept in\r\n") +
                copy + QStringLiteral("\r\n\r\nOpen them? (No deletes them.)"),
            QStringLiteral("Unsaved changes found"))) {
        if (!endedBySignal_)
            QFile::remove(copy);
        return;
    }
    std::optional<Dataset> recovered = readOrTell(
        [&] {
            Dataset ds;
            readDataset(ds, *copies.offered);
            return ds;
        },
        QStringLiteral("There is not enough memory to open ") + copy + QLatin1Char('.'));
    if (!recovered)
        return;
    emit closing();
    state_.dataset = std::move(*recovered);
    state_.dataset.fileName.clear();
    // Still to be saved; the copy is this session's from now on, kept until then.
    state_.dataset.modified = true;
    periodicCopyMade_ = true;
    showNewDataset();
}

void DocumentController::showNewDataset() {
    Dataset& ds = state_.dataset;
    applyPeopleSelection(ds);
    applyEventSelection(ds);
    emit statisticsWanted();
    ds.curPerson = 0;
    ds.curEvent = 0;
    computeChartRange(ds);
    state_.history.startAfresh();
    emit opened();
}

bool DocumentController::save() {
    Dataset& ds = state_.dataset;
    const std::string before = ds.fileName;
    DialogSavePrompts prompts(state_, ds.fileName);
    const SaveResult result = saveCommand(ds, prompts);
    if (result.datasetWritten) {
        dropRecoveryCopies(before, false);
        // The history's records name pictures from the old folder: undoing one would bring a
        // name back that no longer finds its file.
        if (result.picturesRenamed) {
            state_.history.startAfresh();
            state_.dialogs.message(QStringLiteral(
                "The pictures named from the dataset's old folder were renamed to find the same "
                "files from its new one; the changes before this save can no longer be "
                "undone."));
        } else
            state_.history.markSaved();
        noteRecent(ds.fileName);
    }
    return !result.datasetWriteFailed;
}

void DocumentController::merge() {
    state_.dialogs.message(QStringLiteral("Select a second file to merge with current file"));
    const std::optional<QString> path =
        chooseFileToOpen(state_, FileKind::dataset, QStringLiteral("Data files: | *.qd3"));
    if (!path)
        return;
    // Edits pending in a chart's entry window belong to the dataset as it was.
    emit pendingEditsWanted(false);
    Dataset& ds = state_.dataset;
    const std::string file = toPath(*path);
    // The merge is made on a copy, which the change then trades for the dataset: a merge can
    // touch every text (a change of encoding), and a failed one leaves nothing half done.
    std::optional<Dataset> merged = readOrTell(
        [&] {
            Dataset copy = ds;
            mergeDataset(copy, file, [this, &file](int people, int events) {
                state_.dialogs.message(fromPath(mergeAnnouncementText(file, people, events)));
            });
            return copy;
        },
        QStringLiteral("There is not enough memory to merge \"") + *path +
            QStringLiteral("\"; the dataset is as it was."));
    if (!merged)
        return;
    state_.history.push(std::make_unique<WholeDatasetChange>(
        "Merge " + displayText(QFileInfo(*path).fileName().toStdString(), TextEncoding::utf8, 40),
        std::move(*merged)));
    emit changedOutsideWindows();
    emit statisticsWanted();
}

void DocumentController::importFile() {
    if (!offerUnsavedChanges())
        return;
    const std::optional<QString> path = chooseFileToOpen(
        state_, FileKind::import,
        QStringLiteral("Spreadsheets and family trees | *.csv;*.ged;*.gedcom;;"
                       "CSV files | *.csv;;GEDCOM files | *.ged;*.gedcom;;All files | *"));
    if (!path)
        return;
    std::optional<ImportResult> imported = readOrTell(
        [&] {
            try {
                return tess::importFile(toPath(*path));
            } catch (const FileError& e) {
                throw FileError("Nothing was imported from " +
                                displayText(QFileInfo(*path).fileName().toStdString(),
                                            TextEncoding::utf8, messageTextLimit) +
                                ": " + e.description());
            }
        },
        QStringLiteral("There is not enough memory to import \"") + *path +
            QStringLiteral("\"; the dataset is as it was."));
    if (!imported)
        return;
    emit closing();
    Dataset& ds = state_.dataset;
    dropRecoveryCopies(ds.fileName, true);
    ds = std::move(imported->dataset);
    // Nothing of it is on disk yet: it is the user's work until it is saved.
    ds.modified = true;
    showNewDataset();
    state_.dialogs.message(QString::fromStdString(importSummary(*imported, toPath(*path))),
                           QStringLiteral("Import"));
}

void DocumentController::exportCsv() {
    emit pendingEditsWanted(false);
    const Dataset& ds = state_.dataset;
    const QString base = ds.fileName.empty() ? QStringLiteral("untitled")
                                             : QFileInfo(fromPath(ds.fileName)).completeBaseName();
    const std::optional<QString> path =
        chooseFileToSave(state_, FileKind::exported, QStringLiteral("CSV files | *.csv"),
                         QStringLiteral(".csv"), base + QStringLiteral(".csv"));
    if (path)
        ui::writeExport(state_.dialogs, *path, formatEntriesCsv(ds));
}

template <class Read>
auto DocumentController::readOrTell(Read read, const QString& outOfMemory)
    -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const FileError& e) {
        state_.dialogs.message(QString::fromUtf8(e.what()));
    } catch (const std::bad_alloc&) {
        state_.dialogs.message(outOfMemory);
    }
    return std::nullopt;
}

void DocumentController::convert() {
    Dataset& ds = state_.dataset;
    // The converted file replaces the dataset in memory: its changes are offered first.
    if (!offerUnsavedChanges())
        return;
    const std::optional<QString> path =
        chooseFileToOpen(state_, FileKind::legacy, QStringLiteral("Convert files |*.qd2"));
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
    std::optional<Dataset> converted = readOrTell(
        [&] { return convertLegacyFile(legacy, target); },
        QStringLiteral("There is not enough memory to convert \"") + *path + QStringLiteral("\"."));
    if (!converted)
        return;
    emit closing();
    dropRecoveryCopies(ds.fileName, true);
    ds = std::move(*converted);
    showNewDataset();
    noteRecent(target);
    state_.dialogs.message(QStringLiteral("Conversion complete"));
}

void DocumentController::endOnSignal() {
    endedBySignal_ = true;
    // Every entry window, the modal ones too, hands over what it holds.
    emit pendingEditsWanted(true);
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

} // namespace tess
