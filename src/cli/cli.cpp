#include "cli/cli.h"

#include "categories/categories.h"
#include "core/dataset.h"
#include "core/field_rules.h"
#include "core/file_error.h"
#include "core/file_io.h"
#include "core/find.h"
#include "core/legacy_file.h"
#include "core/merge.h"
#include "core/numbers.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"
#include "reports/report_printing.h"
#include "reports/report_text.h"
#include "timeline/chart.h"
#include "timeline/chart_export.h"
#include "timeline/chart_printing.h"
#include "timeline/selection.h"
#include "timeline/statistics.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>

#include <functional>
#include <map>
#include <ostream>

namespace tess::cli {

namespace {

// The help's text before and after the commands' own lines.
constexpr const char* helpHead = "Usage: tessaline-cli COMMAND [ARGUMENTS]\n"
                                 "\n"
                                 "The terminal companion of Tessaline, for checking and converting "
                                 "dataset files\n"
                                 "without a display.\n"
                                 "\n"
                                 "Commands:\n";
constexpr const char* helpTail = "  help              show this text (also --help)\n"
                                 "\n"
                                 "An output file is never one of the input files.\n"
                                 "\n"
                                 "Exit status: 0 done, 1 the file could not be read or written, "
                                 "2 bad usage.\n";

struct Context {
    const std::vector<std::string>& args; // the command's own arguments
    std::ostream& out;
    std::ostream& err;
    bool terminal;
    const PdfPrinterFactory* pdf;
    const PngRenderer* png;
};

int usageError(Context& c, const std::string& message) {
    c.err << "tessaline-cli: " << message << "\nTry 'tessaline-cli --help'.\n";
    return 2;
}

std::optional<long long> wholeNumber(const std::string& text) {
    long long v = 0;
    const char* first = text.data();
    if (!text.empty() && text.front() == '+')
        ++first;
    auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size() || text.empty())
        return std::nullopt;
    return v;
}

// An output that is one of the inputs (by any name: "./F", "dir/../F", a link) would be
// replaced before or while it is read, and an input lost: a usage error, said here.
bool outputIsAnInput(Context& c, const std::string& out,
                     std::initializer_list<std::string> inputs) {
    for (const std::string& in : inputs) {
        std::error_code ec;
        if (std::filesystem::equivalent(in, out, ec) && !ec) {
            usageError(c, terminalText(out, TextEncoding::utf8) + " is the input file " +
                              terminalText(in, TextEncoding::utf8) +
                              "; name another file to write");
            return true;
        }
    }
    return false;
}

// --from after --to would select nothing: refused rather than taken for an empty success.
bool rangeReversed(Context& c, const std::optional<std::string>& from,
                   const std::optional<std::string>& to) {
    const std::optional<long long> first = from ? wholeNumber(*from) : std::nullopt;
    const std::optional<long long> last = to ? wholeNumber(*to) : std::nullopt;
    if (first && last && *first > *last) {
        usageError(c, "--from must not be after --to");
        return true;
    }
    return false;
}

// Reads a dataset; on failure prints the reader's message and returns false.
bool load(Context& c, Dataset& ds, const std::string& path) {
    ds.fileName = path;
    try {
        readDataset(ds, path);
    } catch (const FileError& e) {
        c.err << e.what() << '\n';
        return false;
    }
    return true;
}

int cmdCheck(Context& c) {
    if (c.args.size() != 1)
        return usageError(c, "check takes one file name");
    Dataset ds;
    if (!load(c, ds, c.args[0]))
        return 1;
    const StatisticsLines s = statisticsLines(ds);
    for (const std::string& line :
         {s.people, s.events, s.factions, s.occupations, s.groups, s.nations, s.dateRange})
        c.out << line << '\n';
    return 0;
}

// Reads a dataset as Files > Open leaves it: filtered, with the chart range computed. The
// statistics window is shown before the range is computed; stats wants that moment.
bool openLikeTheProgram(Context& c, Dataset& ds, const std::string& path, bool computeRange) {
    if (!load(c, ds, path))
        return false;
    applyPeopleSelection(ds);
    applyEventSelection(ds);
    if (computeRange)
        computeChartRange(ds);
    return true;
}

int cmdStats(Context& c) {
    if (c.args.size() != 1)
        return usageError(c, "stats takes one file name");
    Dataset ds;
    if (!openLikeTheProgram(c, ds, c.args[0], false))
        return 1;
    for (const std::string& line : statisticsLines(ds).all())
        c.out << line << '\n';
    return 0;
}

std::string ansiColored(const std::string& text, int32_t color) {
    if (color == defaultTextColor)
        return text;
    return "\x1b[38;2;" + std::to_string(color & 0xFF) + ";" + std::to_string((color >> 8) & 0xFF) +
           ";" + std::to_string((color >> 16) & 0xFF) + "m" + text + "\x1b[0m";
}

// The chart's filter options, as typed into the Select window.
struct FilterOptions {
    std::optional<std::string> from, to, priority;
};

// Takes a filter option and its value at args[i]; false (with the reason in error) when args[i]
// is a filter option without a valid value.
bool takeFilterOption(const std::vector<std::string>& args, size_t& i, FilterOptions& f,
                      std::string& error, bool& taken) {
    const std::string& a = args[i];
    taken = a == "--from" || a == "--to" || a == "--priority";
    if (!taken)
        return true;
    if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
    }
    const std::string& v = args[++i];
    (a == "--from" ? f.from : a == "--to" ? f.to : f.priority) = v;
    if (a != "--priority" && !wholeNumber(v)) {
        error = "a year must be a whole number, not '" + v + "'";
        return false;
    }
    if (a == "--priority" && !wholeNumber(v)) {
        error = "--priority takes a whole number from 1 to 9";
        return false;
    }
    return true;
}

