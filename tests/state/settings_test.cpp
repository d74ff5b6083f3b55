#include "state/settings.h"

#include "support/test.h"

// Written in print zones and read back whole; linked scrolling turned off is a fourth line,
// older three-line files read as on, and anything but a plain 0 there leaves it on. Each damaged
// file, and a missing one, as the settings it gives, written again: each line or value that is
// not sound keeps its default.
TEST(SettingsFile, WrittenInPrintZonesAndDamagedFilesKeepWhatIsSound) {
    Settings s;
    s.peopleWindowRect = WindowRect{1000, 2000, 9000, 6000};
    s.eventsWindowRect = WindowRect{-300, 0, 12345, 678};
    s.peopleColorBy = 4;
    s.eventsColorBy = 6;
    s.eventsBackColor = 0;
    TempDir dir;
    writeSettings(dir.file("zem.ini"), s);
    EXPECT_EQ(readSettings(dir.file("zem.ini")), s);
    std::string read = "written:\r\n" + formatSettings(s);
    s.linkScrolling = false;
    EXPECT_EQ(parseSettings(formatSettings(s)), s);
    for (const char* fourth : {"", " -1 ", "zero", "0 0", "\x01"})
        EXPECT_TRUE(parseSettings(formatSettings(Settings()) + fourth).linkScrolling) << fourth;
    read += "without linked scrolling:\r\n" + formatSettings(s) + "missing:\r\n" +
            formatSettings(readSettings("/no/such/zem.ini"));
    for (const auto& file : dataFiles("broken/ini"))
        read += file.filename().string() + ":\r\n" + formatSettings(readSettings(file.string()));
    expectGolden(read, "expected/broken_ini.txt");
}
