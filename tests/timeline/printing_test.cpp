#include "reports/report_printing.h"
#include "timeline/chart_printing.h"

#include "support/recording_printer.h"

#include <gtest/gtest.h>

using namespace tess;
using namespace testing_support;

namespace {

ChartLine lineOf(const std::string& text) {
    ChartLine l;
    l.head = text;
    l.headWidth = static_cast<int>(text.size());
    return l;
}

const std::vector<std::string> header = {"", "", std::string(printBanner), "", ""};

std::vector<std::string> afterHeader(const std::vector<std::string>& page) {
    EXPECT_GE(page.size(), header.size());
    EXPECT_EQ(std::vector<std::string>(page.begin(), page.begin() + 5), header);
    return {page.begin() + 5, page.end()};
}

} // namespace

TEST(Printing, ChartStripsAndTheirColumns) {
    using Strips = std::vector<std::pair<long long, long long>>;
    EXPECT_EQ(chartStrips(80, 1840, 1840, 1940, 1940), (Strips{{1, 80}, {81, 160}}));
    EXPECT_EQ(chartStrips(80, 0, 0, 160, 160), (Strips{{1, 80}, {81, 160}, {161, 240}}));
    // Start and End Year keep to the strips that hold them, on a strip's edge too.
    EXPECT_EQ(chartStrips(80, 1840, 1925, 1940, 1940), (Strips{{81, 160}}));
    EXPECT_EQ(chartStrips(80, 1840, 1840, 1900, 1940), (Strips{{1, 80}}));
    EXPECT_EQ(chartStrips(80, 1840, 1840, 1920, 2100), (Strips{{1, 80}}));
    EXPECT_EQ(chartStrips(80, 1840, 1921, 2000, 2100), (Strips{{81, 160}}));

    const std::vector<ChartLine> lines = {lineOf(std::string(94, 'a') + "Z"),
                                          lineOf(std::string(60, 'b')),
                                          lineOf(std::string(80, 'c') + "Y")};
    RecordingPrinter printer;
    const TimelinePrintOutcome done =
        printTimeline(printer, lines, TextEncoding::windows1252, 1840, 1940, {"80", "", ""});
    EXPECT_EQ(done.strips, 2);
    EXPECT_TRUE(printer.ended);
    ASSERT_EQ(printer.pages.size(), 2u);
    EXPECT_EQ(afterHeader(printer.pages[0]),
              (std::vector<std::string>{std::string(80, 'a'), std::string(60, 'b'),
                                        std::string(80, 'c')}));
    // Columns 81 to 95 of the long line; one blank for the short one; the 81st character.
    EXPECT_EQ(afterHeader(printer.pages[1]),
              (std::vector<std::string>{std::string(14, 'a') + "Z", " ", "Y"}));

    EXPECT_EQ(printer.fittedTo, 80);
    EXPECT_EQ(stripsPrintedMessage(done), "Printed 2 strips of 80 years");

    RecordingPrinter cancelled;
    printTimeline(cancelled, lines, TextEncoding::windows1252, 1840, 1940, {"0", "", ""});
    EXPECT_TRUE(cancelled.pages.empty());
    EXPECT_FALSE(cancelled.ended);

    // Where no more than 50 columns fit, strips of 50 are printed and the message says why.
    RecordingPrinter narrow;
    narrow.columns = 50;
    const TimelinePrintOutcome narrowed =
        printTimeline(narrow, lines, TextEncoding::windows1252, 1840, 1940, {"80", "", ""});
    ASSERT_EQ(narrow.pages.size(), 3u);
    EXPECT_EQ(afterHeader(narrow.pages[1])[0], std::string(44, 'a') + "Z");
    EXPECT_EQ(narrow.fittedTo, 50);
    EXPECT_EQ(stripsPrintedMessage(narrowed), "Printed 3 strips of 50 years\nOnly 50 years fit "
                                              "across the page at the smallest type, not the 80 "
                                              "asked for.");
    RecordingPrinter one;
    EXPECT_EQ(stripsPrintedMessage(printTimeline(one, lines, TextEncoding::windows1252, 1840, 1940,
                                                 {"300", "", ""})),
              "Printed 1 strip of 300 years");
    EXPECT_EQ(one.fittedTo, 95); // the type fits the widest line printed, not the years asked
    // A chart that fits one strip at the width used is not said to be cut short.
    RecordingPrinter short1;
    short1.columns = 50;
    EXPECT_EQ(stripsPrintedMessage(printTimeline(short1, {lineOf("x")}, TextEncoding::windows1252,
                                                 1840, 1850, {"80", "", ""})),
              "Printed 1 strip of 50 years");

    // Reversed years print nothing and say so.
    RecordingPrinter reversed;
    try {
        printTimeline(reversed, lines, TextEncoding::windows1252, 1840, 1940,
                      {"80", "1900", "1899"});
        ADD_FAILURE() << "printed";
    } catch (const PrintError& e) {
        EXPECT_STREQ(e.what(), "Start Year must not be after End Year.");
    }
    EXPECT_TRUE(reversed.pages.empty());
}

