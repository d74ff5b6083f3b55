#include "cli/cli_support.h"

#include "core/field_rules.h"
#include "core/file_error.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"
#include "timeline/chart.h"
#include "timeline/selection.h"

#include <charconv>
#include <filesystem>

namespace tess::cli {

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
// replaced before or while it is read, and an input lost.
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

// The statistics window is shown before the range is computed; stats wants that moment.
bool openLikeTheProgram(Context& c, Dataset& ds, const std::string& path, bool computeRange) {
    if (!load(c, ds, path))
        return false;
    applyPeopleSelection(ds);
    applyEventSelection(ds);
    if (computeRange)
        computeChartRange(ds);
    return true;
}

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

} // namespace tess::cli
