#pragma once

#include "core/year_text.h"

#include <array>
#include <string>
#include <vector>

namespace tess {

// The zoom steps of a timeline, in years a character: one is the chart as printed.
inline constexpr std::array<int, 7> zoomSteps = {1, 2, 5, 10, 20, 50, 100};
// A step the list holds; anything else (a damaged choices file) reads as one year a character.
int validZoomStep(int step);
// The next step in (fewer years a character) or out; the same step at either end.
int zoomedIn(int step);
int zoomedOut(int step);

// Where the years stand on a chart whose left edge is earliestDate at step years a character:
// a year keeps the column it has at one year a character, divided by step and rounded down, so
// that zooming never moves the chart's origin.
struct YearScale {
    int earliestDate = 0;
    int step = 1;

    long long columnOf(long long year) const;
    // The years a column stands for, first to last.
    long long firstYearOf(long long column) const;
    long long lastYearOf(long long column) const { return firstYearOf(column) + step - 1; }
};

// The smallest step at which the years from earliestDate to latestDate fit in so many columns;
// the largest step when none does.
int fitStep(int earliestDate, int latestDate, long long columns);

// A tick of the year ruler, in the column of its year.
struct RulerTick {
    long long column = 0;
    long long year = 0;
    bool labelled = false;
};
struct RulerMarks {
    int labelEvery = 10; // years between labels
    int tickEvery = 1;   // years between ticks, a whole number of columns
    std::vector<RulerTick> ticks;
};
// The ticks in columns [firstColumn, firstColumn + columns): a labelled one every 10, 50, 100,
// 500 or 1,000 years, the first of those whose labels (labelColumns wide, a gap included) do
// not run into each other, and smaller ones between at most one a column.
RulerMarks rulerMarks(const YearScale& scale, long long firstColumn, long long columns,
                      int labelColumns);
// The widest label the ruler may show over those columns: their first and last years rounded
// out to thousands, so that the labels' spacing holds while the chart scrolls.
std::string widestYearLabel(const YearScale& scale, long long firstColumn, long long columns,
                            YearStyle style);

} // namespace tess
