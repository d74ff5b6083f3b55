#include "app/program_folder.h"

#include "core/file_error.h"
#include "core/file_io.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <system_error>

#include <unistd.h>

namespace tess {

namespace fs = std::filesystem;

namespace {

// What was last copied into the user's folder, by name: the copy's fingerprint. A file whose
// fingerprint still matches is the program's, not the user's, and may follow an upgrade.
constexpr const char* seededListName = ".seeded";

std::string fingerprint(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::map<std::string, std::string> readSeededList(const fs::path& file) {
    std::map<std::string, std::string> list;
    try {
        std::istringstream in(readWholeFile(file.string(), 1 << 20));
        std::string print, name;
        while (in >> print && std::getline(in >> std::ws, name))
            list[name] = print;
    } catch (const FileError&) {
    }
    return list;
}

std::string readOrEmpty(const fs::path& file) {
    try {
        return readWholeFile(file.string(), size_t{256} << 20);
    } catch (const FileError&) {
        return {};
    }
}

} // namespace

std::string xdgDataHome(const char* xdgDataHomeVariable, const char* homeVariable) {
    if (xdgDataHomeVariable && fs::path(xdgDataHomeVariable).is_absolute())
        return xdgDataHomeVariable;
    if (homeVariable && fs::path(homeVariable).is_absolute())
        return (fs::path(homeVariable) / ".local" / "share").string();
    return {};
}

ProgramFolder chooseProgramFolder(const std::string& executableFolder,
                                  const std::string& sharedFromExecutable,
                                  const std::string& dataHome) {
    std::error_code ec;
    const fs::path own(executableFolder);
    const fs::path shared = (own / sharedFromExecutable).lexically_normal();
    if (fs::exists(own / "zem2help.TXT", ec) || !fs::is_directory(shared, ec) || dataHome.empty())
        return {executableFolder, {}, {}};

    ProgramFolder result;
    const fs::path user = fs::path(dataHome) / "tessaline";
    fs::create_directories(user, ec);
    if (ec || !fs::is_directory(user, ec)) {
        result.path = shared.string();
        result.problem = "Cannot make the folder \"" + user.string() +
                         "\": " + (ec ? ec.message() : std::string("it is not a folder"));
        return result;
    }
    result.path = user.string();
    const fs::path listFile = user / seededListName;
    std::map<std::string, std::string> seeded = readSeededList(listFile);
    bool listChanged = false;
    for (const fs::directory_entry& entry : fs::directory_iterator(shared, ec)) {
        std::error_code fileError;
        if (!entry.is_regular_file(fileError))
            continue;
        const std::string name = entry.path().filename().string();
        const fs::path target = user / name;
        const bool present = fs::exists(target, fileError) || fs::is_symlink(target, fileError);
        const std::string bytes = readOrEmpty(entry.path());
        const std::string print = fingerprint(bytes);
        if (present) {
            const auto known = seeded.find(name);
            // Kept: the user's own file, or the program's copy already up to date.
            if (known == seeded.end() || known->second == print ||
                fs::is_symlink(target, fileError) ||
                fingerprint(readOrEmpty(target)) != known->second)
                continue;
        }
        // Written under a name of this start's own and moved into place, so that a start cut
        // short leaves no half-copied file, and two starts at once never take each other's.
        const fs::path partial = user / (".partial-" + std::to_string(::getpid()) + "-" + name);
        fileError.clear(); // what the look-ups above left there
        try {
            writeFileAtomic(partial.string(), bytes);
            if (present)
                fs::rename(partial, target, fileError);
            else if (::link(partial.c_str(), target.c_str()) != 0 && errno != EEXIST)
                fileError = std::error_code(errno, std::generic_category());
        } catch (const FileError&) {
            fileError = std::make_error_code(std::errc::io_error);
        }
        fs::remove(partial, ec);
        if (fileError) {
            if (result.problem.empty())
                result.problem = "Cannot copy \"" + entry.path().string() + "\" to \"" +
                                 user.string() + "\": " + fileError.message();
            continue;
        }
        result.seeded.push_back(name);
        seeded[name] = print;
        listChanged = true;
    }
    if (listChanged) {
        std::string list;
        for (const auto& [name, print] : seeded)
            list += print + " " + name + "\n";
        try {
            writeFileAtomic(listFile.string(), list);
        } catch (const FileError&) {
        }
    }
    return result;
}

} // namespace tess
