#include "timeline/chart.h"
#include "timeline/chart_export.h"

#include <gtest/gtest.h>

using namespace tess;

namespace {

ChartLine lineOf(const std::string& name, int date1, int date2, int32_t color,
                 TextEncoding encoding = TextEncoding::utf8) {
    ChartLine l = buildChartLineParts(name, static_cast<int16_t>(date1), 0,
                                      static_cast<int16_t>(date2), 0, 1840, encoding);
    l.color = color;
    return l;
}

} // namespace

TEST(ChartExport, EveryLineIsOneTextInItsColourAtItsColumn) {
    // One chart of three lines: a row's y, and the class its colour shares, follow from the
    // rows before it. Markup and control characters in a name are shown, never obeyed.
    const struct {
        ChartLine line;
        std::string svg;
        std::string html;
    } rows[] = {
        {lineOf("Ann", 1850, 1870, 0x0000FF),
         "<text x=\"24\" y=\"12\" fill=\"#FF0000\" textLength=\"272\" lengthAdjust=\"spacing"
         "AndGlyphs\"> 1850 [--------Ann--------]   1870</text>",
         "<span class=\"c0\" style=\"margin-left: 3ch\"> 1850 [--------Ann--------]   1870</span>"},
        {lineOf("<Tom & \"Jerry\">\x07\xC3\xA9", 1900, 1900, defaultTextColor),
         "<text x=\"424\" y=\"28\" fill=\"#000000\" textLength=\"200\" lengthAdjust=\"spacing"
         "AndGlyphs\"> 1900 * &lt;Tom &amp; &quot;Jerry&quot;&gt;\u2407\u00E9</text>",
         "<span class=\"c1\" style=\"margin-left: 53ch\"> 1900 * &lt;Tom &amp; &quot;Jerry&quot;"
         "&gt;\u2407\u00E9</span>"},
        {lineOf("Bob", 1841, 1845, 0x0000FF),
         "<text x=\"8\" y=\"44\" fill=\"#FF0000\" textLength=\"176\" lengthAdjust=\"spacing"
         "AndGlyphs\"> 1841 [---]  Bob  1845</text>",
         "<span class=\"c0\" style=\"margin-left: 1ch\"> 1841 [---]  Bob  1845</span>"},
    };
    std::vector<ChartLine> lines;
    for (const auto& row : rows)
        lines.push_back(row.line);
    const std::string svg = chartSvg(lines, TextEncoding::utf8, 0xE0FFFF, "Chart <&>");
    const std::string html = chartHtml(lines, TextEncoding::utf8, 0xE0FFFF, "Chart <&>");
    for (const auto& row : rows) {
        EXPECT_NE(svg.find(row.svg), std::string::npos) << row.svg << "\n" << svg;
        EXPECT_NE(html.find(row.html), std::string::npos) << row.html << "\n" << html;
    }
    for (const std::string* page : {&svg, &html})
        EXPECT_NE(page->find("<title>Chart &lt;&amp;&gt;</title>"), std::string::npos);
    EXPECT_NE(svg.find("<rect width=\"100%\" height=\"100%\" fill=\"#FFFFE0\"/>"),
              std::string::npos);
    EXPECT_NE(html.find("body { margin: 0; background: #FFFFE0; }"), std::string::npos);
    for (const char* rule : {".c0 { color: #FF0000; }", ".c1 { color: #000000; }"})
        EXPECT_NE(html.find(rule), std::string::npos) << rule;

    // A Windows-1252 chart is written in UTF-8 all the same.
    const std::string cp = chartSvg({lineOf("Ren\xE9", 1850, 1870, 0, TextEncoding::windows1252)},
                                    TextEncoding::windows1252, 0, "");
    EXPECT_NE(cp.find("Ren\u00E9"), std::string::npos) << cp;
}
