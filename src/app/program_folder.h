#pragma once

#include <string>
#include <vector>

namespace tess {

// The folder the program reads "zem.ini", "title.bmp", "zem2help.TXT" and pictures from, and
// writes its settings to.
struct ProgramFolder {
    std::string path;
    // Files copied into a new per-user folder on this start.
    std::vector<std::string> seeded;
    // Why the per-user folder could not be made; the shared folder is used read-only then.
    std::string problem;
};

// A copy run from where it was built or unpacked, with the help text beside it, keeps its own
// folder. An installed copy (its files in ../share/tessaline, beside a folder it may not write)
// uses dataHome/tessaline, and copies there whatever of the shared files is missing: the
// user's own settings and changed files are never replaced.
ProgramFolder chooseProgramFolder(const std::string& executableFolder, const std::string& dataHome);

} // namespace tess
