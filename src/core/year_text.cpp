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

namespace {

// The letters of a run of letters and full stops, lower case: "B.C." gives "bc".
std::string eraLetters(std::string_view run) {
    std::string letters;
    for (const char c : run)
        if (c != '.')
            letters += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return letters;
}

bool eraChar(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '.';
}

} // namespace

std::optional<long long> parseYear(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    auto trim = [&blank](std::string_view& t) {
        while (!t.empty() && blank(t.front()))
            t.remove_prefix(1);
        while (!t.empty() && blank(t.back()))
            t.remove_suffix(1);
    };
    trim(text);
    // An approximate year as the tooltips write it: "c. 100 BC".
    if (text.size() > 2 && (text[0] == 'c' || text[0] == 'C') && text[1] == '.')
        text.remove_prefix(2);
    trim(text);
    // The era before the number ("AD 44") or after it ("44 BC", "44 B.C.", "44 ce"), in any
    // case, with or without full stops.
    size_t begin = 0;
    while (begin < text.size() && eraChar(text[begin]))
        ++begin;
    size_t end = text.size();
    while (end > begin && eraChar(text[end - 1]))
        --end;
    const std::string before = eraLetters(text.substr(0, begin));
    const std::string after = eraLetters(text.substr(end));
    const bool bc = after == "bc" || after == "bce";
    const bool ad = before == "ad" || after == "ad" || after == "ce";
    if (!before.empty() && before != "ad")
        return std::nullopt;
    if ((!after.empty() && !bc && !ad) || (!before.empty() && !after.empty()))
        return std::nullopt;
    std::string_view number = text.substr(begin, end - begin);
    trim(number);
    if (number.empty() || ((bc || ad) && number.front() == '-'))
        return std::nullopt;
    long long year = 0;
    const char* last = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), last, year);
    if (error != std::errc() || stop != last || year < -1000000 || year > 1000000)
        return std::nullopt;
    return bc ? -year : year;
}

} // namespace tess
