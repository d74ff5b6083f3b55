#include "state/settings.h"

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/line_reader.h"
#include "core/numbers.h"

#include <charconv>
#include <initializer_list>
#include <vector>

namespace tess {

namespace {

constexpr int zoneWidth = 14;
// Twips of a rectangle that no screen comes near; anything beyond is damage, not a setting.
constexpr long long maxTwips = 1'000'000;

// The values of one line, or nothing unless it holds exactly four whole numbers.
std::optional<std::vector<long long>> fourNumbers(std::string_view line) {
    std::vector<long long> values;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == ','))
            ++i;
        if (i >= line.size())
            break;
        size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ',')
            ++end;
        std::string_view token = line.substr(i, end - i);
        if (!token.empty() && token.front() == '+')
            token.remove_prefix(1);
        long long v = 0;
        auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
        if (ec != std::errc() || ptr != token.data() + token.size())
            return std::nullopt;
        values.push_back(v);
        i = end;
    }
    if (values.size() != 4)
        return std::nullopt;
    return values;
}

std::optional<WindowRect> rectFrom(const std::optional<std::vector<long long>>& v) {
    if (!v)
        return std::nullopt;
    const auto& r = *v;
    for (long long x : r)
        if (x < -maxTwips || x > maxTwips)
            return std::nullopt;
    if (r[2] <= 0 || r[3] <= 0)
        return std::nullopt;
    return WindowRect{static_cast<int>(r[0]), static_cast<int>(r[1]), static_cast<int>(r[2]),
                      static_cast<int>(r[3])};
}

// Four numbers, each starting a 14-character print zone, each with its sign position and one
// trailing blank; the last zone is not padded. Ended by CR LF.
std::string zonedLine(std::initializer_list<long long> values) {
    std::string line;
    size_t i = 0;
    for (long long value : values) {
        line += signedNumber(value) + " ";
        if (++i < values.size() && line.size() % zoneWidth != 0)
            line.append(zoneWidth - line.size() % zoneWidth, ' ');
    }
    line += lineBreak;
    return line;
}

} // namespace

Settings parseSettings(std::string_view text) {
    std::vector<std::string_view> lines;
    LineReader in(text);
    while (!in.atEnd() && lines.size() < 4)
        lines.push_back(in.readLine());
    auto line = [&](size_t k) -> std::string_view { return k < lines.size() ? lines[k] : ""; };

    Settings s;
    s.peopleWindowRect = rectFrom(fourNumbers(line(0)));
    s.eventsWindowRect = rectFrom(fourNumbers(line(1)));
    if (const auto v = fourNumbers(line(2))) {
        const auto& r = *v;
        if (r[0] == kindFactions || r[0] == kindOccupations)
            s.peopleColorBy = static_cast<int16_t>(r[0]);
        if (r[1] == kindNations || r[1] == kindGroups)
            s.eventsColorBy = static_cast<int16_t>(r[1]);
        if (r[2] >= 0 && r[2] <= 0xFFFFFF)
            s.peopleBackColor = static_cast<int32_t>(r[2]);
        if (r[3] >= 0 && r[3] <= 0xFFFFFF)
            s.eventsBackColor = static_cast<int32_t>(r[3]);
    }
    std::string_view link = line(3);
    while (!link.empty() && (link.front() == ' ' || link.front() == '\t'))
        link.remove_prefix(1);
    while (!link.empty() && (link.back() == ' ' || link.back() == '\t'))
        link.remove_suffix(1);
    s.linkScrolling = link != "0";
    return s;
}

Settings readSettings(const std::string& path) {
    try {
        return parseSettings(readWholeFile(path));
    } catch (const FileError&) {
        return Settings();
    }
}

std::string formatSettings(const Settings& s) {
    const WindowRect p = s.peopleWindowRect.value_or(WindowRect());
    const WindowRect e = s.eventsWindowRect.value_or(WindowRect());
    return zonedLine({p.left, p.top, p.width, p.height}) +
           zonedLine({e.left, e.top, e.width, e.height}) +
           zonedLine({s.peopleColorBy, s.eventsColorBy, s.peopleBackColor, s.eventsBackColor}) +
           (s.linkScrolling ? std::string() : " 0 " + std::string(lineBreak));
}

void writeSettings(const std::string& path, const Settings& settings) {
    writeFileAtomic(path, formatSettings(settings));
}

} // namespace tess
