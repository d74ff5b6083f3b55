#include "state/user_choices.h"

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "core/year_scale.h"

#include <algorithm>
#include <charconv>

namespace tess {

namespace {

constexpr std::string_view recentKey = "recent";
// Far beyond any path; a longer value is damage, not a choice.
constexpr size_t maxValueBytes = 4096;
constexpr size_t maxFileBytes = 256 * 1024;

// No control character but a tab (a file name may hold one): nothing else the program writes
// has one, and a line break would end the line.
bool storable(std::string_view s) {
    return !s.empty() && s.size() <= maxValueBytes && std::none_of(s.begin(), s.end(), [](char c) {
        return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
    });
}

std::string kindKey(FileKind kind) {
    switch (kind) {
    case FileKind::dataset:
        return "folder.dataset";
    case FileKind::legacy:
        return "folder.legacy";
    case FileKind::import:
        return "folder.import";
    case FileKind::exported:
        return "folder.export";
    case FileKind::picture:
        return "folder.picture";
    }
    return "folder";
}

} // namespace

void UserChoices::noteRecent(const std::string& path) {
    if (!storable(path))
        return;
    dropRecent(path);
    recent.insert(recent.begin(), path);
    if (recent.size() > maxRecent)
        recent.resize(maxRecent);
}

void UserChoices::dropRecent(const std::string& path) {
    recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
}

std::string UserChoices::folder(FileKind kind) const {
    const auto it = values.find(kindKey(kind));
    return it == values.end() ? std::string() : it->second;
}

void UserChoices::noteFolderOf(FileKind kind, const std::string& filePath) {
    const size_t slash = filePath.find_last_of('/');
    if (slash == std::string::npos)
        return;
    const std::string folder = slash == 0 ? "/" : filePath.substr(0, slash);
    if (storable(folder))
        values[kindKey(kind)] = folder;
}

YearStyle UserChoices::yearStyle() const {
    const auto it = values.find("years.signed");
    return it != values.end() && it->second == "1" ? YearStyle::signedNumbers : YearStyle::readable;
}

void UserChoices::setYearStyle(YearStyle style) {
    values["years.signed"] = style == YearStyle::signedNumbers ? "1" : "0";
}

namespace {
std::string sideKey(const char* what, Side side) {
    return std::string(what) + (side == Side::people ? ".people" : ".events");
}
} // namespace

int UserChoices::zoomStep(Side side) const {
    const auto it = values.find(sideKey("zoom", side));
    if (it == values.end())
        return 1;
    int step = 0;
    const std::string& v = it->second;
    const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), step);
    return error == std::errc() && end == v.data() + v.size() ? validZoomStep(step) : 1;
}

void UserChoices::setZoomStep(Side side, int step) {
    values[sideKey("zoom", side)] = std::to_string(validZoomStep(step));
}

bool UserChoices::legendShown(Side side) const {
    const auto it = values.find(sideKey("legend", side));
    return it == values.end() || it->second != "0";
}

void UserChoices::setLegendShown(Side side, bool shown) {
    values[sideKey("legend", side)] = shown ? "1" : "0";
}

UserChoices parseUserChoices(std::string_view text) {
    UserChoices c;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const size_t eq = line.find('=');
        if (eq == line.npos || line.front() == '#')
            continue;
        const std::string_view key = trimBlanks(line.substr(0, eq));
        // A value keeps its own blanks (a path may end in one); only the line end goes.
        std::string_view value = line.substr(eq + 1);
        if (!value.empty() && value.back() == '\r')
            value.remove_suffix(1);
        if (!storable(key) || !storable(value))
            continue;
        if (key == recentKey) {
            if (c.recent.size() < UserChoices::maxRecent &&
                std::find(c.recent.begin(), c.recent.end(), value) == c.recent.end())
                c.recent.emplace_back(value);
        } else {
            c.values.insert_or_assign(std::string(key), std::string(value));
        }
    }
    return c;
}

UserChoices readUserChoices(const std::string& path) {
    try {
        return parseUserChoices(readWholeFile(path, maxFileBytes));
    } catch (const FileError&) {
        return UserChoices();
    }
}

std::string formatUserChoices(const UserChoices& c) {
    std::string s = "# Tessaline's recent files, folders and window choices\n";
    for (const std::string& path : c.recent)
        s += std::string(recentKey) + "=" + path + "\n";
    for (const auto& [key, value] : c.values)
        s += key + "=" + value + "\n";
    return s;
}

void writeUserChoices(const std::string& path, const UserChoices& choices) {
    writeFileAtomic(path, formatUserChoices(choices));
}

} // namespace tess
