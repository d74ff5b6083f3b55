#include "core/field_rules.h"

#include "core/numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>

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

std::string personFirstDateText(std::string_view date1Text) {
    return plainDecimal(
        std::clamp(readLeadingNumber(date1Text), double{minTypedYear}, double{maxTypedYear}));
}

std::string personSecondDateText(std::string_view date2Text, std::string_view date1Text) {
    double year = readLeadingNumber(date2Text);
    if (readLeadingNumber(date1Text) > year)
        year = readLeadingNumber(date1Text);
    return plainDecimal(std::clamp(year, double{minTypedYear}, double{maxTypedYear}));
}

int16_t storedYear(std::string_view text) {
    const double year = roundHalfEven(readLeadingNumber(text));
    if (std::isnan(year))
        return 0;
    return static_cast<int16_t>(std::clamp(year, double{minTypedYear}, double{maxTypedYear}));
}

int16_t storedNumber(std::string_view text) {
    return toInt16Rounded(readLeadingNumber(text));
}

int16_t entryPriorityRule(std::string_view text) {
    if (text <= std::string_view(" "))
        return 1;
    if (text >= std::string_view("9"))
        return 9;
    // A lone minus sign or "5x" still ends within the limits.
    return static_cast<int16_t>(clampToRange(roundHalfEven(readLeadingNumber(text)), 1, 9));
}

namespace {
std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}
} // namespace

LinkKind classifyLink(std::string_view link) {
    const size_t first = link.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return LinkKind::empty;
    const std::string text = lower(link.substr(first));
    for (const char* scheme : {"http://", "https://", "ftp://"})
        if (text.rfind(scheme, 0) == 0)
            return text.size() > std::string_view(scheme).size() ? LinkKind::webAddress
                                                                 : LinkKind::refused;
    // Anything else with a scheme ("file:", "javascript:", "smb:") or a drive letter is not a
    // plain page name of the program's folder.
    const size_t colon = text.find(':');
    if (colon != std::string::npos)
        return LinkKind::refused;
    // A document a viewer shows, by the extension of its file name (before any #fragment).
    std::string path = text.substr(0, text.find_first_of("#?"));
    while (!path.empty() && (path.back() == ' ' || path.back() == '\t'))
        path.pop_back();
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return LinkKind::refused;
    const std::string extension = path.substr(dot + 1);
    for (const char* allowed :
         {"htm", "html", "xhtml", "txt", "pdf", "bmp", "png", "jpg", "jpeg", "gif", "svg", "webp"})
        if (extension == allowed)
            return LinkKind::localDocument;
    return LinkKind::refused;
}

} // namespace tess
