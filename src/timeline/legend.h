#pragma once

#include "core/dataset.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tess {

// A row of a timeline's legend: a category of the colouring table that the chart's lines use.
struct LegendRow {
    int category = 0; // in the colouring table; 0 for lines whose category is out of it
    std::string name; // the dataset's bytes; "(none)" for lines out of the table
    int32_t color = 0;
    int lines = 0;
    int firstLine = 0; // the first of them on the chart, from 0
};

// The categories the chart of a side uses under its colouring (as buildPeopleChart and
// buildEventsChart take it), in table order, then "(none)" when some lines are out of the table.
std::vector<LegendRow> legendRows(const Dataset& ds, Side side, int colorBy);

} // namespace tess
