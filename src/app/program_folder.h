#pragma once

#include <string>
#include <vector>

namespace tess {

// The folder the program reads "zem.ini", "title.bmp", "zem2help.TXT" and pictures from, and
// writes its settings to.
struct ProgramFolder {
    std::string path;
    // Files copied into the per-user folder on this start: new ones, and ones an upgrade
    // changed that the user had not.
    std::vector<std::string> seeded;
    // Why the per-user folder could not be made or filled.
    std::string problem;
};

// The user's data folder as the XDG rules give it: XDG_DATA_HOME when it is an absolute path,
// otherwise HOME/.local/share; empty without either.
std::string xdgDataHome(const char* xdgDataHomeVariable, const char* homeVariable);

// A copy run from where it was built or unpacked, with the help text beside it, keeps its own
// folder. An installed copy (its files in sharedFromExecutable, a folder relative to its own)
// uses dataHome/tessaline and brings it up to date with the shared files: a missing file is
// copied, and one the user never changed follows a newer shared one; a file the user changed
// (the settings above all) is never replaced. When no per-user folder can be had, the shared
// folder is read as it is.
ProgramFolder chooseProgramFolder(const std::string& executableFolder,
                                  const std::string& sharedFromExecutable,
                                  const std::string& dataHome);

} // namespace tess
