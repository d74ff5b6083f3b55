#pragma once

#include "core/dataset.h"
#include "core/printer.h"

#include <cstddef>

#include <string>
#include <string_view>

namespace tess {

// How far the rest of a report line too wide for the page is set in on the lines under it.
inline constexpr size_t reportContinuationIndent = 4;

// Prints a report (lines separated by CR LF, bytes in the given encoding) one printed line per
// line, every page starting with the banner, and ends the document. A line wider than the
// printer's widest goes on under itself, set in. Returns the number of lines of the text: empty
// ones included, and one more for a text that ends in a line break. The character after each
// carriage return is skipped as its line feed. PrintError escapes, the document not ended.
long long printReport(Printer& printer, std::string_view text, TextEncoding encoding);

// "Printed N lines".
std::string printedMessage(long long lines);

} // namespace tess
