#pragma once

#include "core/dataset.h"
#include "core/printer.h"
#include "timeline/chart_export.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace tess::cli {

// Opens a printer that writes a PDF file, for texts in the given encoding.
using PdfPrinterFactory =
    std::function<std::unique_ptr<Printer>(const std::string& path, TextEncoding encoding)>;

// Draws chart lines on a background into PNG bytes; false, with the reason in why, when the
// picture cannot be made.
using PngRenderer = std::function<bool(const std::vector<ChartLine>& lines, TextEncoding encoding,
                                       int32_t background, const ChartFrame& frame,
                                       std::string& png, std::string& why)>;

// Runs one command line (without the program name). Returns the exit status: 0 done,
// 1 failed (description on err), 2 bad usage. The print commands print through pdf, and
// export makes PNG pictures through png.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool outIsTerminal = false, const PdfPrinterFactory& pdf = {}, const PngRenderer& png = {});

} // namespace tess::cli
