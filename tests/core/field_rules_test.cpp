#include "core/field_rules.h"

#include <gtest/gtest.h>

using namespace tess;

TEST(FieldRules, ClampToRange) {
    EXPECT_EQ(clampToRange(5, 7, 3), 3); // the lower bound first, then the upper
    EXPECT_EQ(clampToRange(5, 1, 9), 5);
    EXPECT_EQ(clampToRange(0, 1, 9), 1);
    EXPECT_EQ(clampToRange(12, 1, 9), 9);
    EXPECT_EQ(clampToRange(1, 2.5, 9), 2); // a real bound that wins is rounded half-even
    EXPECT_EQ(clampToRange(10, 1, 3.5), 4);
    EXPECT_EQ(clampToRange(2.7, 2.5, 9), 2.7); // a value inside stays as it is
}

TEST(FieldRules, DatesOfTheSelectAndEventWindows) {
    EXPECT_EQ(firstDateRule("1066.5"), 1066);
    EXPECT_EQ(firstDateRule("1067.5"), 1068);
    EXPECT_EQ(firstDateRule("-25000"), -20000);
    EXPECT_EQ(firstDateRule("12000"), 10000);
    EXPECT_EQ(firstDateRule("1e12"), 10000);
    EXPECT_EQ(firstDateRule("abc"), 0);
    EXPECT_EQ(firstDateRule(" 1 0 6 6 AD"), 1066);
    EXPECT_EQ(secondDateRule("1000", "1200"), 1200);
    EXPECT_EQ(secondDateRule("20000", "1200"), 10000);
    EXPECT_EQ(secondDateRule("1300", "1200"), 1300);
    EXPECT_EQ(secondDateRule("1200", "1200.4"), 1200); // the first date unrounded: 1200.4 wins,
    EXPECT_EQ(secondDateRule("1100", "1200.6"), 1201); // and is rounded when it does
    EXPECT_EQ(secondDateRule("-1e9", "-1e9"), -20000); // never below the typed-year limit
    EXPECT_EQ(secondDateRule("5", "99999"), 10000);
}

TEST(FieldRules, SelectPriorityBox) {
    EXPECT_EQ(selectPriorityRule("0"), 1);
    EXPECT_EQ(selectPriorityRule("12"), 9);
    EXPECT_EQ(selectPriorityRule("3"), 3);
    EXPECT_EQ(selectPriorityRule("2.5"), 2);
    EXPECT_EQ(selectPriorityRule("x"), 1);
    EXPECT_EQ(selectPriorityRule("-4"), 1);
    EXPECT_EQ(selectPriorityRule(""), std::nullopt);
    EXPECT_EQ(selectPriorityRule("  "), std::nullopt);
}

TEST(FieldRules, PersonDatesPriorityAndStoredNumbers) {
    struct {
        const char* typed;
        const char* shown;
    } firstDates[] = {{"-25000", "-20000"}, {"12000", "10000"}, {"abc", "0"},
                      {"1066.5", "1066.5"}, {"12.50", "12.5"},  {" 1 0 6 6 AD", "1066"}};
    for (const auto& r : firstDates)
        EXPECT_EQ(personFirstDateText(r.typed), r.shown) << r.typed;
    EXPECT_EQ(personSecondDateText("1000", "1200"), "1200");
    EXPECT_EQ(personSecondDateText("1000", "1200.5"), "1200.5");
    EXPECT_EQ(personSecondDateText("99999", "1200"), "10000");
    EXPECT_EQ(storedYear("1066.5"), 1066);
    EXPECT_EQ(storedYear("1067.5"), 1068);
    // Beyond 16 bits a number is held within the limits, never wrapped around.
    EXPECT_EQ(storedYear("70000"), 10000);
    EXPECT_EQ(storedYear("-1e30"), -20000);
    EXPECT_EQ(storedNumber("99999"), 32767);
    EXPECT_EQ(storedNumber("-99999"), -32768);

    struct {
        const char* typed;
        int stored;
    } priorities[] = {{"", 1},  {" ", 1}, {"0", 1}, {"12", 9}, {"10", 9},
                      {"x", 9}, {"3", 3}, {"-", 1}, {"5x", 5}, {"2.5", 2}};
    for (const auto& r : priorities)
        EXPECT_EQ(entryPriorityRule(r.typed), r.stored) << r.typed;
}

TEST(FieldRules, OnlyWebAddressesAndDocumentsAreOpened) {
    struct {
        const char* link;
        LinkKind kind;
    } rows[] = {
        {"", LinkKind::empty},
        {"   ", LinkKind::empty},
        {"https://en.wikipedia.org/wiki/Hypatia", LinkKind::webAddress},
        {"HTTP://example.com", LinkKind::webAddress},
        {"ftp://example.com/a.txt", LinkKind::webAddress},
        {"mypage.htm", LinkKind::localDocument},
        {"notes/Life of Hypatia.PDF", LinkKind::localDocument},
        {"pic.bmp#top", LinkKind::localDocument},
        {"https://", LinkKind::refused},
        {"file:///usr/bin/xterm", LinkKind::refused},
        {"javascript:alert(1)", LinkKind::refused},
        {"C:\\\\Windows\\\\notepad.exe", LinkKind::refused},
        {"run.sh", LinkKind::refused},
        {"tool.desktop", LinkKind::refused},
        {"/usr/bin/xterm", LinkKind::refused},
        {"archive.v2/run", LinkKind::refused},
    };
    for (const auto& r : rows)
        EXPECT_EQ(classifyLink(r.link), r.kind) << r.link;
}
