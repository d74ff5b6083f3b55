#include "core/legacy_file.h"

#include "core/file_error.h"
#include "core/line_reader.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tess {

namespace {

// The older layout has no priorities. A converted entry gets the one the reader gives a missing
// priority, so that the dataset in memory filters as its converted copy does when opened.
constexpr int16_t convertedPriority = 5;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The three text lines of an older entry, kept and joined into its description.
template <typename Record> void readTextLines(LineReader& in, Record& r) {
    r.legacyText1 = in.readLine();
    r.legacyText2 = in.readLine();
    r.legacyText3 = in.readLine();
    r.desc.clear();
    for (const std::string* line : {&r.legacyText1, &r.legacyText2, &r.legacyText3}) {
        const std::string_view t = trimBlanks(*line);
        if (t.empty())
            continue;
        if (!r.desc.empty())
            r.desc += ' ';
        r.desc += t;
    }
}

template <typename Record> void readDates(LineReader& in, Record& r, DateRange& range) {
    r.date1 = in.readInt16();
    r.date1Type = in.readInt16();
    r.date2 = in.readInt16();
    r.date2Type = in.readInt16();
    range.track(r.date1, r.date2);
}

template <typename Record> void readPicture(LineReader& in, Record& r) {
    r.imgName = in.readLine();
    r.imgSize1 = in.readInt16();
    r.imgSize2 = in.readInt16();
}

// True when what is left of the file is a header line, blank lines or nothing: the end of a
// category section, which the older layout does not count.
bool atSectionEnd(std::string_view text, size_t pos) {
    while (pos < text.size() && (isBlank(text[pos]) || text[pos] == '\r' || text[pos] == '\n'))
        ++pos;
    return pos >= text.size() || text[pos] == '=';
}

void readLegacyTable(LineReader& in, std::string_view text, CategoryTable& table,
                     const char* what) {
    in.skipLine();
    table.resize(0);
    while (!atSectionEnd(text, in.position())) {
        if (table.count == maxEntries)
            in.fail(std::string("More than 32767 ") + what);
        in.skipLine();
        std::string name(in.readLine());
        const int32_t color = readColorField(in);
        table.names.push_back(std::move(name));
        table.colors.push_back(color);
        table.include.push_back(boolTrue);
        ++table.count;
    }
}

} // namespace

std::string convertedFileName(const std::string& legacyPath) {
    std::string out = legacyPath;
    const auto lower = [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    std::string ending = out.size() >= 4 ? out.substr(out.size() - 4) : std::string();
    std::transform(ending.begin(), ending.end(), ending.begin(), lower);
    // Changing the last character of any other name would make "data" into "dat3", or the
    // copy's name another file's.
    if (ending == ".qd2")
        out.back() = '3';
    else
        out += ".qd3";
    return out;
}

Dataset readLegacyText(std::string_view fileText) {
    Dataset ds;
    const std::string_view text = fileBody(fileText, ds.encoding);
    LineReader in(text, ds.encoding);
    DateRange range;
    int claimedPeople = 0;
    int claimedEvents = 0;
    try {
        claimedPeople = readCountLine(in, "people");
        claimedEvents = readCountLine(in, "events");
        in.skipLine();
        ds.people.reserve(std::min(static_cast<size_t>(claimedPeople), text.size() / 16));
        for (int i = 0; i < claimedPeople; ++i) {
            PersonRecord& p = ds.people.emplace_back();
            p.selected = 1;
            p.priority = convertedPriority;
            in.skipLine();
            p.name = in.readLine();
            readDates(in, p, range);
            readTextLines(in, p);
            p.faction = in.readInt16();
            p.occupation = in.readInt16();
            readPicture(in, p);
        }
        in.skipLine();
        ds.events.reserve(std::min(static_cast<size_t>(claimedEvents), text.size() / 16));
        for (int i = 0; i < claimedEvents; ++i) {
            EventRecord& e = ds.events.emplace_back();
            e.selected = 1;
            e.priority = convertedPriority;
            in.skipLine();
            e.name = in.readLine();
            readDates(in, e, range);
            readTextLines(in, e);
            e.group = in.readInt16();
            e.nation1 = in.readInt16();
            e.nation2 = in.readInt16();
            readPicture(in, e);
        }
        const std::array<std::pair<CategoryTable*, const char*>, 4> tables = {
            {{&ds.factions, "factions"},
             {&ds.occupations, "occupations"},
             {&ds.groups, "groups"},
             {&ds.nations, "nations"}}};
        for (const auto& [table, what] : tables)
            readLegacyTable(in, text, *table, what);
    } catch (const FileError& err) {
        throw FileError(readFailureMessage(err.description(), ds, claimedPeople, claimedEvents));
    }
    ds.numPeople = static_cast<int>(ds.people.size());
    ds.numEvents = static_cast<int>(ds.events.size());
    ds.numSelPeople = static_cast<int16_t>(ds.numPeople);
    ds.numSelEvents = static_cast<int16_t>(ds.numEvents);
    ds.earliestDate = range.earliest;
    ds.latestDate = range.latest;
    ds.selStart = ds.earliestDate;
    ds.selEnd = ds.latestDate;
    ds.loaded = true;
    return ds;
}

Dataset convertLegacyFile(const std::string& legacyPath, const std::string& outPath,
                          const WriteFunction& write) {
    if (outPath == legacyPath)
        throw FileError("The converted copy would replace \"" + legacyPath +
                        "\" itself; the older file's name must end in a character other than "
                        "\"3\".");
    Dataset ds = readLegacyText(readWholeFile(legacyPath));
    writeDataset(ds, outPath, write);
    ds.fileName = outPath;
    return ds;
}

} // namespace tess