// Applies the filters as if typed into the Select window and confirmed with OK.
void applyFilters(Dataset& ds, const FilterOptions& f) {
    if (!f.from && !f.to && !f.priority)
        return;
    if (f.priority)
        ds.selPriority = *selectPriorityRule(*f.priority);
    const std::string first = f.from ? *f.from : std::to_string(ds.earliestDate);
    const std::string last = f.to ? *f.to : std::to_string(ds.latestDate);
    ds.selStart = firstDateRule(first);
    ds.selEnd = secondDateRule(last, std::to_string(ds.selStart));
    applyPeopleSelection(ds);
    applyEventSelection(ds);
    if (ds.earliestDate != ds.selStart || ds.latestDate != ds.selEnd) {
        ds.earliestDate = ds.selStart - 10;
        ds.latestDate = ds.selEnd + 10;
    }
}

// The arguments of the commands that draw a chart: the side, files, the filters and the
// colouring; --color only where the chart goes to a terminal.
struct ChartArgs {
    std::vector<std::string> positional;
    FilterOptions filters;
    std::optional<std::string> colorBy;
    std::string color = "auto";
    int kind = 0; // the category table that colours the lines
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
    return r.positional[0] == "people" ? buildPeopleChart(ds, r.kind)
                                       : buildEventsChart(ds, r.kind);
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
    const std::string title =
        (r.positional[0] == "people" ? "People Timeline (" : "Events Timeline (") +
        chart->colorCaption + ")";
    std::string bytes;
    if (ending == "svg") {
        bytes = chartSvg(chart->lines, ds.encoding, white, title);
    } else if (ending == "png") {
        std::string why;
        if (!c.png || !(*c.png)(chart->lines, ds.encoding, white, bytes, why)) {
            c.err << (why.empty() ? std::string("PNG pictures cannot be made here") : why) << '\n';
            return 1;
        }
    } else {
        bytes = chartHtml(chart->lines, ds.encoding, white, title);
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

// Writes the dataset (or its selection), printing a failure.
bool write(Context& c, Dataset& ds, const std::string& path, bool selectedOnly) {
    ds.saveSelectedOnly = selectedOnly ? boolTrue : boolFalse;
    try {
        writeDataset(ds, path);
    } catch (const FileError& e) {
        c.err << e.what() << '\n';
        return false;
    }
    return true;
}

int cmdMerge(Context& c) {
    if (c.args.size() != 3)
        return usageError(c, "merge takes two input file names and an output file name");
    if (outputIsAnInput(c, c.args[2], {c.args[0], c.args[1]}))
        return 2;
    Dataset ds;
    if (!openLikeTheProgram(c, ds, c.args[0], true))
        return 1;
    try {
        mergeDataset(ds, c.args[1], [&c](int people, int events) {
            c.out << terminalText(mergeAnnouncementText(c.args[1], people, events),
                                  TextEncoding::utf8)
                  << '\n';
        });
    } catch (const FileError& e) {
        c.err << e.what() << '\n';
        return 1;
    }
    return write(c, ds, c.args[2], false) ? 0 : 1;
}

int cmdConvert(Context& c) {
    if (c.args.empty() || c.args.size() > 2)
        return usageError(c, "convert takes an older file name and an optional output name");
    const std::string out = c.args.size() == 2 ? c.args[1] : convertedFileName(c.args[0]);
    if (outputIsAnInput(c, out, {c.args[0]}))
        return 2;
    // A dataset of the converted copy's name may be the user's work: it is replaced only when
    // named.
    std::error_code ec;
    if (c.args.size() == 1 && std::filesystem::exists(out, ec)) {
        c.err << terminalText(out, TextEncoding::utf8)
              << " already exists; name it as the output file to replace it\n";
        return 1;
    }
    try {
        convertLegacyFile(c.args[0], out);
    } catch (const FileError& e) {
        c.err << e.what() << '\n';
        return 1;
    }
    c.out << "Conversion complete: " << terminalText(out, TextEncoding::utf8) << '\n';
    return 0;
}

int cmdSelect(Context& c) {
    std::vector<std::string> positional;
    FilterOptions filters;
    for (size_t i = 0; i < c.args.size(); ++i) {
        std::string error;
        bool taken = false;
        if (!takeFilterOption(c.args, i, filters, error, taken))
            return usageError(c, error);
        if (taken)
            continue;
        const std::string& a = c.args[i];
        if (a.size() > 1 && a.front() == '-')
            return usageError(c, "unknown option '" + a + "'");
        positional.push_back(a);
    }
    if (positional.size() != 2)
        return usageError(c, "select takes an input and an output file name");
    if (rangeReversed(c, filters.from, filters.to) ||
        outputIsAnInput(c, positional[1], {positional[0]}))
        return 2;
    Dataset ds;
    if (!openLikeTheProgram(c, ds, positional[0], true))
        return 1;
    applyFilters(ds, filters);
    return write(c, ds, positional[1], true) ? 0 : 1;
}

int cmdCopy(Context& c) {
    if (c.args.size() != 2)
        return usageError(c, "copy takes an input and an output file name");
    if (outputIsAnInput(c, c.args[1], {c.args[0]}))
        return 2;
    Dataset ds;
    if (!load(c, ds, c.args[0]))
        return 1;
    return write(c, ds, c.args[1], false) ? 0 : 1;
}

// A report's text for the terminal: its own line breaks, nothing obeyed by the terminal, and
// a last line ended, so that the shell's prompt does not follow it on the same line.
void showReport(Context& c, const std::string& report, TextEncoding encoding) {
    size_t start = 0;
    for (;;) {
        const size_t end = report.find(lineBreak, start);
        const std::string_view line = std::string_view(report).substr(start, end - start);
        c.out << terminalText(line, encoding);
        if (end == std::string::npos) {
            if (!line.empty())
                c.out << '\n';
            break;
        }
        c.out << '\n';
        start = end + lineBreak.size();
    }
}

// Prints through the PDF printer to path; false, with the reason said, when it cannot.
bool printToPdf(Context& c, const std::string& path, TextEncoding encoding,
                const std::function<void(Printer&)>& print) {
    if (!c.pdf || !*c.pdf) {
        c.err << "Printing is not available in this build.\n";
        return false;
    }
    try {
        std::unique_ptr<Printer> printer = (*c.pdf)(path, encoding);
        print(*printer);
    } catch (const PrintError& e) {
        c.err << e.what() << '\n';
        return false;
    }
    return true;
}

// report, and print-report with a PDF file after the dataset's: the report writer's listing.
int cmdListing(Context& c, bool print) {
    std::vector<std::string> positional;
    std::optional<std::string> from, to;
    ListingColumns columns;
    const std::map<std::string, bool ListingColumns::*> flags = {
        {"--dates", &ListingColumns::dates},
        {"--groupings", &ListingColumns::groupings},
        {"--descriptions", &ListingColumns::descriptions},
        {"--image", &ListingColumns::image},
        {"--url", &ListingColumns::url},
        {"--url-only", &ListingColumns::urlOnly}};
    for (size_t i = 0; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        if (const auto f = flags.find(a); f != flags.end()) {
            columns.*(f->second) = true;
        } else if (a == "--from" || a == "--to") {
            if (i + 1 >= c.args.size())
                return usageError(c, a + " needs a value");
            (a == "--from" ? from : to) = c.args[++i];
        } else if (a.size() > 1 && a.front() == '-') {
            return usageError(c, "unknown option '" + a + "'");
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != (print ? 3u : 2u) ||
        (positional[0] != "people" && positional[0] != "events"))
        return usageError(c, print ? "print-report takes people or events, a file name and the "
                                     "PDF file to write"
                                   : "report takes people or events and a file name");
    if (rangeReversed(c, from, to) || (print && outputIsAnInput(c, positional[2], {positional[1]})))
        return 2;
    Dataset ds;
    if (!openLikeTheProgram(c, ds, positional[1], true))
        return 1;
    // As typed into the two date boxes, each held within the range when it loses the focus.
    const std::string first = std::to_string(reportStartRule(
        from ? *from : std::to_string(ds.earliestDate), ds.earliestDate, ds.latestDate));
    const int last = reportEndRule(to ? *to : std::to_string(ds.latestDate), first, ds.latestDate);
    const std::string text =
        buildListing(ds, positional[0] == "people" ? Side::people : Side::events, std::stoi(first),
                     last, columns);
    if (!print) {
        showReport(c, text, ds.encoding);
        return 0;
    }
    return printToPdf(c, positional[2], ds.encoding,
                      [&](Printer& p) {
                          c.out << printedMessage(printReport(p, text, ds.encoding)) << '\n';
                      })
               ? 0
               : 1;
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

// age and in-my-life: a file and the position of the event or person in its array, or the
// first one whose name holds the text of --name.
int cmdChoiceReport(Context& c, bool age) {
    const char* name = age ? "age" : "in-my-life";
    const char* what = age ? "event" : "person";
    const bool byName = c.args.size() == 3 && c.args[1] == "--name";
    if ((c.args.size() == 2 && c.args[1] == "--name") || (byName && c.args[2].empty()))
        return usageError(c, "--name needs the text a name holds");
    if (c.args.size() != 2 && !byName)
        return usageError(c, std::string(name) + " takes a file name and the position of the " +
                                 what + " (from 0) or --name TEXT");
    const std::optional<long long> index = byName ? 0 : wholeNumber(c.args[1]);
    if (!index)
        return usageError(c, "the position must be a whole number, not '" + c.args[1] + "'");
    Dataset ds;
    if (!openLikeTheProgram(c, ds, c.args[0], true))
        return 1;
    const int count = age ? ds.numEvents : ds.numPeople;
    long long i = *index;
    if (byName) {
        i = firstNamed(ds, fromUtf8(c.args[2], ds.encoding), age);
        if (i < 0) {
            c.err << "No " << what << "'s name holds \""
                  << terminalText(c.args[2], TextEncoding::utf8) << "\".\n";
            return 1;
        }
    } else if (i < 0 || i >= count) {
        c.err << "There is no " << what << " at position " << i << ": the file holds " << count
              << (age ? " events" : (count == 1 ? " person" : " people")) << ".\n";
        return 1;
    }
    const int at = static_cast<int>(i);
    showReport(c, age ? ageReport(ds, at) : inMyLifeReport(ds, at), ds.encoding);
    return 0;
}

int cmdCategories(Context& c) {
    if (c.args.size() != 1)
        return usageError(c, "categories takes one file name");
    Dataset ds;
    if (!openLikeTheProgram(c, ds, c.args[0], true))
        return 1;
    const UsageCounts counts = countUsage(ds);
    const std::pair<CategoryKind, const char*> tables[] = {{kindFactions, "Factions"},
                                                           {kindOccupations, "Occupations"},
                                                           {kindGroups, "Groups"},
                                                           {kindNations, "Nations"}};
    for (const auto& [kind, title] : tables) {
        c.out << title << '\n';
        const CategoryTable& t = ds.table(kind);
        const std::vector<ChartLine> lines = editorLines(t, counts.of(kind), ds.encoding);
        for (int i = 1; i <= t.count; ++i) {
            const int32_t rgb = t.colors[static_cast<size_t>(i)];
            char color[8];
            std::snprintf(color, sizeof color, "#%02X%02X%02X", rgb & 0xFF, (rgb >> 8) & 0xFF,
                          (rgb >> 16) & 0xFF);
            c.out << terminalText(lines[static_cast<size_t>(i - 1)].head, ds.encoding) << ' '
                  << color << '\n';
        }
    }
    return 0;
}

// Every command: its name, its lines in the help (usage and options), and what runs it. The
// help is made from this table, in its order.
struct Command {
    const char* name;
    const char* help;
    int (*run)(Context&);
};

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        {"check",
         "  check FILE        read a dataset file and say what it holds, or why it is broken\n",
         cmdCheck},
        {"copy", "  copy IN OUT       read IN and write it to OUT as the program saves it\n",
         cmdCopy},
        {"stats", "  stats FILE        the statistics window's lines right after opening FILE\n",
         cmdStats},
        {"chart",
         "  chart people|events FILE [OPTIONS]\n"
         "                    the timeline chart's lines, as the timeline window shows them\n"
         "      --from YEAR, --to YEAR   the date range to show (as typed in Select)\n"
         "      --priority N             show priorities 1 to N (1 to 9)\n"
         "      --color-by KIND          faction or occupation (people), group or nation "
         "(events)\n"
         "      --color auto|always|never  24-bit colour escapes; auto colours a terminal only\n",
         cmdChart},
        {"merge",
         "  merge A B OUT     open A, merge B into it, and write the whole dataset to OUT\n",
         cmdMerge},
        {"convert",
         "  convert FILE.qd2 [OUT]\n"
         "                    convert an older file; OUT defaults to FILE.qd3, which is\n"
         "                    replaced only when it is named as OUT\n",
         cmdConvert},
        {"select",
         "  select FILE OUT [--from YEAR] [--to YEAR] [--priority N]\n"
         "                    write only the entries the chart's filters select to OUT\n",
         cmdSelect},
        {"report",
         "  report people|events FILE [OPTIONS]\n"
         "                    the report writer's listing\n"
         "      --from YEAR, --to YEAR   the range (as typed into Start Date and End Date)\n"
         "      --dates, --groupings, --descriptions, --image, --url, --url-only\n"
         "                               the columns, as the check boxes add them\n",
         [](Context& c) { return cmdListing(c, false); }},
        {"age",
         "  age FILE EVENT-INDEX         the age report for the event at that position (from 0)\n",
         [](Context& c) { return cmdChoiceReport(c, true); }},
        {"in-my-life",
         "  in-my-life FILE PERSON-INDEX \"In my life...\" for the person at that position\n"
         "      --name TEXT in place of the position: the first one whose name holds TEXT\n"
         "                               (case ignored)\n",
         [](Context& c) { return cmdChoiceReport(c, false); }},
        {"print-chart",
         "  print-chart people|events FILE OUT.pdf [--years N]\n"
         "                    print the timeline chart to a PDF file in strips of N years\n"
         "                    (10 to 300, 80 unless told; fewer where no more fit the page)\n",
         cmdPrintChart},
        {"print-report",
         "  print-report people|events FILE OUT.pdf [report options]\n"
         "                    print the report writer's listing to a PDF file\n",
         [](Context& c) { return cmdListing(c, true); }},
        {"export",
         "  export people|events FILE OUT.svg|OUT.html|OUT.png [--from YEAR] [--to YEAR]\n"
         "         [--priority N] [--color-by KIND]\n"
         "                    the whole chart as an SVG picture, a web page or a PNG picture,\n"
         "                    as the timeline window's Export writes it\n",
         cmdExport},
        {"categories",
         "  categories FILE   the four category lists as the category editor shows them, each\n"
         "                    line followed by the category's colour (#RRGGBB)\n",
         cmdCategories},
    };
    return table;
}

std::string helpText() {
    std::string text = helpHead;
    for (const Command& command : commandTable())
        text += command.help;
    return text + helpTail;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool outIsTerminal, const PdfPrinterFactory& pdf, const PngRenderer& png) {
    if (args.empty()) {
        err << helpText();
        return 2;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << helpText();
        return 0;
    }
    const std::vector<Command>& table = commandTable();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&command](const Command& c) { return command == c.name; });
    std::vector<std::string> rest(args.begin() + 1, args.end());
    Context c{rest, out, err, outIsTerminal, &pdf, png ? &png : nullptr};
    if (it == table.end())
        return usageError(c, "unknown command '" + command + "'");
    for (const std::string& a : rest)
        if (a == "--help" || a == "-h") {
            out << helpText();
            return 0;
        }
    return it->run(c);
}

} // namespace tess::cli
