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
