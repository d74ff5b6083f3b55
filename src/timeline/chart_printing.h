#pragma once

#include "core/print_layout.h"
#include "core/printer.h"
#include "timeline/chart.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

// Asked before each new page after the first, with the pages printed so far; false stops the
// print.
using KeepPrinting = std::function<bool(int pagesDone)>;

// Prints chart columns [first, last] (from 1) of every line, from a new page: a line too short
// for the strip prints as one blank, so that the strip keeps one printed line per chart line.
// Returns false when keepPrinting stopped it.
bool printTimelineStrip(Printer& printer, const std::vector<ChartLine>& lines, long long first,
                        long long last, TextEncoding encoding,
                        const KeepPrinting& keepPrinting = {});

// The Timeline Print window's years-per-strip field when it is left: the number read from it
// (rounded), held within 10..300.
std::string yearsPerStripRule(std::string_view text);

// The strips a chart prints in: Y columns each from column 1, column c being the year
// earliestDate + c, starting with the strip that holds firstYear. The whole chart (lastYear at
// latestDate) ends with the first strip whose last column lies beyond it; an earlier lastYear
// with the strip that holds it. Pairs of first and last column.
std::vector<std::pair<long long, long long>>
chartStrips(int yearsPerStrip, int earliestDate, int firstYear, int lastYear, int latestDate);

// What the Timeline Print window left, read as the print reads it.
struct TimelinePrintRequest {
    std::string yearsPerLine; // "0" after Cancel
    std::string startYear;    // empty or not a number: the chart's first year
    std::string endYear;      // likewise, its last year
};

// The years per strip the print reads from the field: below 10 after Cancel, when nothing
// prints.
int askedYearsPerStrip(std::string_view yearsPerLine);

// "Start Year must not be after End Year." when the two fields, read as the print reads
// them, are the wrong way round; empty otherwise.
std::string printRangeProblem(const TimelinePrintRequest& request, int earliestDate,
                              int latestDate);

// Prints a chart in strips as one document and ends it; nothing when the years per strip are
// below 10 (Cancel). A strip is never wider than the printer fits on the page at its smallest
// type, and the type is sized for the widest line printed. Stopped by keepPrinting, the
// document is dropped instead. PrintError escapes, the document neither ended nor dropped; a
// Start Year after the End Year is one, before anything is printed.
struct TimelinePrintOutcome {
    int strips = 0;
    int years = 0;      // per strip, as printed
    int askedYears = 0; // per strip, as asked
    bool stopped = false;
};
TimelinePrintOutcome printTimeline(Printer& printer, const std::vector<ChartLine>& lines,
                                   TextEncoding encoding, int earliestDate, int latestDate,
                                   const TimelinePrintRequest& request,
                                   const KeepPrinting& keepPrinting = {});

// "Printed N strips of W years", and on a line of its own why W is less than asked.
std::string stripsPrintedMessage(const TimelinePrintOutcome& outcome,
                                 std::string_view lineEnd = "\n");

} // namespace tess
