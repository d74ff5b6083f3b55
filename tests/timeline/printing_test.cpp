#include "reports/report_printing.h"
#include "timeline/chart_printing.h"

#include "support/recording_printer.h"
#include "support/test.h"

namespace {

ChartLine lineOf(const std::string& text) {
    ChartLine l;
    l.head = text;
    l.headWidth = static_cast<int>(text.size());
    return l;
}

// What a printer was given: each page under "--", without the banner it must start with.
std::string printed(const RecordingPrinter& printer) {
    const std::vector<std::string> banner = {"", "", std::string(printBanner), "", ""};
    std::string text;
    for (const auto& page : printer.pages) {
        EXPECT_TRUE(page.size() >= 5 && std::equal(banner.begin(), banner.end(), page.begin()));
        text += "--\n";
        for (size_t i = 5; i < page.size(); ++i)
            text += page[i] + "\n";
    }
    const char* end = printer.ended ? "ended" : printer.aborted ? "dropped" : "not ended";
    return text + end + ", type fitted to " + std::to_string(printer.fittedTo) + " columns\n\n";
}

} // namespace

// Charts in strips of the years asked, no wider than the page fits, from and to the years asked;
// pages broken under the banner once a line leaves less than 1500 twips below it (after 2 chart
// lines on pages of 3000, and a page exactly that high not yet full); a long print stopped;
// reports line by line, too wide lines going on under themselves, set in, by characters.
TEST(Printing, ChartsInStripsAndReportsInLines) {
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
    std::vector<ChartLine> seven;
    for (int i = 0; i < 7; ++i)
        seven.push_back(lineOf("line " + std::to_string(i)));
    const auto cp = TextEncoding::windows1252;
    std::string log;
    auto chart = [&](const std::string& what, int pageHeight, long long columns,
                     const std::vector<ChartLine>& chartLines, int latest,
                     const TimelinePrintRequest& request, const KeepPrinting& keep = {}) {
        RecordingPrinter printer(pageHeight);
        printer.columns = columns;
        std::string said;
        const std::string failure = failureOf([&] {
            const TimelinePrintOutcome done =
                printTimeline(printer, chartLines, cp, 1840, latest, request, keep);
            said = stripsPrintedMessage(done) + (done.stopped ? ", stopped" : "");
        });
        log += what + ": " + said + failure + "\n" + printed(printer);
    };
    chart("80 years", 15840, 0, lines, 1940, {"80", "", ""});
    chart("cancelled", 15840, 0, lines, 1940, {"0", "", ""});
    chart("50 columns fit", 15840, 50, lines, 1940, {"80", "", ""});
    chart("300 years", 15840, 0, lines, 1940, {"300", "", ""});
    chart("10 years, the fewest", 15840, 0, {lineOf("x")}, 1850, {"10", "", ""});
    chart("one strip where 50 columns fit", 15840, 50, {lineOf("x")}, 1850, {"80", "", ""});
    chart("reversed years", 15840, 0, lines, 1940, {"80", "1900", "1899"});
    chart("pages of 3000", 3000, 0, seven, 1860, {"80", "", ""});
    chart("pages of 2940", 2940, 0, {lineOf("a"), lineOf("b")}, 1860, {"80", "", ""});
    chart("stopped after 2 pages", 3000, 0, seven, 1940, {"80", "", ""},
          [](int pagesDone) { return pagesDone < 2; });

    const std::string e = "\xC3\xA9"; // é in UTF-8
    auto report = [&](const std::string& text, int pageHeight = 15840, long long columns = 0,
                      TextEncoding encoding = TextEncoding::windows1252) {
        RecordingPrinter printer(pageHeight);
        printer.columns = columns;
        const std::string said = printedMessage(printReport(printer, text, encoding));
        log += "report of " + std::to_string(text.size()) + " bytes: " + said + "\n" +
               printed(printer);
    };
    report("");
    report("a\r\nb");
    report("a\r\nb\r\n");
    report("a\rbc");
    report("0123456789ABCDEFGHIJ\r\nx", 15840, 10);
    report("0123456789ABCDEFGHIJKL", 15840, 10); // the last piece exactly full
    std::string wide;
    for (int i = 0; i < 12; ++i)
        wide += e;
    report(wide, 15840, 10, TextEncoding::utf8);
    report("1\r\n2", 2940);
    expectGolden(log, "expected/printing.txt");

    // More lines than a 16-bit counter holds are counted in full.
    std::string many;
    for (int i = 0; i < 40000; ++i)
        many += "x\r\n";
    RecordingPrinter big(1 << 30);
    EXPECT_EQ(printReport(big, many, cp), 40001);
    // A printer fault stops it: the error escapes and the document is not ended.
    RecordingPrinter failing;
    failing.failAtLine = 6;
    EXPECT_THROW(printReport(failing, "a\r\nb\r\nc", cp), PrintError);
    EXPECT_FALSE(failing.ended);
}
