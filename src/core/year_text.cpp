#include "core/year_text.h"

#include "core/dataset.h"

#include <cctype>
#include <charconv>

namespace tess {

std::string yearText(long long year, YearStyle style) {
    if (year < 0 && style == YearStyle::readable)
        return std::to_string(-year) + " BC";
    return std::to_string(year);
}

std::string dateText(int year, int type, YearStyle style) {
    return (type == dateApprox ? "c. " : "") + yearText(year, style);
}

std::string spanText(int date1, int type1, int date2, int type2, YearStyle style) {
    const std::string first = dateText(date1, type1, style);
    if (date1 == date2 && type1 == type2)
        return first;
    return first + " \u2013 " + dateText(date2, type2, style);
}

std::optional<long long> parseYear(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // "BC" at the end, in any case, with or without its full stops and a blank before it.
    std::string letters;
    size_t end = text.size();
    while (end > 0 &&
           (std::isalpha(static_cast<unsigned char>(text[end - 1])) != 0 || text[end - 1] == '.')) {
        if (text[end - 1] != '.')
            letters.insert(letters.begin(), static_cast<char>(std::tolower(
                                                static_cast<unsigned char>(text[end - 1]))));
        --end;
    }
    const bool bc = letters == "bc";
    if (!letters.empty() && !bc)
        return std::nullopt;
    std::string_view number = text.substr(0, end);
    while (!number.empty() && blank(number.back()))
        number.remove_suffix(1);
    long long year = 0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    if (bc && !number.empty() && number.front() == '-')
        return std::nullopt;
    const auto [stop, error] = std::from_chars(first, last, year);
    if (number.empty() || error != std::errc() || stop != last || year < -1000000 || year > 1000000)
        return std::nullopt;
    return bc ? -year : year;
}

} // namespace tess
