#include "entry/field_rules.h"

#include "core/numbers.h"

#include <algorithm>

namespace tess {

double clampToRange(double value, double lower, double upper) {
    if (value < lower)
        value = roundHalfEven(lower);
    if (value > upper)
        value = roundHalfEven(upper);
    return value;
}

int16_t firstDateRule(std::string_view date1Text) {
    const double year = roundHalfEven(readLeadingNumber(date1Text));
    return static_cast<int16_t>(clampToRange(year, minTypedYear, maxTypedYear));
}

int16_t secondDateRule(std::string_view date2Text, std::string_view date1Text) {
    const double year = roundHalfEven(readLeadingNumber(date2Text));
    // The first field normally holds a year already limited by its own rule; a number outside
    // the typed-year limits there must not carry this one outside them too.
    const double lower =
        std::clamp(readLeadingNumber(date1Text), double{minTypedYear}, double{maxTypedYear});
    return static_cast<int16_t>(clampToRange(year, lower, maxTypedYear));
}

std::optional<int16_t> selectPriorityRule(std::string_view text) {
    if (text.find_first_not_of(" \t") == std::string_view::npos)
        return std::nullopt;
    const double n = roundHalfEven(readLeadingNumber(text));
    return static_cast<int16_t>(clampToRange(n, 1, 9));
}

} // namespace tess
