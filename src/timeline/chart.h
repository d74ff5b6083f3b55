#pragma once

#include "core/dataset.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tess {

// The colour of a line whose category has no entry in its table: the box's own text colour.
inline constexpr int32_t defaultTextColor = -1;

// One chart line. A chart line is mostly blanks in front of its bar (one per year from the
// chart's left edge), so the blanks are kept as a count and the line's text made on demand.
struct ChartLine {
    int lead = 0;     // blanks before body
    std::string body; // start label, bar, name and end date
    int32_t color = defaultTextColor;

    std::string text() const { return std::string(static_cast<size_t>(lead), ' ') + body; }
    size_t length() const { return static_cast<size_t>(lead) + body.size(); }
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

// The text of one chart line with the chart's left edge at earliestDate.
std::string buildChartLine(const std::string& name, int16_t date1, int16_t date1Type, int16_t date2,
                           int16_t date2Type, int earliestDate);
ChartLine buildChartLineParts(const std::string& name, int16_t date1, int16_t date1Type,
                              int16_t date2, int16_t date2Type, int earliestDate);

// One line per selected entry, in the order the dataset keeps them, coloured by the chosen
// category (peopleColorBy 3 faction, else occupation; eventsColorBy 5 first nation, else group).
Chart buildPeopleChart(const Dataset& ds, int peopleColorBy);
Chart buildEventsChart(const Dataset& ds, int eventsColorBy);

// The entry on chart line k (counting from 1): the k-th selected entry in index order.
std::optional<int> personAtLine(const Dataset& ds, int k);
std::optional<int> eventAtLine(const Dataset& ds, int k);

} // namespace tess
