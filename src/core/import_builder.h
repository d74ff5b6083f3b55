#pragma once

#include "core/dataset.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tess {

// One entry as an import reads it from another program's file, its texts in UTF-8. Category
// fields hold the category's name; an empty one means the file gave none.
struct ImportedEntry {
    Side side = Side::people;
    std::string name;
    int first = 0;
    int last = 0;
    int16_t firstType = dateKnown;
    int16_t lastType = dateKnown;
    int priority = 1;
    std::string faction, occupation;     // people
    std::string group, nation1, nation2; // events
    std::string description, picture, link;
};

// What an import made, and what its summary tells the user.
struct ImportResult {
    Dataset dataset;
    int people = 0;
    int events = 0;
    // Values the entry windows' rules changed: a last date raised to the first, a priority
    // held to 1..9.
    int corrected = 0;
    // Further clauses of the summary, from the reader of the file ("929 individuals without a
    // year were left out").
    std::vector<std::string> notes;
};

// The category every table gives an entry the file left without one, so that the selection
// filters, which pass no category 0, still show it.
inline constexpr const char* noCategoryName = "(none)";

// Makes a dataset out of imported entries by the rules the entry windows keep, whatever file
// they came from:
// - texts are one line (a line break, CR LF counted as one, becomes a blank), and a picture
//   or link holds no double quote (it becomes an apostrophe, as a saved file has it);
// - a last date before the first is raised to it, priorities are held to 1..9;
// - categories are made by name (blanks around it dropped, case ignored, the first spelling
//   kept) in order of first appearance, each
//   in a colour of its own, "(none)" for an entry without one (an event's second nation may
//   stay empty), and "(none)" too in a list the file names nothing for;
// - people and events are sorted by first date, stably;
// - the texts are Windows-1252 when every one of them fits, else UTF-8.
class ImportBuilder {
public:
    void add(ImportedEntry entry);
    int people() const { return static_cast<int>(people_.size()); }
    int events() const { return static_cast<int>(events_.size()); }
    // True once the people, the events or one table's categories are more than a dataset
    // holds: finish() will refuse, so a reader may stop reading there.
    bool pastLimits() const {
        return tooMany(people()) || tooMany(events()) || tooMany(factions_.wanted) ||
               tooMany(occupations_.wanted) || tooMany(groups_.wanted) || tooMany(nations_.wanted);
    }

    // The dataset, as if read from a file with no file name, and what the summary needs.
    // Throws FileError, having made nothing, when there are more than 32767 people, events or
    // categories of one table.
    ImportResult finish();

private:
    static bool tooMany(int count) { return count > maxEntries; }
    struct Table {
        CategoryTable table;
        std::unordered_map<std::string, int16_t> byName;
        std::unordered_set<int32_t> colors;
        int wanted = 0; // categories asked for, even past the limit
    };
    int16_t category(Table& t, std::string name);

    std::vector<PersonRecord> people_;
    std::vector<EventRecord> events_;
    Table factions_, occupations_, groups_, nations_;
    int corrected_ = 0;
};

// "Imported 1,228 people and 934 events from NAME", then "; N values were corrected" and the
// result's notes, each after "; ", and a closing full stop. NAME is the file's name without
// its folder, bounded and its control characters escaped.
std::string importSummary(const ImportResult& result, std::string_view path);
// A count with a comma between thousands: 12,345.
std::string groupedNumber(long long n);

} // namespace tess
