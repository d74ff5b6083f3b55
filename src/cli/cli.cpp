#include "cli/cli.h"

#include "core/dataset.h"
#include "core/file_error.h"
#include "core/qd3_file.h"
#include "timeline/statistics.h"

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
