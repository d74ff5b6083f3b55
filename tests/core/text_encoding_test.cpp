#include "core/text_encoding.h"

#include <gtest/gtest.h>

using namespace tess;

TEST(TextEncoding, Windows1252ToUtf8AndBack) {
    // é ü ß € “ ” in Windows-1252
    const std::string cp = "\xE9\xFC\xDF\x80\x93\x94";
    const std::string utf8 = "\u00E9\u00FC\u00DF\u20AC\u201C\u201D";
    EXPECT_EQ(windows1252ToUtf8(cp), utf8);
    EXPECT_EQ(utf8ToWindows1252(utf8), cp);
    // Every byte survives the trip, the five undefined ones included.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(all)), all);
    // Characters outside the set, and broken UTF-8, become question marks.
    EXPECT_EQ(utf8ToWindows1252("\u4E2D x"), "? x");
    EXPECT_EQ(utf8ToWindows1252("a\xC3"), "a?");
}

TEST(TextEncoding, DetectsUtf8OnlyWhenTheWholeFileIsValid) {
    EXPECT_EQ(detectEncoding("plain ascii\r\n"), TextEncoding::windows1252);
    EXPECT_EQ(detectEncoding("caf\xC3\xA9"), TextEncoding::utf8);
    EXPECT_EQ(detectEncoding("caf\xE9"), TextEncoding::windows1252);
    // One bad sequence late in an otherwise UTF-8 file makes the whole file Windows-1252.
    EXPECT_EQ(detectEncoding("caf\xC3\xA9 and \xE9"), TextEncoding::windows1252);
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(toUtf8("\xE9", TextEncoding::windows1252), "\u00E9");
    EXPECT_EQ(toUtf8("\xC3\xA9", TextEncoding::utf8), "\u00E9");
    EXPECT_EQ(fromUtf8("\u20AC", TextEncoding::windows1252), "\x80");
    EXPECT_EQ(fromUtf8("\u20AC", TextEncoding::utf8), "\u20AC");
}

TEST(TextEncoding, MeasuresAndCutsByCharacters) {
    const auto u8 = TextEncoding::utf8;
    const auto cp = TextEncoding::windows1252;
    const std::string mixed = "a\xC3\xA9\xE6\x9D\x8E\xF0\x9F\x98\x80z"; // a é 李 😀 z
    EXPECT_EQ(textWidth(mixed, u8), 5u);
    EXPECT_EQ(textWidth(mixed, cp), mixed.size()); // one byte, one character
    EXPECT_EQ(textWidth(std::string(40, 'x') + "\xC3\xA9", u8), 41u);
    EXPECT_EQ(textSlice(mixed, u8, 1, 2), "\xC3\xA9\xE6\x9D\x8E");
    EXPECT_EQ(textSlice(mixed, u8, 3, 10), "\xF0\x9F\x98\x80z");
    EXPECT_EQ(textSlice(mixed, u8, 5, 1), "");
    EXPECT_EQ(textSlice(mixed, cp, 1, 2), "\xC3\xA9");
    EXPECT_EQ(byteOffsetOfChar(mixed, u8, 4), 10u);
}

TEST(TextEncoding, DisplayTextIsBoundedAndHarmless) {
    const auto u8 = TextEncoding::utf8;
    const auto cp = TextEncoding::windows1252;
    // Controls are shown, not obeyed: NUL, ESC, DEL, and C1 controls (also as 1252 bytes).
    EXPECT_EQ(displayText(std::string("a\0b\x1B[2J\x7F", 8), u8, 80), "a\\x00b\\x1B[2J\\x7F");
    EXPECT_EQ(displayText("\xC2\x85|\x81|\x80", u8, 80), "\\u0085|\\x81|\\x80");
    EXPECT_EQ(displayText("\x81|\x80|\xE9", cp, 80), "\\u0081|\u20AC|\u00E9");
    EXPECT_EQ(displayText("a\xE2\x80\xAE"
                          "b",
                          u8, 80),
              "a\\u202Eb"); // right-to-left override
    // Cut by characters, never inside one, with an ellipsis.
    EXPECT_EQ(displayText("\xC3\xA9\xC3\xA9\xC3\xA9", u8, 2), "\xC3\xA9\xC3\xA9\u2026");
    EXPECT_EQ(displayText("abc", u8, 3), "abc");
    // A chart line keeps one character for one: controls become their symbols.
    EXPECT_EQ(terminalText(std::string("\0\t\x1B\x7F", 4), cp), "\u2400\u2409\u241B\u2421");
    EXPECT_EQ(terminalText("\xE2\x80\xAE|\x81|\xC3", u8), "\uFFFD|\uFFFD|\uFFFD");
    EXPECT_EQ(textWidth(terminalText(std::string(500, 'x') + "\n\x9D", cp), u8), 502u);
}
