#include "core/field_rules.h"

#include <gtest/gtest.h>

using namespace tess;

// Each row: what a rule made of what was typed, and what it must make.
TEST(FieldRules, NumbersAsTheWindowsKeepThem) {
    const std::pair<double, double> rows[] = {
        {clampToRange(5, 7, 3), 3}, // the lower bound first, then the upper
        {clampToRange(5, 1, 9), 5},
        {clampToRange(0, 1, 9), 1},
        {clampToRange(12, 1, 9), 9},
        {clampToRange(1, 2.5, 9), 2}, // a real bound that wins is rounded half-even
        {clampToRange(10, 1, 3.5), 4},
        {clampToRange(2.7, 2.5, 9), 2.7}, // a value inside stays as it is
        // The dates of the Select and event windows.
        {firstDateRule("1066.5"), 1066},
        {firstDateRule("1067.5"), 1068},
        {firstDateRule("-25000"), -20000},
        {firstDateRule("12000"), 10000},
        {firstDateRule("1e12"), 10000},
        {firstDateRule("abc"), 0},
        {firstDateRule(" 1 0 6 6 AD"), 1066},
        {secondDateRule("1000", "1200"), 1200},
        {secondDateRule("20000", "1200"), 10000},
        {secondDateRule("1300", "1200"), 1300},
        {secondDateRule("1200", "1200.4"), 1200}, // the first date unrounded: 1200.4 wins,
        {secondDateRule("1100", "1200.6"), 1201}, // and is rounded when it does
        {secondDateRule("-1e9", "-1e9"), -20000}, // never below the typed-year limit
        {secondDateRule("5", "99999"), 10000},
        // Select's priority box; an empty one means no priority chosen.
        {*selectPriorityRule("0"), 1},
        {*selectPriorityRule("12"), 9},
        {*selectPriorityRule("3"), 3},
        {*selectPriorityRule("2.5"), 2},
        {*selectPriorityRule("x"), 1},
        {*selectPriorityRule("-4"), 1},
        {selectPriorityRule("").has_value() || selectPriorityRule("  ").has_value(), 0},
        // Stored years and numbers: beyond 16 bits held within the limits, never wrapped.
        {storedYear("1066.5"), 1066},
        {storedYear("1067.5"), 1068},
        {storedYear("70000"), 10000},
        {storedYear("-1e30"), -20000},
        {storedNumber("99999"), 32767},
        {storedNumber("-99999"), -32768},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].first, rows[i].second) << "row " << i;
}

TEST(FieldRules, PersonDatesAndPriorityAsTyped) {
    const std::pair<std::string, std::string> dates[] = {
        {personFirstDateText("-25000"), "-20000"},
        {personFirstDateText("12000"), "10000"},
        {personFirstDateText("abc"), "0"},
        {personFirstDateText("1066.5"), "1066.5"},
        {personFirstDateText("12.50"), "12.5"},
        {personFirstDateText(" 1 0 6 6 AD"), "1066"},
        {personSecondDateText("1000", "1200"), "1200"},
        {personSecondDateText("1000", "1200.5"), "1200.5"},
        {personSecondDateText("99999", "1200"), "10000"},
    };
    for (const auto& [shown, expected] : dates)
        EXPECT_EQ(shown, expected);
    const std::pair<const char*, int> priorities[] = {{"", 1},   {" ", 1},  {"0", 1}, {"12", 9},
                                                      {"10", 9}, {"x", 9},  {"3", 3}, {"-", 1},
                                                      {"5x", 5}, {"2.5", 2}};
    for (const auto& [typed, stored] : priorities)
        EXPECT_EQ(entryPriorityRule(typed), stored) << typed;
}

TEST(FieldRules, OnlyWebAddressesAndDocumentsAreOpened) {
    const std::pair<const char*, LinkKind> rows[] = {
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
    for (const auto& [link, kind] : rows)
        EXPECT_EQ(classifyLink(link), kind) << link;
}
