#pragma once

#include "core/dataset.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tess {

// A window's outer rectangle in twips.
struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// The values of "zem.ini". A rectangle the file did not give properly is left empty, and the
// window is then placed in the middle of the screen at a sensible size.
struct Settings {
    std::optional<WindowRect> peopleWindowRect;
    std::optional<WindowRect> eventsWindowRect;
    int16_t peopleColorBy = kindFactions;
    int16_t eventsColorBy = kindNations;
    int32_t peopleBackColor = 0xFFFFFF;
    int32_t eventsBackColor = 0xFFFFFF;
    // The two timelines scroll sideways together. Only a file that turned it off has a
    // fourth line; older files have three and read as on.
    bool linkScrolling = true;
    bool operator==(const Settings&) const = default;
};

inline constexpr const char* settingsFileName = "zem.ini";

// Reads the three lines of four values each, and the fourth line's one value if there is one. A
// missing, short or damaged file never fails: each line or value that is not as expected keeps its
// default.
Settings parseSettings(std::string_view text);
Settings readSettings(const std::string& path);

// Three lines of four numbers in 14-character print zones, each number with a leading blank
// (or its minus sign) and one trailing blank, lines ended by CR LF.
std::string formatSettings(const Settings& settings);
// Writes the file atomically; throws FileError on failure.
void writeSettings(const std::string& path, const Settings& settings);

} // namespace tess
