#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tess {

// Carriage return and line feed: used in messages, charts, reports and files.
inline constexpr std::string_view lineBreak = "\r\n";

// "1850", "-44": no leading blank.
std::string plainNumber(long long n);
// " 1850", "-44": a blank where a minus sign would stand.
std::string signedNumber(long long n);
// Plain form of a real number: whole numbers without a decimal point, fractions with up to
// 15 significant digits and no trailing zeros ("12.5", "-0.25").
std::string plainDecimal(double x);

// The leading number of a typed text: blanks are skipped wherever they stand, then an optional
// sign, digits with at most one decimal point and an optional exponent; reading stops at the
// first character that cannot continue the number. A text with no number in front reads as 0.
double readLeadingNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double x);

// Rounds half-even and limits the result to the signed 16-bit range.
int16_t toInt16Rounded(double x);

} // namespace tess
