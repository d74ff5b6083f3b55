#pragma once

#include "core/printer.h"

#include <string>
#include <string_view>

namespace tess {

// Prints a report (lines separated by CR LF) one printed line per line, every page starting
// with the banner, and ends the document. Returns the number of lines printed: one per line of
// the text, empty ones included, and one more for a text that ends in a line break. The
// character after each carriage return is skipped as its line feed. PrintError escapes, the
// document not ended.
long long printReport(Printer& printer, std::string_view text);

// "Printed N lines".
std::string printedMessage(long long lines);

} // namespace tess
