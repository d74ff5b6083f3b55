#include "state/settings.h"
#include "state/user_choices.h"

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

// Six recent files at most, newest first, none twice; a path no line can hold is not kept.
// Read back, lines that are not "key=value", recent files past the sixth and values no line
// could hold are left out, and keys of later versions kept.
TEST(ChoicesFile, KeepsSixRecentFilesTheFoldersAndWhatItDoesNotKnow) {
    UserChoices c;
    for (int i = 1; i <= 8; ++i)
        c.noteRecent("/d/" + std::to_string(i) + ".qd3");
    c.noteRecent("/d/5.qd3");
    c.noteRecent("/d/bad\nname.qd3");
    c.noteFolderOf(FileKind::import, "/home/u/family.ged");
    c.noteFolderOf(FileKind::dataset, "/top.qd3");
    EXPECT_EQ(c.recent, (std::vector<std::string>{"/d/5.qd3", "/d/8.qd3", "/d/7.qd3", "/d/6.qd3",
                                                  "/d/4.qd3", "/d/3.qd3"}));
    EXPECT_EQ(c.folder(FileKind::import), "/home/u");
    EXPECT_EQ(c.folder(FileKind::dataset), "/");
    EXPECT_EQ(c.folder(FileKind::exported), "");
    TempDir dir;
    writeUserChoices(dir.file("choices.ini"), c);
    EXPECT_EQ(readUserChoices(dir.file("choices.ini")), c);

    std::string text = "garbage\r\nrecent=/a b.qd3 \r\nrecent=/a b.qd3 \r\n=x\r\nzoom.people=5\r\n";
    for (int i = 1; i <= 7; ++i)
        text += "recent=/" + std::to_string(i) + "\n";
    text += "folder.import=" + std::string(5000, 'x') + "\nfolder.export=/e\n";
    UserChoices read = parseUserChoices(text);
    EXPECT_EQ(read.recent, (std::vector<std::string>{"/a b.qd3 ", "/1", "/2", "/3", "/4", "/5"}));
    EXPECT_EQ(read.values,
              (std::map<std::string, std::string>{{"folder.export", "/e"}, {"zoom.people", "5"}}));
    EXPECT_EQ(readUserChoices("/no/such/choices.ini"), UserChoices());
    EXPECT_EQ(UserChoices().yearStyle(), YearStyle::readable);
    EXPECT_EQ(parseUserChoices("years.signed=1\n").yearStyle(), YearStyle::signedNumbers);
}
