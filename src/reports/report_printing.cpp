#include "reports/report_printing.h"

#include "core/numbers.h"
#include "timeline/chart_printing.h"

#include <algorithm>

namespace tess {

long long printReport(Printer& printer, std::string_view text) {
    std::string t(text);
    t += lineBreak;
    size_t widest = printBanner.size();
    for (size_t from = 0, end; (end = t.find('\r', from)) != std::string::npos; from = end + 1)
        widest = std::max(widest, end - from);
    printer.fitColumns(static_cast<long long>(widest));
    printChartHeader(printer);
    // Positions from 0 here: s is where a line starts, p the carriage return that ends it. The
    // count is a full integer: a listing of every one of 32767 entries prints 32767 lines.
    size_t p = 0;
    size_t s = 0;
    long long n = 0;
    for (bool more = true; more;) {
        ++n;
        p = t.find('\r', s);
        more = p != std::string::npos;
        if (more)
            printer.printLine(std::string_view(t).substr(s, p - s));
        if (printer.currentY() + pageBreakMargin > printer.pageHeight())
            printChartHeader(printer);
        s = std::min(p + 2, t.size());
    }
    printer.endDocument();
    return n - 1;
}

std::string printedMessage(long long lines) {
    return "Printed " + plainNumber(lines) + " lines";
}

} // namespace tess
