#include "app/program_folder.h"

#include "support/test.h"

namespace fs = std::filesystem;

TEST(ProgramFolder, OwnFolderUnlessInstalledThenSeededPerUser) {
    TempDir dir;
    const fs::path prefix = dir.path() / "usr";
    const fs::path shared = prefix / "share" / "tessaline";
    fs::create_directories(prefix / "bin");
    fs::create_directories(shared);
    for (const char* name : {"zem2help.TXT", "zem.ini", "title.bmp", "sample.qd3"})
        writeBytes((shared / name).string(), name);
    const std::string bin = (prefix / "bin").string();
    const std::string home = dir.file("home");
    const std::string user = home + "/tessaline";
    std::string log;
    auto choose = [&](const std::string& dataHome, const std::string& folder) {
        const ProgramFolder f = chooseProgramFolder(folder, "../share/tessaline", dataHome);
        log += f.path.substr(dir.path().string().size()) + ":";
        for (const std::string& name : std::set<std::string>(f.seeded.begin(), f.seeded.end()))
            log += " " + name;
        log += (f.problem.empty() ? "" : "\n  " + f.problem.substr(0, 22)) + "\n";
    };

    // Installed: the user's folder gets every shared file once (their contents are listed below).
    choose(home, bin);
    choose(home, bin);
    // An upgrade reaches the files the user never changed; the user's own settings stay, and
    // what the user deleted comes back.
    writeBytes(user + "/zem.ini", "mine");
    fs::remove(user + "/title.bmp");
    writeBytes((shared / "zem2help.TXT").string(), "newer help");
    writeBytes((shared / "zem.ini").string(), "newer settings");
    choose(home, bin);
    for (const auto& name : std::set<fs::path>(fs::directory_iterator(user), {}))
        log += name.filename().string() + (name.filename().string()[0] == '.'
                                               ? "\n"
                                               : " holds " + readBytes(name.string()) + "\n");
    // No folder can be made for the user: the shared one is read, and the user is told why.
    writeBytes(dir.file("blocked"), "a file where the folder would go");
    choose(dir.file("blocked"), bin);
    // A copy with its help text beside it, as in the build folder, keeps its own folder; so
    // does one with no shared files.
    writeBytes(bin + "/zem2help.TXT", "help");
    choose(home, bin);
    choose(home, dir.file("elsewhere"));
    // The data home: an absolute XDG_DATA_HOME, else the home's .local/share; a relative one
    // would move with the current folder, and is not taken.
    log += xdgDataHome("/x/data", "/home/u") + " " + xdgDataHome("rel", "/home/u") + " " +
           xdgDataHome(nullptr, "/home/u") + " '" + xdgDataHome("", nullptr) + "'\n";
    expectGolden(log, "expected/program_folder.txt");
}
