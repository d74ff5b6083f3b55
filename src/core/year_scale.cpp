#include "core/year_scale.h"

#include <algorithm>

namespace tess {

namespace {

long long floorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

int validZoomStep(int step) {
    return std::find(zoomSteps.begin(), zoomSteps.end(), step) != zoomSteps.end() ? step : 1;
}

int zoomedIn(int step) {
    const auto at = std::find(zoomSteps.begin(), zoomSteps.end(), validZoomStep(step));
    return at == zoomSteps.begin() ? *at : *(at - 1);
}

int zoomedOut(int step) {
    const auto at = std::find(zoomSteps.begin(), zoomSteps.end(), validZoomStep(step));
    return at + 1 == zoomSteps.end() ? *at : *(at + 1);
}

long long YearScale::columnOf(long long year) const {
    return floorDiv(year - earliestDate - 1, step);
}

long long YearScale::firstYearOf(long long column) const {
    return earliestDate + 1 + column * step;
}

int fitStep(int earliestDate, int latestDate, long long columns) {
    for (const int step : zoomSteps)
        if (YearScale{earliestDate, step}.columnOf(latestDate) < columns)
            return step;
    return zoomSteps.back();
}

RulerMarks rulerMarks(const YearScale& scale, long long firstColumn, long long columns,
                      int labelColumns) {
    RulerMarks marks;
    const int step = scale.step;
    for (const int every : {10, 50, 100, 500, 1000}) {
        marks.labelEvery = every;
        if (every / step >= labelColumns)
            break;
    }
    const int every = marks.labelEvery;
    // Tenths of the label interval (fifths of 50), never closer together than a column.
    const int minor = std::max(step, every / (every == 50 ? 5 : 10));
    marks.tickEvery = minor;
    const long long first = scale.firstYearOf(firstColumn);
    const long long last = scale.lastYearOf(firstColumn + columns - 1);
    for (long long year = floorDiv(first + minor - 1, minor) * minor; year <= last; year += minor) {
        marks.ticks.push_back({scale.columnOf(year), year, year % every == 0});
    }
    return marks;
}

std::string widestYearLabel(const YearScale& scale, long long firstColumn, long long columns,
                            YearStyle style) {
    auto rounded = [](long long year) {
        return (year < 0 ? year - 999 : year + 999) / 1000 * 1000;
    };
    const std::string first = yearText(rounded(scale.firstYearOf(firstColumn)), style);
    const std::string last = yearText(rounded(scale.lastYearOf(firstColumn + columns)), style);
    return first.size() >= last.size() ? first : last;
}

} // namespace tess
