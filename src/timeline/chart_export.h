#pragma once

#include "timeline/chart.h"

#include <string>
#include <vector>

namespace tess {

// The whole chart as an SVG picture: the side's background, one text element per chart line
// in its colour, every character one cell of a fixed-pitch grid so that a column is a year.
// Texts are converted to UTF-8; control characters show as their symbols, as on screen.
// title is UTF-8.
std::string chartSvg(const std::vector<ChartLine>& lines, TextEncoding encoding, int32_t background,
                     const std::string& title);

// The whole chart as a self-contained web page: a monospace <pre> of coloured spans, one a
// line, on the side's background. Well-formed XML, so that any XML reader can take it apart.
std::string chartHtml(const std::vector<ChartLine>& lines, TextEncoding encoding,
                      int32_t background, const std::string& title);

// "#RRGGBB" of a colour kept as 0x00BBGGRR; a line without a colour of its own is black.
std::string cssColor(int32_t color);

// The pixels of a cell and a row in the SVG picture.
inline constexpr int svgCellWidth = 8;
inline constexpr int svgLineHeight = 16;

} // namespace tess