TEST(Printing, PagesBreakUnderTheBannerAndALongPrintStops) {
    // Pages of 3000 twips, lines of 240: the banner takes 1200, and a page is full once a line
    // leaves less than 1500 below it, after 2 chart lines.
    std::vector<ChartLine> lines;
    for (int i = 0; i < 7; ++i)
        lines.push_back(lineOf("line " + std::to_string(i)));
    RecordingPrinter printer(3000);
    printTimelineStrip(printer, lines, 1, 80, TextEncoding::windows1252);
    ASSERT_EQ(printer.pages.size(), 4u);
    EXPECT_EQ(afterHeader(printer.pages[0]), (std::vector<std::string>{"line 0", "line 1"}));
    EXPECT_EQ(afterHeader(printer.pages[3]), (std::vector<std::string>{"line 6"}));

    // A page exactly as high as the position plus 1500 is not full yet.
    RecordingPrinter exact(2940);
    printTimelineStrip(exact, {lineOf("a"), lineOf("b")}, 1, 80, TextEncoding::windows1252);
    EXPECT_EQ(afterHeader(exact.pages[0]), (std::vector<std::string>{"a", "b"}));

    RecordingPrinter stopped(3000);
    const TimelinePrintOutcome outcome =
        printTimeline(stopped, lines, TextEncoding::windows1252, 0, 100, {"80", "", ""},
                      [](int pagesDone) { return pagesDone < 2; });
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(stopped.pages.size(), 2u);
    EXPECT_TRUE(stopped.aborted);
    EXPECT_FALSE(stopped.ended);
}

TEST(Printing, ReportsPrintTheirLinesAndCountThem) {
    struct Case {
        std::string text;
        long long count;
        std::vector<std::string> printed;
        long long columns = 0; // the widest line the printer fits
        TextEncoding encoding = TextEncoding::windows1252;
    };
    const std::string e = "\xC3\xA9"; // é in UTF-8
    const std::vector<Case> cases = {
        {"", 1, {""}},
        {"a\r\nb", 2, {"a", "b"}},
        {"a\r\nb\r\n", 3, {"a", "b", ""}}, // a text ending in a line break: one more line
        {"a\rbc", 2, {"a", "c"}},          // a lone carriage return loses the next character
        // A line too wide for the page goes on under itself, set in; widths in characters.
        {"0123456789ABCDEFGHIJ\r\nx", 2, {"0123456789", "    ABCDEF", "    GHIJ", "x"}, 10},
    };
    std::vector<Case> all = cases;
    std::string wide;
    for (int i = 0; i < 12; ++i)
        wide += e;
    all.push_back({wide, 1, {wide.substr(0, 20), "    " + e + e}, 10, TextEncoding::utf8});
    for (const Case& c : all) {
        SCOPED_TRACE(c.text);
        RecordingPrinter printer;
        printer.columns = c.columns;
        EXPECT_EQ(printReport(printer, c.text, c.encoding), c.count);
        ASSERT_EQ(printer.pages.size(), 1u);
        EXPECT_EQ(afterHeader(printer.pages[0]), c.printed);
        EXPECT_TRUE(printer.ended);
    }
    EXPECT_EQ(printedMessage(12), "Printed 12 lines");

    // The last line filling the page ends the document with a page holding only the banner; a
    // page exactly as high as the position plus 1500 is not full yet.
    RecordingPrinter full(2940);
    EXPECT_EQ(printReport(full, "1\r\n2", TextEncoding::windows1252), 2);
    ASSERT_EQ(full.pages.size(), 2u);
    EXPECT_EQ(afterHeader(full.pages[0]), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(full.pages[1], header);

    // More lines than a 16-bit counter holds are counted in full.
    std::string many;
    for (int i = 0; i < 40000; ++i)
        many += "x\r\n";
    RecordingPrinter big(1 << 30);
    EXPECT_EQ(printReport(big, many, TextEncoding::windows1252), 40001);

    // A printer fault stops it: the error escapes and the document is not ended.
    RecordingPrinter failing;
    failing.failAtLine = 6;
    EXPECT_THROW(printReport(failing, "a\r\nb\r\nc", TextEncoding::windows1252), PrintError);
    EXPECT_FALSE(failing.ended);
}
