#include "timeline/chart_printing.h"

#include "core/numbers.h"

#include <algorithm>
#include <cmath>

namespace tess {

namespace {

int roundedInt16(std::string_view text) {
    const double n = roundHalfEven(readLeadingNumber(text));
    return static_cast<int>(std::clamp(n, -32768.0, 32767.0));
}

// Starts a page with its banner, asking first unless it is the document's first page.
bool startPage(Printer& printer, int& pages, const KeepPrinting& keepPrinting) {
    if (pages > 0 && keepPrinting && !keepPrinting(pages))
        return false;
    printChartHeader(printer);
    ++pages;
    return true;
}

bool printStrip(Printer& printer, const std::vector<ChartLine>& lines, long long first,
                long long last, TextEncoding encoding, int& pages,
                const KeepPrinting& keepPrinting) {
    if (!startPage(printer, pages, keepPrinting))
        return false;
    auto printOne = [&](const ChartLine& line) {
        const long long length = line.width();
        if (length >= first)
            printer.printLine(line.slice(first - 1, std::min(last, length) - first + 1, encoding));
        else
            printer.printLine(" ");
        if (pageIsFull(printer))
            return startPage(printer, pages, keepPrinting);
        return true;
    };
    // An empty chart's text is still one (empty) line.
    if (lines.empty())
        return printOne(ChartLine{});
    for (const ChartLine& line : lines)
        if (!printOne(line))
            return false;
    return true;
}

} // namespace

bool printTimelineStrip(Printer& printer, const std::vector<ChartLine>& lines, long long first,
                        long long last, TextEncoding encoding, const KeepPrinting& keepPrinting) {
    int pages = 0;
    return printStrip(printer, lines, first, last, encoding, pages, keepPrinting);
}

std::string yearsPerStripRule(std::string_view text) {
    const double n = roundHalfEven(readLeadingNumber(text));
    return plainNumber(static_cast<long long>(std::clamp(n, 10.0, 300.0)));
}

std::vector<std::pair<long long, long long>>
chartStrips(int yearsPerStrip, int earliestDate, int firstYear, int lastYear, int latestDate) {
    std::vector<std::pair<long long, long long>> strips;
    if (yearsPerStrip < 1)
        return strips;
    const long long firstColumn = static_cast<long long>(firstYear) - earliestDate;
    // The whole chart ends with the first strip whose last column lies beyond its last year;
    // an End Year of the user's own, with the strip that holds it.
    const long long lastColumn = static_cast<long long>(lastYear) - earliestDate;
    const bool wholeChart = lastYear >= latestDate;
    long long e = 0;
    do {
        const long long s = e + 1;
        e = s + yearsPerStrip - 1;
        if (e >= firstColumn)
            strips.emplace_back(s, e);
    } while (wholeChart ? earliestDate + e <= lastYear : e < lastColumn);
    return strips;
}

namespace {

// The years the print window's fields name, each the chart's own end without a number.
std::pair<int, int> requestedYears(const TimelinePrintRequest& request, int earliestDate,
                                   int latestDate) {
    auto year = [](const std::string& text, int otherwise) {
        return text.find_first_of("0123456789") == std::string::npos ? otherwise
                                                                     : roundedInt16(text);
    };
    return {year(request.startYear, earliestDate), year(request.endYear, latestDate)};
}

} // namespace

int askedYearsPerStrip(std::string_view yearsPerLine) {
    return roundedInt16(yearsPerLine);
}

std::string printRangeProblem(const TimelinePrintRequest& request, int earliestDate,
                              int latestDate) {
    const auto [first, last] = requestedYears(request, earliestDate, latestDate);
    return first > last ? "Start Year must not be after End Year." : "";
}

TimelinePrintOutcome printTimeline(Printer& printer, const std::vector<ChartLine>& lines,
                                   TextEncoding encoding, int earliestDate, int latestDate,
                                   const TimelinePrintRequest& request,
                                   const KeepPrinting& keepPrinting) {
    TimelinePrintOutcome outcome;
    outcome.askedYears = askedYearsPerStrip(request.yearsPerLine);
    if (outcome.askedYears < 10)
        return outcome;
    if (const std::string problem = printRangeProblem(request, earliestDate, latestDate);
        !problem.empty())
        throw PrintError(problem);
    // Columns past the page's edge would be on no page at all: the strips narrow instead.
    const long long fit = printer.maxColumns();
    outcome.years = fit > 0 && fit < outcome.askedYears ? static_cast<int>(std::max(1LL, fit))
                                                        : outcome.askedYears;
    // The years limit the strips to those that hold them, within the chart.
    const auto [start, end] = requestedYears(request, earliestDate, latestDate);
    const int lastYear = std::clamp(end, earliestDate, latestDate);
    const int firstYear = std::clamp(start, earliestDate, lastYear);
    const auto strips = chartStrips(outcome.years, earliestDate, firstYear, lastYear, latestDate);
    // The type is sized for what is printed: a narrow chart in wide strips keeps its size.
    long long longest = 0;
    for (const ChartLine& line : lines)
        longest = std::max(longest, line.width());
    long long widest = static_cast<long long>(printBanner.size());
    for (const auto& [first, last] : strips)
        widest = std::max(widest, std::min(last, std::max(longest, first)) - first + 1);
    printer.fitColumns(widest);
    int pages = 0;
    for (const auto& [first, last] : strips) {
        if (!printStrip(printer, lines, first, last, encoding, pages, keepPrinting)) {
            outcome.stopped = true;
            break;
        }
        ++outcome.strips;
    }
    if (outcome.stopped)
        printer.abortDocument();
    else
        printer.endDocument();
    return outcome;
}

std::string stripsPrintedMessage(const TimelinePrintOutcome& outcome, std::string_view lineEnd) {
    std::string text = "Printed " + plainNumber(outcome.strips) +
                       (outcome.strips == 1 ? " strip of " : " strips of ") +
                       plainNumber(outcome.years) + " years";
    // Only where the narrowing made strips of the chart: one strip holds all of it anyway.
    if (outcome.years < outcome.askedYears && outcome.strips > 1)
        text += std::string(lineEnd) + "Only " + plainNumber(outcome.years) +
                " years fit across the page at the smallest type, not the " +
                plainNumber(outcome.askedYears) + " asked for.";
    return text;
}

} // namespace tess
