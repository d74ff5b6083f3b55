#pragma once

// What the terminal commands share: the command's context, reading and opening a dataset as
// the program does, the chart's filter options, and the usage errors every command words alike.

#include "cli/cli.h"
#include "core/dataset.h"
#include "core/printer.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tess::cli {

struct Context {
    const std::vector<std::string>& args; // the command's own arguments
    std::ostream& out;
    std::ostream& err;
    bool terminal;
    const PdfPrinterFactory* pdf;
    const PngRenderer* png;
};

// One command: its name, its lines in the help (the usage line with what it does, then its
// options, if any), and what runs it. The help is made from these, in the table's order.
struct Command {
    const char* name;
    const char* usage;
    const char* options;
    int (*run)(Context&);
};

// The commands, each beside the others of its subsystem.
extern const Command newCommand, importCommand, checkCommand, copyCommand, exportCsvCommand,
    mergeCommand, convertCommand, selectCommand;
extern const Command chartCommand, printChartCommand, exportCommand;
extern const Command statsCommand, reportCommand, printReportCommand, ageCommand, inMyLifeCommand,
    categoriesCommand;

// Says message as a usage error; returns the status for bad usage.
int usageError(Context& c, const std::string& message);

std::optional<long long> wholeNumber(const std::string& text);

// True (with the usage error said) when out names one of the inputs, by whatever name.
bool outputIsAnInput(Context& c, const std::string& out, std::initializer_list<std::string> inputs);

// True (with the usage error said) when --from is after --to.
bool rangeReversed(Context& c, const std::optional<std::string>& from,
                   const std::optional<std::string>& to);

// Reads a dataset; on failure prints the reader's message and returns false.
bool load(Context& c, Dataset& ds, const std::string& path);

// Reads a dataset as Files > Open leaves it: filtered, and with the chart range computed when
// computeRange.
bool openLikeTheProgram(Context& c, Dataset& ds, const std::string& path, bool computeRange);

// The chart's filter options, as typed into the Select window.
struct FilterOptions {
    std::optional<std::string> from, to, priority;
};

// Takes a filter option and its value at args[i] (taken says whether it was one); false, with
// the reason in error, when it is one without a valid value.
bool takeFilterOption(const std::vector<std::string>& args, size_t& i, FilterOptions& f,
                      std::string& error, bool& taken);

// Applies the filters as if typed into the Select window and confirmed with OK.
void applyFilters(Dataset& ds, const FilterOptions& f);

// Prints through the PDF printer to path; false, with the reason said, when it cannot.
bool printToPdf(Context& c, const std::string& path, TextEncoding encoding,
                const std::function<void(Printer&)>& print);

} // namespace tess::cli
