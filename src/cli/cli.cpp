#include "cli/cli.h"

#include "core/dataset.h"
#include "core/file_error.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"
#include "entry/field_rules.h"
#include "timeline/chart.h"
#include "timeline/selection.h"
#include "timeline/statistics.h"

#include <charconv>
#include <optional>

#include <functional>
#include <map>
#include <ostream>

namespace tess::cli {

namespace {

constexpr const char* usageText =
    "Usage: tessaline-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "The terminal companion of Tessaline, for checking and converting dataset files\n"
    "without a display.\n"
    "\n"
    "Commands:\n"
    "  check FILE        read a dataset file and say what it holds, or why it is broken\n"
    "  copy IN OUT       read IN and write it to OUT as the program saves it\n"
    "  stats FILE        the statistics window's lines right after opening FILE\n"
    "  chart people|events FILE [OPTIONS]\n"
    "                    the timeline chart's lines, as the timeline window shows them\n"
    "      --from YEAR, --to YEAR   the date range to show (as typed in Select)\n"
    "      --priority N             show priorities 1 to N (1 to 9)\n"
    "      --color-by KIND          faction or occupation (people), group or nation (events)\n"
    "      --color auto|always|never  24-bit colour escapes; auto colours a terminal only\n"
    "  help              show this text (also --help)\n"
    "\n"
    "Exit status: 0 done, 1 the file could not be read or written, 2 bad usage.\n";

struct Context {
    const std::vector<std::string>& args; // the command's own arguments
    std::ostream& out;
    std::ostream& err;
    bool terminal;
};

int usageError(Context& c, const std::string& message) {
    c.err << "tessaline-cli: " << message << "\nTry 'tessaline-cli --help'.\n";
    return 2;
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

std::string ansiColored(const std::string& text, int32_t color) {
    if (color == defaultTextColor)
        return text;
    return "\x1b[38;2;" + std::to_string(color & 0xFF) + ";" + std::to_string((color >> 8) & 0xFF) +
           ";" + std::to_string((color >> 16) & 0xFF) + "m" + text + "\x1b[0m";
}

int cmdChart(Context& c) {
    std::vector<std::string> positional;
    std::optional<std::string> from, to, priority, colorBy;
    std::string color = "auto";
    for (size_t i = 0; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        auto value = [&](std::optional<std::string>& into) {
            if (i + 1 >= c.args.size())
                return false;
            into = c.args[++i];
            return true;
        };
        if (a == "--from" || a == "--to" || a == "--priority" || a == "--color-by") {
            std::optional<std::string>& into = a == "--from"       ? from
                                               : a == "--to"       ? to
                                               : a == "--priority" ? priority
                                                                   : colorBy;
            if (!value(into))
                return usageError(c, a + " needs a value");
        } else if (a == "--color") {
            std::optional<std::string> v;
            if (!value(v))
                return usageError(c, "--color needs auto, always or never");
            color = *v;
            if (color != "auto" && color != "always" && color != "never")
                return usageError(c, "--color takes auto, always or never");
        } else if (a.size() > 1 && a.front() == '-' && !wholeNumber(a)) {
            return usageError(c, "unknown option '" + a + "'");
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2 || (positional[0] != "people" && positional[0] != "events"))
        return usageError(c, "chart takes people or events and a file name");
    const bool people = positional[0] == "people";
    for (const auto* year : {&from, &to})
        if (*year && !wholeNumber(**year))
            return usageError(c, "a year must be a whole number, not '" + **year + "'");
    if (priority && !wholeNumber(*priority))
        return usageError(c, "--priority takes a whole number from 1 to 9");
    int kind = people ? kindFactions : kindNations;
    if (colorBy) {
        const std::string& k = *colorBy;
        if (people && (k == "faction" || k == "occupation"))
            kind = k == "faction" ? kindFactions : kindOccupations;
        else if (!people && (k == "group" || k == "nation"))
            kind = k == "group" ? kindGroups : kindNations;
        else
            return usageError(
                c, "--color-by takes " +
                       std::string(people ? "faction or occupation" : "group or nation") + " for " +
                       positional[0]);
    }

    Dataset ds;
    if (!openLikeTheProgram(c, ds, positional[1], true))
        return 1;
    if (from || to || priority) {
        // As if typed into the Select window and confirmed with OK.
        if (priority)
            ds.selPriority = *selectPriorityRule(*priority);
        const std::string first = from ? *from : std::to_string(ds.earliestDate);
        const std::string last = to ? *to : std::to_string(ds.latestDate);
        ds.selStart = firstDateRule(first);
        ds.selEnd = secondDateRule(last, std::to_string(ds.selStart));
        applyPeopleSelection(ds);
        applyEventSelection(ds);
        if (ds.earliestDate != ds.selStart || ds.latestDate != ds.selEnd) {
            ds.earliestDate = ds.selStart - 10;
            ds.latestDate = ds.selEnd + 10;
        }
    }
    const Chart chart = people ? buildPeopleChart(ds, kind) : buildEventsChart(ds, kind);
    const bool colored = color == "always" || (color == "auto" && c.terminal);
    for (const ChartLine& line : chart.lines) {
        // A name's control characters are shown, never obeyed by the terminal.
        const std::string text = terminalText(line.text(), ds.encoding);
        c.out << (colored ? ansiColored(text, line.color) : text) << '\n';
    }
    return 0;
}

int cmdCopy(Context& c) {
    if (c.args.size() != 2)
        return usageError(c, "copy takes an input and an output file name");
    Dataset ds;
    if (!load(c, ds, c.args[0]))
        return 1;
    try {
        writeDataset(ds, c.args[1]);
    } catch (const FileError& e) {
        c.err << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool outIsTerminal) {
    if (args.empty()) {
        err << usageText;
        return 2;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << usageText;
        return 0;
    }
    static const std::map<std::string, std::function<int(Context&)>> commands = {
        {"check", cmdCheck},
        {"copy", cmdCopy},
        {"stats", cmdStats},
        {"chart", cmdChart},
    };
    const auto it = commands.find(command);
    std::vector<std::string> rest(args.begin() + 1, args.end());
    Context c{rest, out, err, outIsTerminal};
    if (it == commands.end())
        return usageError(c, "unknown command '" + command + "'");
    for (const std::string& a : rest)
        if (a == "--help" || a == "-h") {
            out << usageText;
            return 0;
        }
    return it->second(c);
}

} // namespace tess::cli
