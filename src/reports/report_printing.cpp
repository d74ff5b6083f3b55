#include "reports/report_printing.h"

#include "core/numbers.h"
#include "core/print_layout.h"
#include "core/text_encoding.h"

#include <algorithm>

namespace tess {

long long printReport(Printer& printer, std::string_view text, TextEncoding encoding) {
    std::string t(text);
    t += lineBreak;
    // A line wider than the page at the smallest type goes on in pieces under itself, set in by
    // reportContinuationIndent, rather than past the page's edge.
    const long long fit = printer.maxColumns();
    const size_t limit = fit > static_cast<long long>(2 * reportContinuationIndent)
                             ? static_cast<size_t>(fit)
                             : static_cast<size_t>(-1);
    size_t widest = printBanner.size();
    for (size_t from = 0, end; (end = t.find('\r', from)) != std::string::npos; from = end + 1)
        widest = std::max(widest, std::min(limit, textWidth(t.substr(from, end - from), encoding)));
    printer.fitColumns(static_cast<long long>(widest));
    printChartHeader(printer);
    const std::string indent(reportContinuationIndent, ' ');
    auto printOne = [&](std::string_view line) {
        printer.printLine(line);
        if (pageIsFull(printer))
            printChartHeader(printer);
    };
    // Positions from 0 here: s is where a line starts, p the carriage return that ends it. The
    // count is a full integer: a listing of every one of 32767 entries prints 32767 lines.
    size_t p = 0;
    size_t s = 0;
    long long n = 0;
    for (bool more = true; more;) {
        ++n;
        p = t.find('\r', s);
        more = p != std::string::npos;
        if (!more) {
            if (pageIsFull(printer))
                printChartHeader(printer);
            break;
        }
        const std::string_view line = std::string_view(t).substr(s, p - s);
        const size_t width = textWidth(line, encoding);
        if (width <= limit) {
            printOne(line);
        } else {
            printOne(textSlice(line, encoding, 0, limit));
            const size_t step = limit - indent.size();
            for (size_t at = limit; at < width; at += step)
                printOne(indent + std::string(textSlice(line, encoding, at, step)));
        }
        s = std::min(p + 2, t.size());
    }
    printer.endDocument();
    return n - 1;
}

std::string printedMessage(long long lines) {
    return "Printed " + plainNumber(lines) + " lines";
}

} // namespace tess
