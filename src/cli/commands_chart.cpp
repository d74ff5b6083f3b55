// The commands that draw the timeline chart: on the terminal, exported to a file, or printed.

#include "cli/cli_support.h"

#include "categories/categories.h"
#include "core/file_error.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "core/year_scale.h"
#include "timeline/chart.h"
#include "timeline/chart_export.h"
#include "timeline/chart_printing.h"

#include <algorithm>
#include <cctype>

namespace tess::cli {

namespace {

std::string ansiColored(const std::string& text, int32_t color) {
    if (color == defaultTextColor)
        return text;
    return "\x1b[38;2;" + std::to_string(color & 0xFF) + ";" + std::to_string((color >> 8) & 0xFF) +
           ";" + std::to_string((color >> 16) & 0xFF) + "m" + text + "\x1b[0m";
}

// The arguments of the commands that draw a chart: the side, files, the filters and the
// colouring; --color only where the chart goes to a terminal.
struct ChartArgs {
    std::vector<std::string> positional;
    FilterOptions filters;
    std::optional<std::string> colorBy;
    std::string color = "auto";
    int kind = 0; // the category table that colours the lines
    int step = 1; // years a character, for an export
};

// Reads the arguments; on a usage error prints it and returns false with status 2.
bool parseChartArgs(Context& c, ChartArgs& r, bool terminalColors, size_t files,
                    const std::string& usage, int& status) {
    status = 2;
    for (size_t i = 0; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        auto value = [&](std::optional<std::string>& into) {
            if (i + 1 >= c.args.size())
                return false;
            into = c.args[++i];
            return true;
        };
        std::string error;
        bool taken = false;
        if (!takeFilterOption(c.args, i, r.filters, error, taken)) {
            usageError(c, error);
            return false;
        }
        if (taken)
            continue;
        if (a == "--color-by") {
            if (!value(r.colorBy)) {
                usageError(c, a + " needs a value");
                return false;
            }
        } else if (a == "--zoom" && !terminalColors) {
            std::optional<std::string> v;
            const std::optional<long long> typed = value(v) ? wholeNumber(*v) : std::nullopt;
            if (!typed || *typed < 1 || *typed > 100 ||
                validZoomStep(static_cast<int>(*typed)) != static_cast<int>(*typed)) {
                usageError(c, "--zoom takes 1, 2, 5, 10, 20, 50 or 100 years a character");
                return false;
            }
            r.step = static_cast<int>(*typed);
        } else if (a == "--color" && terminalColors) {
            std::optional<std::string> v;
            if (!value(v)) {
                usageError(c, "--color needs auto, always or never");
                return false;
            }
            if (*v != "auto" && *v != "always" && *v != "never") {
                usageError(c, "--color takes auto, always or never");
                return false;
            }
            r.color = *v;
        } else if (a.size() > 1 && a.front() == '-' && !wholeNumber(a)) {
            usageError(c, "unknown option '" + a + "'");
            return false;
        } else {
            r.positional.push_back(a);
        }
    }
    if (r.positional.size() != 1 + files ||
        (r.positional[0] != "people" && r.positional[0] != "events")) {
        usageError(c, usage);
        return false;
    }
    if (rangeReversed(c, r.filters.from, r.filters.to) ||
        (files == 2 && outputIsAnInput(c, r.positional[2], {r.positional[1]})))
        return false;
    const bool people = r.positional[0] == "people";
    r.kind = people ? kindFactions : kindNations;
    if (r.colorBy) {
        const std::string& k = *r.colorBy;
        if (people && (k == "faction" || k == "occupation")) {
            r.kind = k == "faction" ? kindFactions : kindOccupations;
        } else if (!people && (k == "group" || k == "nation")) {
            r.kind = k == "group" ? kindGroups : kindNations;
        } else {
            usageError(c, "--color-by takes " +
                              std::string(people ? "faction or occupation" : "group or nation") +
                              " for " + r.positional[0]);
            return false;
        }
    }
    status = 0;
    return true;
}

// Opens the file as the program does and builds the chart the arguments ask for.
std::optional<Chart> chartFor(Context& c, const ChartArgs& r, Dataset& ds) {
    if (!openLikeTheProgram(c, ds, r.positional[1], true))
        return std::nullopt;
    applyFilters(ds, r.filters);
    return r.positional[0] == "people" ? buildPeopleChart(ds, r.kind, r.step)
                                       : buildEventsChart(ds, r.kind, r.step);
}

int cmdChart(Context& c) {
    ChartArgs r;
    int status = 0;
    if (!parseChartArgs(c, r, true, 1, "chart takes people or events and a file name", status))
        return status;
    Dataset ds;
    const std::optional<Chart> chart = chartFor(c, r, ds);
    if (!chart)
        return 1;
    const bool colored = r.color == "always" || (r.color == "auto" && c.terminal);
    for (const ChartLine& line : chart->lines) {
        // A name's control characters are shown, never obeyed by the terminal.
        const std::string text = terminalText(line.text(), ds.encoding);
        c.out << (colored ? ansiColored(text, line.color) : text) << '\n';
    }
    return 0;
}

// export: the chart as the timeline window's Export writes it, the kind of file chosen by
// OUT's ending; a PNG picture is of the whole chart.
int cmdExport(Context& c) {
    ChartArgs r;
    int status = 0;
    if (!parseChartArgs(c, r, false, 2,
                        "export takes people or events, a file name and the .svg, .html or .png "
                        "file to write",
                        status))
        return status;
    const std::string& out = r.positional[2];
    const size_t dot = out.find_last_of("./");
    std::string ending = dot == std::string::npos || out[dot] != '.' ? "" : out.substr(dot + 1);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (ending != "svg" && ending != "html" && ending != "htm" && ending != "png")
        return usageError(c, "name the output .svg, .html or .png: its ending says what to "
                             "export");
    Dataset ds;
    const std::optional<Chart> chart = chartFor(c, r, ds);
    if (!chart)
        return 1;
    const int32_t white = 0xFFFFFF;
    const bool people = r.positional[0] == "people";
    const ChartFrame frame = chartFrame(
        ds, people ? Side::people : Side::events, r.kind, r.step, YearStyle::readable,
        (people ? "People Timeline (" : "Events Timeline (") + chart->colorCaption + ")");
    std::string bytes;
    if (ending == "svg") {
        bytes = chartSvg(chart->lines, ds.encoding, white, frame);
    } else if (ending == "png") {
        std::string why;
        if (!c.png || !(*c.png)(chart->lines, ds.encoding, white, frame, bytes, why)) {
            c.err << (why.empty() ? std::string("PNG pictures cannot be made here") : why) << '\n';
            return 1;
        }
    } else {
        bytes = chartHtml(chart->lines, ds.encoding, white, frame);
    }
    try {
        writeFileAtomic(out, bytes);
    } catch (const FileError& e) {
        c.err << e.what() << '\n';
        return 1;
    }
    c.out << "Exported " << chart->lines.size() << (chart->lines.size() == 1 ? " line" : " lines")
          << " to " << terminalText(out, TextEncoding::utf8) << '\n';
    return 0;
}

// print-chart: the timeline chart in strips, as Timeline Print with its fields unchanged
// prints it (80 years a strip unless told).
int cmdPrintChart(Context& c) {
    std::vector<std::string> positional;
    std::string years = "80";
    for (size_t i = 0; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        if (a == "--years") {
            if (i + 1 >= c.args.size())
                return usageError(c, "--years needs a value");
            const std::optional<long long> typed = wholeNumber(c.args[++i]);
            // The window's field would quietly hold a value to its limits; a script asking
            // for one the print cannot give is told.
            if (!typed || *typed < 10 || *typed > 300)
                return usageError(c, "--years takes a whole number of years from 10 to 300");
            years = std::to_string(*typed);
        } else if (a.size() > 1 && a.front() == '-') {
            return usageError(c, "unknown option '" + a + "'");
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 3 || (positional[0] != "people" && positional[0] != "events"))
        return usageError(c, "print-chart takes people or events, a file name and the PDF file "
                             "to write");
    if (outputIsAnInput(c, positional[2], {positional[1]}))
        return 2;
    Dataset ds;
    if (!openLikeTheProgram(c, ds, positional[1], true))
        return 1;
    const bool people = positional[0] == "people";
    const Chart chart =
        people ? buildPeopleChart(ds, kindFactions) : buildEventsChart(ds, kindNations);
    return printToPdf(
               c, positional[2], ds.encoding,
               [&](Printer& p) {
                   const TimelinePrintOutcome done = printTimeline(
                       p, chart.lines, ds.encoding, ds.earliestDate, ds.latestDate,
                       {years, std::to_string(ds.earliestDate), std::to_string(ds.latestDate)});
                   c.out << stripsPrintedMessage(done) << '\n';
               })
               ? 0
               : 1;
}

} // namespace

const Command chartCommand = {
    "chart",
    "  chart people|events FILE [OPTIONS]\n"
    "                    the timeline chart's lines, as the timeline window shows them\n",
    "      --from YEAR, --to YEAR   the date range to show (as typed in Select)\n"
    "      --priority N             show priorities 1 to N (1 to 9)\n"
    "      --color-by KIND          faction or occupation (people), group or nation (events)\n"
    "      --color auto|always|never  24-bit colour escapes; auto colours a terminal only\n",
    cmdChart};

const Command printChartCommand = {
    "print-chart",
    "  print-chart people|events FILE OUT.pdf [--years N]\n"
    "                    print the timeline chart to a PDF file in strips of N years\n"
    "                    (10 to 300, 80 unless told; fewer where no more fit the page)\n",
    "", cmdPrintChart};

const Command exportCommand = {
    "export",
    "  export people|events FILE OUT.svg|OUT.html|OUT.png [--from YEAR] [--to YEAR]\n"
    "         [--priority N] [--color-by KIND] [--zoom N]\n"
    "                    the whole chart as an SVG picture, a web page or a PNG picture,\n"
    "                    as the timeline window's Export writes it, at N years a character\n"
    "                    (1, 2, 5, 10, 20, 50 or 100; 1 unless told)\n",
    "", cmdExport};

} // namespace tess::cli
