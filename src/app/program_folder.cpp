#include "app/program_folder.h"

#include <filesystem>
#include <system_error>

namespace tess {

namespace fs = std::filesystem;

ProgramFolder chooseProgramFolder(const std::string& executableFolder,
                                  const std::string& dataHome) {
    std::error_code ec;
    const fs::path own(executableFolder);
    const fs::path shared = own.parent_path() / "share" / "tessaline";
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
    for (const fs::directory_entry& entry : fs::directory_iterator(shared, ec)) {
        std::error_code fileError;
        if (!entry.is_regular_file(fileError))
            continue;
        const fs::path target = user / entry.path().filename();
        if (fs::exists(target, fileError) || fs::is_symlink(target, fileError))
            continue;
        // Copied under a temporary name and renamed, so that a start cut short never leaves a
        // half-copied file that the next start would take for the user's own.
        const fs::path partial = user / (".partial-" + entry.path().filename().string());
        if (fs::copy_file(entry.path(), partial, fs::copy_options::overwrite_existing, fileError)) {
            fs::rename(partial, target, fileError);
            if (!fileError) {
                result.seeded.push_back(entry.path().filename().string());
                continue;
            }
        }
        fs::remove(partial, fileError);
        if (result.problem.empty())
            result.problem =
                "Cannot copy \"" + entry.path().string() + "\" to \"" + user.string() + "\"";
    }
    return result;
}

} // namespace tess
