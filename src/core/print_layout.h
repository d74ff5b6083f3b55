#pragma once

#include "core/printer.h"

#include <string_view>

namespace tess {

// What every printed page shares, charts and reports alike.
// The banner on top of every printed page, with its two trailing blanks.
inline constexpr std::string_view printBanner = "'Tessaline' Timeline Chart  ";
// A page is full when less than this is left below the current position (twips).
inline constexpr int pageBreakMargin = 1500;

// Starts a new page: two empty lines, the banner, two empty lines.
void printChartHeader(Printer& printer);

// Whether the next line goes on a new page: the one page-break rule of all printing.
inline bool pageIsFull(const Printer& printer) {
    return printer.currentY() + pageBreakMargin > printer.pageHeight();
}

} // namespace tess
