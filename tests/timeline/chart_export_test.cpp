#include "timeline/chart.h"
#include "timeline/chart_export.h"

#include "support/dataset_builder.h"
#include "support/test.h"

// One chart as a picture and as a page, framed as the window exports it: the title names the
// file, the caption and the lines' years; the legend lists the used categories in table order
// and "(none)" last; the ruler's labels and ticks stand over their years' columns; every line
// carries its entry's name and years for the pointer. Markup and control characters in names,
// categories and the title are shown, never obeyed. Zoomed out, in the signed style, from a
// Windows-1252 dataset, the page is written in UTF-8 all the same.
TEST(ChartExport, FramedLinesInTheirColoursAtTheirColumns) {
    DatasetBuilder b;
    b.category(kindFactions, "Red <b>", 0x0000FF).category(kindFactions, "Unused", 0x00FF00);
    b.category(kindFactions, "Blue", 0xFF0000);
    b.person("Ann", 1850, 1870, 3).person("<Tom & \"Jerry\">\x07\xC3\xA9", 1900, 1900, 1);
    Dataset ds = b.person("Bob", 1841, 1845, 7, 1, 1, 1).person("Cy", 1830, 1835, 3).build();
    ds.encoding = TextEncoding::utf8;
    ds.fileName = "/data/my\x1B.qd3";
    const std::string caption = "People Timeline (colored by faction)";
    const ChartFrame frame =
        chartFrame(ds, Side::people, kindFactions, 1, YearStyle::readable, caption);
    const std::vector<ChartLine> lines = buildPeopleChart(ds, kindFactions).lines;
    Dataset old = ds;
    old.encoding = TextEncoding::windows1252;
    old.people[0].name = "Ren\xE9";
    old.people[3].date1 = -20;
    computeChartRange(old);
    old.fileName.clear();
    const ChartFrame zoomed =
        chartFrame(old, Side::people, kindFactions, 10, YearStyle::signedNumbers, caption);
    expectGolden(
        chartSvg(lines, ds.encoding, 0xE0FFFF, frame) +
            chartHtml(lines, ds.encoding, 0xE0FFFF, frame) +
            chartHtml(buildPeopleChart(old, kindFactions, 10).lines, old.encoding, 0, zoomed),
        "expected/chart_export.txt");
}
