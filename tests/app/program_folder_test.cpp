#include "app/program_folder.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tess;
using namespace testing_support;
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
    auto choose = [&](const std::string& dataHome) {
        return chooseProgramFolder(bin, "../share/tessaline", dataHome);
    };

    // Installed: the user's folder gets every shared file once.
    ProgramFolder f = choose(home);
    EXPECT_EQ(f.path, user);
    EXPECT_EQ(f.seeded.size(), 4u);
    EXPECT_EQ(f.problem, "");
    EXPECT_EQ(readBytes(user + "/zem2help.TXT"), "zem2help.TXT");
    EXPECT_TRUE(choose(home).seeded.empty());

    // An upgrade reaches the files the user never changed; the user's own settings stay, and
    // what the user deleted comes back.
    writeBytes(user + "/zem.ini", "mine");
    fs::remove(user + "/title.bmp");
    writeBytes((shared / "zem2help.TXT").string(), "newer help");
    writeBytes((shared / "zem.ini").string(), "newer settings");
    f = choose(home);
    EXPECT_EQ(f.seeded, (std::vector<std::string>{"title.bmp", "zem2help.TXT"}));
    EXPECT_EQ(readBytes(user + "/zem2help.TXT"), "newer help");
    EXPECT_EQ(readBytes(user + "/zem.ini"), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(user), fs::directory_iterator()), 5); // list

    // No folder can be made for the user: the shared one is read, and the user is told why.
    const std::string blocked = dir.file("blocked");
    writeBytes(blocked, "a file where the folder would go");
    f = choose(blocked);
    EXPECT_EQ(f.path, shared.string());
    EXPECT_NE(f.problem.find("Cannot make the folder"), std::string::npos);

    // A copy with its help text beside it, as in the build folder, keeps its own folder; so
    // does one with no shared files.
    writeBytes(bin + "/zem2help.TXT", "help");
    EXPECT_EQ(choose(home).path, bin);
    EXPECT_EQ(chooseProgramFolder(dir.file("elsewhere"), "../share/tessaline", home).path,
              dir.file("elsewhere"));

    // The data home: an absolute XDG_DATA_HOME, else the home's .local/share; a relative one
    // would move with the current folder, and is not taken.
    EXPECT_EQ(xdgDataHome("/x/data", "/home/u"), "/x/data");
    EXPECT_EQ(xdgDataHome("rel", "/home/u"), "/home/u/.local/share");
    EXPECT_EQ(xdgDataHome(nullptr, "/home/u"), "/home/u/.local/share");
    EXPECT_EQ(xdgDataHome("", nullptr), "");
}
