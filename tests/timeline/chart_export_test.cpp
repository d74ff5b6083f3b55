#include "timeline/chart.h"
#include "timeline/chart_export.h"

#include "support/test.h"

namespace {

ChartLine lineOf(const std::string& name, int date1, int date2, int32_t color,
                 TextEncoding encoding = TextEncoding::utf8) {
    ChartLine l = buildChartLineParts(name, static_cast<int16_t>(date1), 0,
                                      static_cast<int16_t>(date2), 0, 1840, encoding);
    l.color = color;
    return l;
}

} // namespace

// One chart of three lines as a picture and as a page: a row's place and width, and the class
// its colour shares, follow from the rows before it; markup and control characters in a name and
// the title are shown, never obeyed. A Windows-1252 chart is written in UTF-8 all the same.
TEST(ChartExport, EveryLineIsOneTextInItsColourAtItsColumn) {
    const std::vector<ChartLine> lines = {
        lineOf("Ann", 1850, 1870, 0x0000FF),
        lineOf("<Tom & \"Jerry\">\x07\xC3\xA9", 1900, 1900, defaultTextColor),
        lineOf("Bob", 1841, 1845, 0x0000FF)};
    expectGolden(chartSvg(lines, TextEncoding::utf8, 0xE0FFFF, "Chart <&>") +
                     chartHtml(lines, TextEncoding::utf8, 0xE0FFFF, "Chart <&>") +
                     chartSvg({lineOf("Ren\xE9", 1850, 1870, 0, TextEncoding::windows1252)},
                              TextEncoding::windows1252, 0, ""),
                 "expected/chart_export.txt");
}
