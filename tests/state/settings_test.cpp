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
    s.peopleBackColor = 16777215;
    s.eventsBackColor = 0;
    EXPECT_EQ(formatSettings(s), " 1000          2000          9000          6000 \r\n"
                                 "-300           0             12345         678 \r\n"
                                 " 4             6             16777215      0 \r\n");
    EXPECT_EQ(parseSettings(formatSettings(s)), s);

    TempDir dir;
    writeSettings(dir.file("zem.ini"), s);
    EXPECT_EQ(readSettings(dir.file("zem.ini")), s);

    // Linked scrolling turned off is a fourth line; older three-line files read as on, and
    // anything but a plain 0 there leaves it on.
    EXPECT_TRUE(s.linkScrolling);
    s.linkScrolling = false;
    EXPECT_EQ(formatSettings(s).substr(formatSettings(s).size() - 5), " 0 \r\n");
    EXPECT_EQ(parseSettings(formatSettings(s)), s);
    for (const char* fourth : {"", " -1 ", "zero", "0 0", "\x01"})
        EXPECT_TRUE(
            parseSettings(std::string("1 2 3 4\n1 2 3 4\n3 5 0 0\n") + fourth).linkScrolling)
            << fourth;
}

TEST(SettingsFile, DamagedFilesFallBackToDefaultsLineByLine) {
    const Settings defaults;
    EXPECT_FALSE(defaults.peopleWindowRect);
    EXPECT_EQ(defaults.peopleColorBy, kindFactions);
    EXPECT_EQ(defaults.eventsColorBy, kindNations);
    EXPECT_EQ(defaults.peopleBackColor, 0xFFFFFF);

    EXPECT_EQ(readSettings("/no/such/zem.ini"), defaults);
    EXPECT_EQ(parseSettings(""), defaults);
    EXPECT_EQ(parseSettings("\x01\xff garbage \r\n\r\n"), defaults);

    // A short file: the first line counts, the rest keep their defaults.
    Settings s = parseSettings("100 200 3000 4000");
    EXPECT_EQ(s.peopleWindowRect, (WindowRect{100, 200, 3000, 4000}));
    EXPECT_FALSE(s.eventsWindowRect);
    EXPECT_EQ(s.peopleColorBy, kindFactions);

    // Commas and blanks both separate; three or five values, words, and sizes of zero or less
    // do not make a rectangle.
    s = parseSettings("1,2,3,4\n1 2 3\n4,5,0,0\n");
    EXPECT_EQ(s.peopleWindowRect, (WindowRect{1, 2, 3, 4}));
    EXPECT_FALSE(s.eventsWindowRect);
    s = parseSettings("1 2 3 4 5\n1 two 3 4\n3 6 255 65280\n");
    EXPECT_FALSE(s.peopleWindowRect);
    EXPECT_FALSE(s.eventsWindowRect);
    EXPECT_EQ(s.peopleColorBy, 3);
    EXPECT_EQ(s.eventsColorBy, 6);
    EXPECT_EQ(s.peopleBackColor, 255);
    EXPECT_EQ(s.eventsBackColor, 65280);
    s = parseSettings("0 0 -5 100\n0 0 99999999999 100\n7 2 -1 99999999\n");
    EXPECT_FALSE(s.peopleWindowRect);
    EXPECT_FALSE(s.eventsWindowRect);
    EXPECT_EQ(s.peopleColorBy, kindFactions);
    EXPECT_EQ(s.eventsColorBy, kindNations);
    EXPECT_EQ(s.peopleBackColor, 0xFFFFFF);
    EXPECT_EQ(s.eventsBackColor, 0xFFFFFF);
}

TEST(SettingsFile, HostileFilesKeepWhatIsSoundAndDefaultTheRest) {
    const WindowRect people{1000, 2000, 9000, 6000};
    const WindowRect events{-300, 0, 12345, 678};
    struct Row {
        const char* file;
        std::optional<WindowRect> people, events;
        int16_t peopleColorBy, eventsColorBy;
        int32_t peopleBack, eventsBack;
    } rows[] = {
        {"empty", {}, {}, kindFactions, kindNations, 0xFFFFFF, 0xFFFFFF},
        {"binary_garbage", {}, {}, kindFactions, kindNations, 0xFFFFFF, 0xFFFFFF},
        {"one_line", people, {}, kindFactions, kindNations, 0xFFFFFF, 0xFFFFFF},
        {"words", {}, {}, kindFactions, kindNations, 0xFFFFFF, 0xFFFFFF},
        {"huge_numbers", {}, {}, kindOccupations, kindGroups, 0xFFFFFF, 0xFFFFFF},
        {"zero_sizes", {}, {}, kindFactions, kindNations, 255, 65280},
        {"nul_bytes", {}, {}, kindOccupations, kindGroups, 0xFFFFFF, 0},
        {"cr_only", people, events, kindOccupations, kindGroups, 0xFFFFFF, 0},
        {"five_values", {}, {}, kindFactions, kindNations, 0xFFFFFF, 0xFFFFFF},
        {"megabyte_line", {}, events, kindOccupations, kindGroups, 0xFFFFFF, 0},
        {"invalid_utf8", {}, {}, kindOccupations, kindGroups, 255, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        const Settings s = readSettings(dataFile(std::string("broken/ini/") + r.file + ".ini"));
        EXPECT_EQ(s.peopleWindowRect, r.people);
        EXPECT_EQ(s.eventsWindowRect, r.events);
        EXPECT_EQ(s.peopleColorBy, r.peopleColorBy);
        EXPECT_EQ(s.eventsColorBy, r.eventsColorBy);
        EXPECT_EQ(s.peopleBackColor, r.peopleBack);
        EXPECT_EQ(s.eventsBackColor, r.eventsBack);
    }
}
