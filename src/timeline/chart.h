#pragma once

#include "core/chart_line.h"
#include "core/dataset.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tess {

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
// Windows-1252 one. Zoomed out to step years a character, the marks stand in the columns
// YearScale gives their years, the dates' labels before and after them as at one year a
// character; where both dates share a column the first date's mark stands there, and a name
// too long for the room between the marks follows the second.
std::string buildChartLine(const std::string& name, int16_t date1, int16_t date1Type, int16_t date2,
                           int16_t date2Type, int earliestDate,
                           TextEncoding encoding = TextEncoding::windows1252);
ChartLine buildChartLineParts(const std::string& name, int16_t date1, int16_t date1Type,
                              int16_t date2, int16_t date2Type, int earliestDate,
                              TextEncoding encoding = TextEncoding::windows1252, int step = 1);

// One line per selected entry, in the order the dataset keeps them, coloured by the chosen
// category (peopleColorBy 3 faction, else occupation; eventsColorBy 5 first nation, else group).
Chart buildPeopleChart(const Dataset& ds, int peopleColorBy, int step = 1);
Chart buildEventsChart(const Dataset& ds, int eventsColorBy, int step = 1);

// The chart line (from 1) of an entry: its place among the selected ones; none when the entry
// is not selected and so not on the chart.
std::optional<int> lineOfPerson(const Dataset& ds, int index);
std::optional<int> lineOfEvent(const Dataset& ds, int index);

// The entry on chart line k (counting from 1): the k-th selected entry in index order.
std::optional<int> personAtLine(const Dataset& ds, int k);
std::optional<int> eventAtLine(const Dataset& ds, int k);

} // namespace tess
