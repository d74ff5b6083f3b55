#pragma once

#include "core/year_scale.h"
#include "core/year_text.h"
#include "timeline/chart.h"
#include "timeline/legend.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tess {

// What an exported chart carries around its lines: a title line, the year ruler and the
// legend, and for each line the entry's name and years, as the window's tooltip gives them.
struct ChartFrame {
    std::string title; // UTF-8
    YearScale scale;
    YearStyle style = YearStyle::readable;
    std::vector<LegendRow> legend;    // names in the dataset's encoding
    std::vector<std::string> entries; // UTF-8, one a line
    // The years the ruler marks, first and last: the chart's range; none for a chart without
    // lines, whose range means nothing.
    std::optional<std::pair<long long, long long>> years;
};

// The frame of a side's chart as the timeline window shows it: the title names the dataset's
// file (its last part) and the caption (UTF-8), the years of the chart's lines, and the zoom
// step when zoomed out.
ChartFrame chartFrame(const Dataset& ds, Side side, int colorBy, int step, YearStyle style,
                      const std::string& caption);

// The whole chart as an SVG picture: the title, the legend and the ruler above the chart on
// the side's background, one text element per chart line in its colour, every character one
// cell of a fixed-pitch grid so that a column is the years of the scale. Texts are converted to
// UTF-8; control characters show as their symbols, as on screen.
std::string chartSvg(const std::vector<ChartLine>& lines, TextEncoding encoding, int32_t background,
                     const ChartFrame& frame);

// The whole chart as a self-contained web page: the title, the legend, a ruler that stays at
// the top, and a monospace <pre> of coloured spans, one a line, on the side's background; the
// pointer over a line shows its entry's name and years, with no script. Well-formed XML, so
// that any XML reader can take it apart.
std::string chartHtml(const std::vector<ChartLine>& lines, TextEncoding encoding,
                      int32_t background, const ChartFrame& frame);

// The ruler as two text rows a character a column for columns [0, columns): the labels centred
// over their ticks, then the ticks ('|' under a label, '\'' between), for the years given only
// (two empty rows without them).
std::pair<std::string, std::string> rulerRows(const YearScale& scale, YearStyle style,
                                              long long columns,
                                              std::optional<std::pair<long long, long long>> years);

// "#RRGGBB" of a colour kept as 0x00BBGGRR; a line without a colour of its own is black.
std::string cssColor(int32_t color);
// The colour the frame's texts are written in on a background: black, or white on a dark one.
int32_t inkOn(int32_t background);

// The pixels of a cell and a row in the SVG picture.
inline constexpr int svgCellWidth = 8;
inline constexpr int svgLineHeight = 16;

} // namespace tess
