// The commands that read and write dataset files: new, import, check, copy, export-csv, merge,
// convert and select.

#include "cli/cli_support.h"

#include "core/csv_file.h"
#include "core/file_error.h"
#include "core/import_file.h"
#include "core/legacy_file.h"
#include "core/merge.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"
#include "timeline/statistics.h"

#include <filesystem>

namespace tess::cli {

namespace {

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

// A new dataset never takes the place of one that is there.
bool refusedAsExisting(Context& c, const std::string& out) {
    std::error_code ec;
    if (!std::filesystem::exists(out, ec) && !std::filesystem::is_symlink(out, ec))
        return false;
    c.err << "\"" << out << "\" already exists; a new dataset is not written over it\n";
    return true;
}

int cmdNew(Context& c) {
    if (c.args.size() != 1)
        return usageError(c, "new takes one output file name");
    if (refusedAsExisting(c, c.args[0]))
        return 1;
    Dataset ds = newDataset();
    return write(c, ds, c.args[0], false) ? 0 : 1;
}

int cmdImport(Context& c) {
    if (c.args.size() != 2)
        return usageError(c, "import takes a CSV or GEDCOM file name and an output file name");
    if (refusedAsExisting(c, c.args[1]))
        return 1;
    ImportResult result;
    try {
        result = importFile(c.args[0]);
    } catch (const FileError& e) {
        c.err << e.what() << '\n';
        return 1;
    }
    if (!write(c, result.dataset, c.args[1], false))
        return 1;
    c.err << importSummary(result, c.args[0]) << '\n';
    return 0;
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

int cmdExportCsv(Context& c) {
    if (c.args.size() != 2)
        return usageError(c, "export-csv takes a dataset file name and an output file name");
    if (outputIsAnInput(c, c.args[1], {c.args[0]}))
        return 2;
    Dataset ds;
    if (!load(c, ds, c.args[0]))
        return 1;
    try {
        writeEntriesCsv(ds, c.args[1]);
    } catch (const FileError& e) {
        c.err << e.what() << '\n';
        return 1;
    }
    return 0;
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

} // namespace

const Command checkCommand = {
    "check", "  check FILE        read a dataset file and say what it holds, or why it is broken\n",
    "", cmdCheck};

const Command newCommand = {
    "new", "  new OUT           write an empty dataset to OUT, one category \"General\" a table\n",
    "", cmdNew};

const Command importCommand = {"import",
                               "  import IN.csv|IN.ged OUT\n"
                               "                    make a new dataset OUT of the entries of a "
                               "CSV or GEDCOM file\n",
                               "", cmdImport};

const Command exportCsvCommand = {
    "export-csv",
    "  export-csv FILE OUT.csv\n"
    "                    write every entry of FILE to a CSV file, a row each, for spreadsheets\n",
    "", cmdExportCsv};

const Command copyCommand = {
    "copy", "  copy IN OUT       read IN and write it to OUT as the program saves it\n", "",
    cmdCopy};

const Command mergeCommand = {
    "merge", "  merge A B OUT     open A, merge B into it, and write the whole dataset to OUT\n",
    "", cmdMerge};

const Command convertCommand = {"convert",
                                "  convert FILE.qd2 [OUT]\n"
                                "                    convert an older file; OUT defaults to "
                                "FILE.qd3, which is\n"
                                "                    replaced only when it is named as OUT\n",
                                "", cmdConvert};

const Command selectCommand = {
    "select",
    "  select FILE OUT [--from YEAR] [--to YEAR] [--priority N]\n"
    "                    write only the entries the chart's filters select to OUT\n",
    "", cmdSelect};

} // namespace tess::cli
