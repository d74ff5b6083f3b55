#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tess;

TEST(NumberTexts, PlainAndSignedForms) {
    EXPECT_EQ(plainNumber(1850), "1850");
    EXPECT_EQ(plainNumber(-44), "-44");
    EXPECT_EQ(plainNumber(0), "0");
    EXPECT_EQ(signedNumber(1850), " 1850");
    EXPECT_EQ(signedNumber(0), " 0");
    EXPECT_EQ(signedNumber(-44), "-44");
    EXPECT_EQ(plainDecimal(12.50), "12.5");
    EXPECT_EQ(plainDecimal(-20000), "-20000");
    EXPECT_EQ(plainDecimal(1066.5), "1066.5");
}

TEST(NumberTexts, LeadingNumberOfATypedText) {
    struct Row {
        const char* text;
        double value;
    } rows[] = {
        {"1066 AD", 1066}, {"abc", 0},     {"", 0},           {"   ", 0},     {"-44", -44},
        {" - 44", -44},    {"1 2 3", 123}, {"12.50", 12.5},   {"1.2.3", 1.2}, {"--5", 0},
        {"+7", 7},         {"1e3", 1000},  {"2E+2x", 200},    {"12E", 12},    {"12e-", 12},
        {".5", 0.5},       {"-", 0},       {"25 people", 25}, {"1d2", 100},   {"7,5", 7},
    };
    for (const Row& r : rows)
        EXPECT_DOUBLE_EQ(readLeadingNumber(r.text), r.value) << '"' << r.text << '"';
    EXPECT_TRUE(std::isinf(readLeadingNumber("1e999")));
    EXPECT_EQ(readLeadingNumber("1e-999"), 0.0);
}

TEST(NumberTexts, HalfEvenRoundingAndSixteenBitLimits) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(1066.5), 1066);
    EXPECT_EQ(roundHalfEven(1067.5), 1068);
    EXPECT_EQ(roundHalfEven(1.49), 1);
    EXPECT_EQ(roundHalfEven(-1.51), -2);
    EXPECT_EQ(toInt16Rounded(40000), 32767);
    EXPECT_EQ(toInt16Rounded(-1e12), -32768);
    EXPECT_EQ(toInt16Rounded(NAN), 0);
    EXPECT_EQ(toInt16Rounded(-0.5), 0);
}
