#include "core/print_layout.h"

namespace tess {

void printChartHeader(Printer& printer) {
    printer.newPage();
    printer.printLine({});
    printer.printLine({});
    printer.printLine(printBanner);
    printer.printLine({});
    printer.printLine({});
}

} // namespace tess
