#include "cli/cli.h"

#include "cli/cli_support.h"

#include <algorithm>
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

// Every command, in the help's order: files first, then what is shown, then what is printed.
const std::vector<const Command*>& commandTable() {
    static const std::vector<const Command*> table = {
        &newCommand,       &importCommand,     &checkCommand,       &copyCommand,
        &exportCsvCommand, &statsCommand,      &chartCommand,       &mergeCommand,
        &convertCommand,   &selectCommand,     &reportCommand,      &ageCommand,
        &inMyLifeCommand,  &printChartCommand, &printReportCommand, &exportCommand,
        &categoriesCommand};
    return table;
}

std::string helpText() {
    std::string text = helpHead;
    for (const Command* command : commandTable())
        text += std::string(command->usage) + command->options;
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
    const std::vector<const Command*>& table = commandTable();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&command](const Command* c) { return command == c->name; });
    std::vector<std::string> rest(args.begin() + 1, args.end());
    Context c{rest, out, err, outIsTerminal, &pdf, png ? &png : nullptr};
    if (it == table.end())
        return usageError(c, "unknown command '" + command + "'");
    for (const std::string& a : rest)
        if (a == "--help" || a == "-h") {
            out << helpText();
            return 0;
        }
    return (*it)->run(c);
}

} // namespace tess::cli
