#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tess {

// Codes of the four category tables, as used by the colouring settings and the category editor.
// Which of the two kinds of entry a window, a chart or a report is about.
enum class Side { people, events };

enum CategoryKind : int16_t {
    kindFactions = 3,
    kindOccupations = 4,
    kindNations = 5,
    kindGroups = 6,
};

enum DateKind : int16_t { dateKnown = 0, dateApprox = 1, dateReign = 2 };

// 16-bit booleans as the data keeps them: 0 is false, anything else true.
constexpr int16_t boolTrue = -1;
constexpr int16_t boolFalse = 0;

struct PersonRecord {
    std::string name;
    int16_t date1 = 0;
    int16_t date2 = 0;
    int16_t date1Type = 0;
    int16_t date2Type = 0;
    std::string desc;
    std::string legacyText1, legacyText2, legacyText3;
    int16_t faction = 0;
    int16_t occupation = 0;
    std::string imgName;
    int16_t imgSize1 = 0;
    int16_t imgSize2 = 0;
    std::string url;
    std::string spareText;
    int16_t priority = 0;
    int16_t selected = 0;
    int16_t spare1 = 0, spare2 = 0, spare3 = 0;
    std::string extra1, extra2;

    bool operator==(const PersonRecord&) const = default;
};

struct EventRecord {
    std::string name;
    int16_t date1 = 0;
    int16_t date2 = 0;
    int16_t date1Type = 0;
    int16_t date2Type = 0;
    std::string desc;
    std::string legacyText1, legacyText2, legacyText3;
    int16_t group = 0;
    int16_t nation1 = 0;
    int16_t nation2 = 0;
    std::string imgName;
    int16_t imgSize1 = 0;
    int16_t imgSize2 = 0;
    std::string url;
    std::string spareText;
    int16_t priority = 0;
    int16_t spare1 = 0, spare2 = 0, spare3 = 0;
    std::string extra1, extra2;
    int16_t selected = 0;

    bool operator==(const EventRecord&) const = default;
};

// A named list of categories. Positions count from 1; position 0 of every array exists and
// holds no category, so an entry's index 0 ("none") can be looked up without a special case.
struct CategoryTable {
    int16_t count = 0;
    std::vector<std::string> names{std::string()};
    std::vector<int32_t> colors{0};
    std::vector<int16_t> include{boolFalse};

    // Grows or shrinks the arrays to positions 0..n, keeping what is there, and sets count.
    void resize(int16_t n);
    // True when k names a category of this table (1..count).
    bool valid(int k) const { return k >= 1 && k <= count; }
    bool included(int k) const { return valid(k) && include[static_cast<size_t>(k)] != 0; }

    bool operator==(const CategoryTable&) const = default;
};

// How the dataset's texts are encoded in its file; texts are kept as the file's bytes and a
// dataset is saved in the encoding it came in.
enum class TextEncoding { windows1252, utf8 };

constexpr int maxEntries = 32767;
constexpr int initialEarliestDate = 9999;
constexpr int initialLatestDate = -32000;

struct Dataset {
    std::vector<PersonRecord> people;
    std::vector<EventRecord> events;
    int numPeople = 0;
    int numEvents = 0;
    int16_t numSelPeople = 0;
    int16_t numSelEvents = 0;
    CategoryTable factions, occupations, groups, nations;
    // The chart range. Kept wider than 16 bits so that the 10-year widening of the range can
    // never wrap around; every value the program stores here is a year or a year plus 10.
    int earliestDate = initialEarliestDate;
    int latestDate = initialLatestDate;
    int selStart = 0;
    int selEnd = 0;
    int16_t selPriority = 9;
    int16_t curPerson = 0;
    int16_t curEvent = 0;
    bool loaded = false;
    bool modified = false;
    int16_t saveSelectedOnly = 0;
    std::string fileName;
    TextEncoding encoding = TextEncoding::windows1252;

    CategoryTable& table(CategoryKind kind);
    const CategoryTable& table(CategoryKind kind) const;
};

// The old 16-colour palette, as 0x00BBGGRR. Numbers 0..15 only.
int32_t legacyPaletteColor(int number);

} // namespace tess
