// The commands that show what a dataset holds as the program's windows and reports do:
// statistics, the report writer's listing (also printed), the age and "In my life..." reports,
// and the category lists.

#include "cli/cli_support.h"

#include "categories/categories.h"
#include "core/find.h"
#include "core/numbers.h"
#include "core/text_encoding.h"
#include "reports/report_printing.h"
#include "reports/report_text.h"
#include "timeline/statistics.h"

#include <cstdio>
#include <map>
#include <string_view>

namespace tess::cli {

namespace {

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

} // namespace

const Command statsCommand = {
    "stats", "  stats FILE        the statistics window's lines right after opening FILE\n", "",
    cmdStats};

const Command reportCommand = {
    "report",
    "  report people|events FILE [OPTIONS]\n"
    "                    the report writer's listing\n",
    "      --from YEAR, --to YEAR   the range (as typed into Start Date and End Date)\n"
    "      --dates, --groupings, --descriptions, --image, --url, --url-only\n"
    "                               the columns, as the check boxes add them\n",
    [](Context& c) { return cmdListing(c, false); }};

const Command ageCommand = {
    "age",
    "  age FILE EVENT-INDEX         the age report for the event at that position (from 0)\n", "",
    [](Context& c) { return cmdChoiceReport(c, true); }};

const Command inMyLifeCommand = {
    "in-my-life",
    "  in-my-life FILE PERSON-INDEX \"In my life...\" for the person at that position\n",
    "      --name TEXT in place of the position: the first one whose name holds TEXT\n"
    "                               (case ignored)\n",
    [](Context& c) { return cmdChoiceReport(c, false); }};

const Command printReportCommand = {
    "print-report",
    "  print-report people|events FILE OUT.pdf [report options]\n"
    "                    print the report writer's listing to a PDF file\n",
    "", [](Context& c) { return cmdListing(c, true); }};

const Command categoriesCommand = {
    "categories",
    "  categories FILE   the four category lists as the category editor shows them, each\n"
    "                    line followed by the category's colour (#RRGGBB)\n",
    "", cmdCategories};

} // namespace tess::cli
