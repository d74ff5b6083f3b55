#include "core/save_command.h"

#include "core/file_error.h"
#include "core/qd3_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

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

// Writes with the notice first; a failure is told and reported as false.
bool writeTold(Dataset& ds, const std::string& path, SavePrompts& prompts,
               const WriteFunction& write) {
    prompts.tell(savingMessage(ds, path));
    try {
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
            result.selectionWritten = writeTold(ds, *path, prompts, write);
        }
    }
    if (!ds.modified)
        return result;
    const std::optional<std::string> path = prompts.saveAs(ds.fileName);
    if (!path)
        return result;
    ds.saveSelectedOnly = boolFalse;
    if (writeTold(ds, *path, prompts, write)) {
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
            writeFileAtomic(beside, text, {}, recoveryFileMode);
            return beside;
        } catch (const FileError& e) {
            firstError = e.description();
        }
    }
    const std::string fallback = recoveryPathIn(fallbackFolder, datasetPath);
    try {
        writeFileAtomic(fallback, text, {}, recoveryFileMode);
        return fallback;
    } catch (const FileError& e) {
        throw FileError(firstError.empty() ? e.description() : firstError + "\n" + e.description());
    }
}

std::string writeRecoveryCopy(const Dataset& ds, const std::string& fallbackFolder) {
    return writeRecoveryText(ds.fileName, recoveryText(ds), fallbackFolder);
}

std::optional<std::string> newerRecoveryCopy(const std::string& datasetPath,
                                             const std::string& fallbackFolder) {
    std::error_code ec;
    const fs::file_time_type datasetTime = fs::last_write_time(datasetPath, ec);
    const bool datasetExists = !ec;
    for (const std::string& candidate :
         {recoveryPath(datasetPath), recoveryPathIn(fallbackFolder, datasetPath)}) {
        std::error_code ec2;
        if (!fs::is_regular_file(candidate, ec2))
            continue;
        const fs::file_time_type t = fs::last_write_time(candidate, ec2);
        if (!ec2 && (!datasetExists || t > datasetTime))
            return candidate;
    }
    return std::nullopt;
}

void removeRecoveryCopies(const std::string& datasetPath, const std::string& fallbackFolder) {
    for (const std::string& candidate :
         {recoveryPath(datasetPath), recoveryPathIn(fallbackFolder, datasetPath)}) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec))
            fs::remove(candidate, ec);
    }
}

} // namespace tess
