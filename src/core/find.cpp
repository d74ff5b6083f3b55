#include "core/find.h"

#include <array>
#include <string>

namespace tess {

namespace {

// Byte folding for Windows-1252: A-Z and the capitals of U+00C0 to U+00DE (but the
// multiplication sign) become small letters; every other byte stands for itself.
constexpr std::array<unsigned char, 256> windows1252Fold = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) {
        int f = b;
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            f = b + 0x20;
        t[static_cast<size_t>(b)] = static_cast<unsigned char>(f);
    }
    return t;
}();

// The same letters in UTF-8: A-Z one byte, and the Latin-1 capitals as C3 80 to C3 9E, whose
// small letters differ in their second byte only.
std::string foldUtf8(std::string_view s) {
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 0x20);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            const auto d = static_cast<unsigned char>(out[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97)
                out[i + 1] = static_cast<char>(d + 0x20);
            ++i;
        }
    }
    return out;
}

} // namespace

std::string foldCase(std::string_view s, TextEncoding encoding) {
    if (encoding == TextEncoding::utf8)
        return foldUtf8(s);
    std::string out(s.size(), '\0');
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<char>(windows1252Fold[static_cast<unsigned char>(s[i])]);
    return out;
}

FindResult findEntries(const Dataset& ds, std::string_view query, size_t limit) {
    FindResult result;
    if (query.empty())
        return result;
    const std::string needle = foldCase(query, ds.encoding);
    // One buffer reused for every text, so that a search over a maximal dataset allocates
    // next to nothing.
    std::string folded;
    auto contains = [&](const std::string& text) {
        if (text.size() < needle.size())
            return false;
        folded = foldCase(text, ds.encoding);
        return folded.find(needle) != std::string::npos;
    };
    auto search = [&](const auto& records, int count, bool isEvent) {
        for (int i = 0; i < count && i < static_cast<int>(records.size()); ++i) {
            const auto& r = records[static_cast<size_t>(i)];
            if (!contains(r.name) && !contains(r.desc))
                continue;
            ++result.matches;
            if (result.shown.size() < limit)
                result.shown.push_back({isEvent, i});
        }
    };
    search(ds.people, ds.numPeople, false);
    search(ds.events, ds.numEvents, true);
    return result;
}

int firstNamed(const Dataset& ds, std::string_view query, bool events) {
    if (query.empty())
        return -1;
    const std::string needle = foldCase(query, ds.encoding);
    auto search = [&](const auto& records, int count) {
        for (int i = 0; i < count && i < static_cast<int>(records.size()); ++i)
            if (foldCase(records[static_cast<size_t>(i)].name, ds.encoding).find(needle) !=
                std::string::npos)
                return i;
        return -1;
    };
    return events ? search(ds.events, ds.numEvents) : search(ds.people, ds.numPeople);
}

} // namespace tess
