#pragma once

#include "core/dataset.h"
#include "core/file_io.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

// What the save command asks and tells. The main window answers through its dialogs; tests
// answer from a script.
class SavePrompts {
public:
    virtual ~SavePrompts() = default;
    // "Save only selected items to new file?" (titled "Dataset selected"); true for Yes.
    virtual bool saveSelectedOnly() = 0;
    // The Save As dialog with a proposed file name; the chosen path, or nothing when cancelled.
    virtual std::optional<std::string> saveAs(const std::string& proposedName) = 0;
    // An OK box: the notice before a write, or why a write failed.
    virtual void tell(const std::string& message) = 0;
};

struct SaveResult {
    bool selectionWritten = false;
    // The whole dataset reached its file: the changes are saved.
    bool datasetWritten = false;
    // Writing the whole dataset was tried and failed (the user was told why): a command that
    // would now drop the dataset in memory must not go on.
    bool datasetWriteFailed = false;
    // Written into another folder, pictures named from the old one were renamed to name the
    // same files: the records the undo history holds still have the old names.
    bool picturesRenamed = false;
};

// True when a selection hides people or events.
bool selectionHidesEntries(const Dataset& ds);

// The save command. With hidden entries it first offers to write only the selected ones to a
// copy (never over the dataset's own file); then, with unsaved changes or no file yet, it writes
// the whole dataset through the Save As dialog, proposing its file name. Only a whole dataset
// written to its file clears modified: a cancelled dialog, a failed write or a selection copy
// leaves the changes unsaved, so they are offered again at exit.
SaveResult saveCommand(Dataset& ds, SavePrompts& prompts, const WriteFunction& write = {});

// Where the whole dataset goes when the program is ended while it holds unsaved changes:
// beside its file, as NAME.qd3.recovery.
std::string recoveryPath(const std::string& datasetPath);
// Its place in another folder, for when the dataset's own folder cannot be written: the name
// there also carries a short hash of the dataset's full path.
std::string recoveryPathIn(const std::string& folder, const std::string& datasetPath);

// Writes the whole dataset to its recovery file, beside its file or else in fallbackFolder,
// as a new file readable by the user alone (never through what holds the name before), and returns
// the path written. Throws FileError when neither can be written.
std::string writeRecoveryCopy(const Dataset& ds, const std::string& fallbackFolder);
// The same in two steps, so that the writing can go to another thread: the whole dataset's file
// text (whatever saveSelectedOnly says), and its writing for a dataset at datasetPath.
std::string recoveryText(const Dataset& ds);
std::string writeRecoveryText(const std::string& datasetPath, std::string_view text,
                              const std::string& fallbackFolder);

// The recovery files of the dataset at datasetPath that are newer than the dataset file (or
// whose dataset file is gone), beside it or in fallbackFolder. Only a regular file of the
// user's own that no other user may change is offered, the first found; any other is refused
// with the reason, since its contents may be someone else's and not the user's changes.
struct RecoveryCopies {
    std::optional<std::string> offered;
    // "The recovery copy NAME is not offered: REASON." for each refused one.
    std::vector<std::string> refused;
};
RecoveryCopies newerRecoveryCopies(const std::string& datasetPath,
                                   const std::string& fallbackFolder);

// Removes the dataset's recovery files (the user's own) once their changes are in its file.
void removeRecoveryCopies(const std::string& datasetPath, const std::string& fallbackFolder);

} // namespace tess
