#include "core/save_command.h"

#include "core/file_error.h"
#include "core/picture_paths.h"
#include "core/qd3_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace tess {

namespace fs = std::filesystem;

bool selectionHidesEntries(const Dataset& ds) {
    return ds.numPeople > ds.numSelPeople || ds.numEvents > ds.numSelEvents;
}

namespace {

bool sameFile(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    std::error_code ec;
    return !b.empty() && fs::equivalent(a, b, ec) && !ec;
}

// Writes with the notice first; a failure is told and reported as false. Written into another
// folder, the pictures named relative to the dataset's are renamed to name the same files from
// there; the dataset in memory takes the new names when it is the dataset's own file (keep,
// which then says whether it did).
bool writeTold(Dataset& ds, const std::string& path, SavePrompts& prompts,
               const WriteFunction& write, bool* keep) {
    prompts.tell(savingMessage(ds, path));
    try {
        if (!ds.fileName.empty() &&
            fs::path(ds.fileName).parent_path() != fs::path(path).parent_path()) {
            Dataset moved = ds;
            if (rebasePicturePaths(moved, ds.fileName, path)) {
                writeDataset(moved, path, write);
                ds.saveSelectedOnly = boolFalse;
                if (keep)
                    ds = std::move(moved);
                return true;
            }
        }
        if (keep)
            *keep = false;
        writeDataset(ds, path, write);
        return true;
    } catch (const FileError& e) {
        prompts.tell(e.description());
        return false;
    }
}

} // namespace

SaveResult saveCommand(Dataset& ds, SavePrompts& prompts, const WriteFunction& write) {
    SaveResult result;
    if (selectionHidesEntries(ds) && prompts.saveSelectedOnly()) {
        const std::optional<std::string> path = prompts.saveAs("select.qd3");
        if (!path)
            return result;
        if (sameFile(*path, ds.fileName)) {
            // The selection would replace the whole dataset's file, losing every hidden entry.
            prompts.tell("The selected items are not saved over the dataset's own file \"" + *path +
                         "\"; choose another name for them.");
        } else {
            ds.saveSelectedOnly = boolTrue;
            // The selection file is a copy: the dataset keeps its own file and its changes.
            result.selectionWritten = writeTold(ds, *path, prompts, write, nullptr);
        }
    }
    // A dataset without a file (a new one) is offered for saving even unchanged: it is
    // nowhere on disk yet.
    if (!ds.modified && !ds.fileName.empty())
        return result;
    const std::optional<std::string> path =
        prompts.saveAs(ds.fileName.empty() ? "untitled.qd3" : ds.fileName);
    if (!path)
        return result;
    ds.saveSelectedOnly = boolFalse;
    bool renamed = true;
    if (writeTold(ds, *path, prompts, write, &renamed)) {
        result.picturesRenamed = renamed;
        ds.fileName = *path;
        ds.modified = false;
        result.datasetWritten = true;
    } else {
        result.datasetWriteFailed = true;
    }
    return result;
}

std::string recoveryPath(const std::string& datasetPath) {
    return datasetPath + ".recovery";
}

std::string recoveryPathIn(const std::string& folder, const std::string& datasetPath) {
    std::string name = fs::path(datasetPath).filename().string();
    if (name.empty())
        name = "dataset.qd3";
    // Datasets of one name in different folders share the fallback folder: the name carries a
    // hash of the full path, so that no dataset is offered, or loses, another one's changes.
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const char c : datasetPath)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char tag[12];
    std::snprintf(tag, sizeof tag, ".%08x", static_cast<unsigned>(hash ^ (hash >> 32)));
    // Kept within the file system's name limit, however long the dataset's own name is.
    if (name.size() > 200)
        name.resize(200);
    return (fs::path(folder) / (name + tag + ".recovery")).string();
}

namespace {
// A dataset may be private, and the program folder shared: only the user reads a recovery file.
constexpr mode_t recoveryFileMode = 0600;
} // namespace

std::string recoveryText(const Dataset& ds) {
    if (ds.saveSelectedOnly == 0)
        return formatDataset(ds);
    Dataset copy = ds;
    copy.saveSelectedOnly = boolFalse;
    return formatDataset(copy);
}

std::string writeRecoveryText(const std::string& datasetPath, std::string_view text,
                              const std::string& fallbackFolder) {
    std::string firstError;
    if (!datasetPath.empty()) {
        const std::string beside = recoveryPath(datasetPath);
        try {
            writeFreshFile(beside, text, recoveryFileMode);
            return beside;
        } catch (const FileError& e) {
            firstError = e.description();
        }
    }
    const std::string fallback = recoveryPathIn(fallbackFolder, datasetPath);
    try {
        writeFreshFile(fallback, text, recoveryFileMode);
        return fallback;
    } catch (const FileError& e) {
        throw FileError(firstError.empty() ? e.description() : firstError + "\n" + e.description());
    }
}

std::string writeRecoveryCopy(const Dataset& ds, const std::string& fallbackFolder) {
    return writeRecoveryText(ds.fileName, recoveryText(ds), fallbackFolder);
}

namespace {

// Why a recovery file cannot be taken for the user's own changes; empty when it can.
std::string untrusted(const struct stat& st) {
    if (S_ISLNK(st.st_mode))
        return "it is a symbolic link";
    if (!S_ISREG(st.st_mode))
        return "it is not a regular file";
    if (st.st_uid != ::geteuid())
        return "it belongs to another user";
    if (st.st_mode & S_IWOTH)
        return "other users may change it";
    return {};
}

bool newer(const struct stat& a, const struct stat& b) {
    return a.st_mtim.tv_sec != b.st_mtim.tv_sec ? a.st_mtim.tv_sec > b.st_mtim.tv_sec
                                                : a.st_mtim.tv_nsec > b.st_mtim.tv_nsec;
}

} // namespace

RecoveryCopies newerRecoveryCopies(const std::string& datasetPath,
                                   const std::string& fallbackFolder) {
    RecoveryCopies found;
    struct stat dataset {};
    const bool datasetExists = ::stat(datasetPath.c_str(), &dataset) == 0;
    for (const std::string& candidate :
         {recoveryPath(datasetPath), recoveryPathIn(fallbackFolder, datasetPath)}) {
        // A dataset without a file has its copy only in the fallback folder.
        if (datasetPath.empty() && candidate == recoveryPath(datasetPath))
            continue;
        // The name itself, not what a link planted there points to.
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0 || (datasetExists && !newer(st, dataset)))
            continue;
        if (const std::string why = untrusted(st); !why.empty())
            found.refused.push_back("The recovery copy " + candidate + " is not offered: " + why +
                                    ".");
        else if (!found.offered)
            found.offered = candidate;
    }
    return found;
}

void removeRecoveryCopies(const std::string& datasetPath, const std::string& fallbackFolder) {
    for (const std::string& candidate :
         {recoveryPath(datasetPath), recoveryPathIn(fallbackFolder, datasetPath)}) {
        // A dataset without a file (a new one) has its copy only in the fallback folder; a
        // ".recovery" in the current folder is not its.
        if (datasetPath.empty() && candidate == recoveryPath(datasetPath))
            continue;
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) == 0 && untrusted(st).empty())
            ::unlink(candidate.c_str());
    }
}

} // namespace tess
