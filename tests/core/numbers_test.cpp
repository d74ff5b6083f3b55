#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tess;

TEST(NumberTexts, PlainAndSignedForms) {
    const std::pair<std::string, std::string> rows[] = {
        {plainNumber(1850), "1850"},     {plainNumber(-44), "-44"},
        {plainNumber(0), "0"},           {signedNumber(1850), " 1850"},
        {signedNumber(0), " 0"},         {signedNumber(-44), "-44"},
        {plainDecimal(12.50), "12.5"},   {plainDecimal(-20000), "-20000"},
        {plainDecimal(1066.5), "1066.5"}};
    for (const auto& [made, expected] : rows)
        EXPECT_EQ(made, expected);
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
    const std::pair<double, int> rounded[] = {{2.5, 2},   {3.5, 4},       {-2.5, -2},
                                              {-3.5, -4}, {1066.5, 1066}, {1067.5, 1068},
                                              {1.49, 1},  {-1.51, -2}};
    for (const auto& [value, expected] : rounded)
        EXPECT_EQ(roundHalfEven(value), expected) << value;
    const std::pair<double, int> held[] = {{40000, 32767}, {-1e12, -32768}, {NAN, 0}, {-0.5, 0}};
    for (const auto& [value, expected] : held)
        EXPECT_EQ(toInt16Rounded(value), expected) << value;
}
