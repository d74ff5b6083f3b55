#pragma once

#include "core/dataset.h"
#include "core/year_text.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

// The kinds of file whose dialogs each start in the folder last used for that kind.
enum class FileKind { dataset, legacy, import, exported, picture };

// What the program remembers for the user besides "zem.ini", whose format older programs
// share: the datasets last opened or saved, the folder last used for each kind of file, and
// the choices windows keep. A file of its own, "choices.ini" beside "zem.ini", one
// "key=value" a line; keys this version does not know are kept as they are.
struct UserChoices {
    static constexpr size_t maxRecent = 6;
    // Newest first, at most six, no path twice.
    std::vector<std::string> recent;
    std::map<std::string, std::string> values;

    // The path goes to the top of the list (a path no line can hold is not kept).
    void noteRecent(const std::string& path);
    void dropRecent(const std::string& path);
    // The folder last used for the kind; empty when none is known.
    std::string folder(FileKind kind) const;
    // The folder of the file just chosen becomes the one for its kind.
    void noteFolderOf(FileKind kind, const std::string& filePath);
    // How windows write years for people to read: "44 BC", or "-44" once "Signed years" is
    // chosen.
    YearStyle yearStyle() const;
    void setYearStyle(YearStyle style);
    // Each timeline's zoom step (one year a character unless chosen) and whether its legend
    // is shown (it is, until hidden).
    int zoomStep(Side side) const;
    void setZoomStep(Side side, int step);
    bool legendShown(Side side) const;
    void setLegendShown(Side side, bool shown);

    bool operator==(const UserChoices&) const = default;
};

inline constexpr const char* choicesFileName = "choices.ini";

// A missing or damaged file never fails: lines that are not "key=value", recent files past
// the sixth and values no line could have written are left out.
UserChoices parseUserChoices(std::string_view text);
UserChoices readUserChoices(const std::string& path);
std::string formatUserChoices(const UserChoices& choices);
// Writes the file atomically; throws FileError on failure.
void writeUserChoices(const std::string& path, const UserChoices& choices);

} // namespace tess
