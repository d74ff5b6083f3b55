#include "state/settings.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tess;
using namespace testing_support;

TEST(SettingsFile, WrittenInPrintZones) {
    Settings s;
    s.peopleWindowRect = WindowRect{1000, 2000, 9000, 6000};
    s.eventsWindowRect = WindowRect{-300, 0, 12345, 678};
    s.peopleColorBy = 4;
    s.eventsColorBy = 6;
    s.eventsBackColor = 0;
    EXPECT_EQ(formatSettings(s), " 1000          2000          9000          6000 \r\n"
                                 "-300           0             12345         678 \r\n"
                                 " 4             6             16777215      0 \r\n");
    TempDir dir;
    writeSettings(dir.file("zem.ini"), s);
    EXPECT_EQ(readSettings(dir.file("zem.ini")), s);

    // Linked scrolling turned off is a fourth line; older three-line files read as on, and
    // anything but a plain 0 there leaves it on.
    s.linkScrolling = false;
    EXPECT_TRUE(formatSettings(s).ends_with("\r\n 0 \r\n"));
    EXPECT_EQ(parseSettings(formatSettings(s)), s);
    for (const char* fourth : {"", " -1 ", "zero", "0 0", "\x01"})
        EXPECT_TRUE(parseSettings(formatSettings(Settings()) + fourth).linkScrolling) << fourth;
}

// Each damaged file, and a missing one, as the settings it gives, written again: each line or
// value that is not sound keeps its default.
TEST(SettingsFile, DamagedFilesKeepWhatIsSoundAndDefaultTheRest) {
    std::string read = "missing:\r\n" + formatSettings(readSettings("/no/such/zem.ini"));
    for (const auto& file : dataFiles("broken/ini"))
        read += file.filename().string() + ":\r\n" + formatSettings(readSettings(file.string()));
    expectGolden(read, "expected/broken_ini.txt");
}
