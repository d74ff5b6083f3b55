#include "core/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tess {

std::string plainNumber(long long n) {
    return std::to_string(n);
}

std::string signedNumber(long long n) {
    // Appended rather than " " + text: g++ 12 warns falsely (-Wrestrict) about the latter.
    std::string text = n >= 0 ? " " : "";
    text += std::to_string(n);
    return text;
}

std::string plainDecimal(double x) {
    if (std::isnan(x))
        return "0";
    if (std::isinf(x))
        return x > 0 ? "1E+308" : "-1E+308";
    if (x == std::floor(x) && std::fabs(x) < 1e15)
        return std::to_string(static_cast<long long>(x));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", x);
    return buf;
}

double readLeadingNumber(std::string_view text) {
    // Collect the characters of the number, leaving out blanks wherever they stand, then let
    // the standard parser read exactly what was collected.
    std::string digits;
    digits.reserve(text.size());
    enum class State { sign, mantissa, exponentSign, exponent } state = State::sign;
    bool seenPoint = false;
    bool seenDigit = false;
    bool exponentDigit = false;
    size_t beforeExponent = 0;
    for (char c : text) {
        if (c == ' ' || c == '\t')
            continue;
        if (state == State::sign) {
            state = State::mantissa;
            if (c == '+' || c == '-') {
                if (c == '-')
                    digits += c;
                continue;
            }
        }
        if (state == State::mantissa) {
            if (c >= '0' && c <= '9') {
                digits += c;
                seenDigit = true;
                continue;
            }
            if (c == '.' && !seenPoint) {
                digits += c;
                seenPoint = true;
                continue;
            }
            if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && seenDigit) {
                beforeExponent = digits.size();
                digits += 'e';
                state = State::exponentSign;
                continue;
            }
            break;
        }
        if (state == State::exponentSign) {
            state = State::exponent;
            if (c == '+' || c == '-') {
                digits += c;
                continue;
            }
        }
        if (c >= '0' && c <= '9') {
            digits += c;
            exponentDigit = true;
            continue;
        }
        break;
    }
    if (!seenDigit)
        return 0.0;
    if (state != State::mantissa && !exponentDigit)
        digits.resize(beforeExponent); // "12E" is 12
    double value = 0.0;
    const char* first = digits.data();
    const char* last = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: settle on infinity or zero with its sign.
        const bool negative = digits.front() == '-';
        const size_t e = digits.find('e');
        const bool tiny = e != std::string::npos && digits.find('-', e) != std::string::npos;
        if (tiny)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    (void)ptr;
    return value;
}

double roundHalfEven(double x) {
    if (!std::isfinite(x))
        return x;
    const double down = std::floor(x);
    const double diff = x - down;
    if (diff < 0.5)
        return down;
    if (diff > 0.5)
        return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

int16_t toInt16Rounded(double x) {
    if (std::isnan(x))
        return 0;
    const double r = roundHalfEven(x);
    if (r <= std::numeric_limits<int16_t>::min())
        return std::numeric_limits<int16_t>::min();
    if (r >= std::numeric_limits<int16_t>::max())
        return std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(r);
}

} // namespace tess
