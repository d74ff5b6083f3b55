#pragma once

#include "core/dataset.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tess {

// The colour of a line whose category has no entry in its table: the box's own text colour.
inline constexpr int32_t defaultTextColor = -1;

// One chart line, held as its parts so that its memory does not grow with its width: a line
// of a chart spanning thousands of years is mostly blanks and dashes, which are kept as counts.
// The line reads: `lead` blanks, `head`, `dashes1` dashes, `middle`, `dashes2` dashes, `tail`.
// The texts are bytes in the dataset's encoding; widths count characters.
struct ChartLine {
    int lead = 0;
    std::string head; // start label and start mark, or the one-year mark and the name
    int dashes1 = 0;
    std::string middle; // the name, when it fits inside the bar
    int dashes2 = 0;
    std::string tail; // end mark, a name that follows the bar, the second date
    int headWidth = 0, middleWidth = 0, tailWidth = 0;
    int32_t color = defaultTextColor;

    // The whole line, blanks and dashes spelled out.
    std::string text() const;
    // Its length in characters.
    long long width() const {
        return static_cast<long long>(lead) + headWidth + dashes1 + middleWidth + dashes2 +
               tailWidth;
    }
    // Characters [first, first + count) of the line, made without spelling out the rest.
    std::string slice(long long first, long long count, TextEncoding encoding) const;
};

struct Chart {
    std::vector<ChartLine> lines;
    // "colored by faction", "colored by occupation", "colored by nation" or "colored by group".
    std::string colorCaption;
    // The lines joined by CR LF, no line break after the last: what printing reads.
    std::string text() const;
};

// Sets the chart range from the selected entries, widened by 10 years on each side.
void computeChartRange(Dataset& ds);

// The text of one chart line with the chart's left edge at earliestDate. The name's length is
// counted in characters of the given encoding, so the bar is as wide in a UTF-8 dataset as in a
// Windows-1252 one.
std::string buildChartLine(const std::string& name, int16_t date1, int16_t date1Type, int16_t date2,
                           int16_t date2Type, int earliestDate,
                           TextEncoding encoding = TextEncoding::windows1252);
ChartLine buildChartLineParts(const std::string& name, int16_t date1, int16_t date1Type,
                              int16_t date2, int16_t date2Type, int earliestDate,
                              TextEncoding encoding = TextEncoding::windows1252);

// One line per selected entry, in the order the dataset keeps them, coloured by the chosen
// category (peopleColorBy 3 faction, else occupation; eventsColorBy 5 first nation, else group).
Chart buildPeopleChart(const Dataset& ds, int peopleColorBy);
Chart buildEventsChart(const Dataset& ds, int eventsColorBy);

// The year a column of a chart stands for, and back: a chart whose left edge is earliestDate
// marks a first date one column before the year's offset from that edge (its line's blanks are
// seven fewer than that offset, then come the five-character label, a blank and the mark).
inline long long yearAtColumn(int earliestDate, long long column) {
    return earliestDate + column + 1;
}
inline long long columnOfYear(int earliestDate, long long year) {
    return year - earliestDate - 1;
}

// The chart line (from 1) of an entry: its place among the selected ones; none when the entry
// is not selected and so not on the chart.
std::optional<int> lineOfPerson(const Dataset& ds, int index);
std::optional<int> lineOfEvent(const Dataset& ds, int index);

// The entry on chart line k (counting from 1): the k-th selected entry in index order.
std::optional<int> personAtLine(const Dataset& ds, int k);
std::optional<int> eventAtLine(const Dataset& ds, int k);

} // namespace tess
