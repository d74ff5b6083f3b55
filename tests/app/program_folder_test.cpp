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
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "tessaline");
    for (const char* name : {"zem2help.TXT", "zem.ini", "title.bmp", "sample.qd3"})
        writeBytes((prefix / "share" / "tessaline" / name).string(), name);
    const std::string bin = (prefix / "bin").string();
    const std::string home = dir.file("home");

    // Installed: the user's folder gets every shared file once.
    ProgramFolder f = chooseProgramFolder(bin, home);
    EXPECT_EQ(f.path, home + "/tessaline");
    EXPECT_EQ(f.seeded.size(), 4u);
    EXPECT_EQ(f.problem, "");
    EXPECT_EQ(readBytes(home + "/tessaline/zem2help.TXT"), "zem2help.TXT");

    // The user's own settings stay; only what is missing comes back.
    writeBytes(home + "/tessaline/zem.ini", "mine");
    fs::remove(home + "/tessaline/title.bmp");
    f = chooseProgramFolder(bin, home);
    EXPECT_EQ(f.seeded, std::vector<std::string>{"title.bmp"});
    EXPECT_EQ(readBytes(home + "/tessaline/zem.ini"), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(home + "/tessaline"), fs::directory_iterator()),
              4);

    // No folder can be made for the user: the shared one is read, and the user is told why.
    const std::string blocked = dir.file("blocked");
    writeBytes(blocked, "a file where the folder would go");
    f = chooseProgramFolder(bin, blocked);
    EXPECT_EQ(f.path, (prefix / "share" / "tessaline").string());
    EXPECT_NE(f.problem.find("Cannot make the folder"), std::string::npos);

    // A copy with its help text beside it, as in the build folder, keeps its own folder; so
    // does one with no shared files.
    writeBytes(bin + "/zem2help.TXT", "help");
    EXPECT_EQ(chooseProgramFolder(bin, home).path, bin);
    EXPECT_EQ(chooseProgramFolder(dir.file("elsewhere"), home).path, dir.file("elsewhere"));
}
