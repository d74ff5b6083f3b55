#include "core/qd3_file.h"
#include "reports/report_windows.h"
#include "timeline/chart_printing.h"
#include "timeline/print_window.h"
#include "timeline/selection.h"
#include "timeline/timeline_window.h"
#include "ui/qt_printer.h"

#include "support/faults.h"
#include "support/gui_test.h"
#include "support/recording_printer.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

class PrintWindowTest : public ::testing::Test {
protected:
    PrintWindowTest() : state(dialogs, folder.path().string()) {
        readDataset(state.dataset, dataFile("golden/basic/input.qd3"));
        applyPeopleSelection(state.dataset);
        applyEventSelection(state.dataset);
        computeChartRange(state.dataset);
        state.openPrinter = [this](TextEncoding) { return printer.share(); };
    }
    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
    RecordingPrinter printer;
};

} // namespace

TEST_F(PrintWindowTest, TimelinePrintAsksTheYearsPerStrip) {
    PrintTimelineWindow w(state);
    auto box = [&w](const char* name) { return child<QLineEdit>(w, name); };
    // The years box keeps to its rule when it is left: 300 at most.
    box("Text1")->setText(QStringLiteral("1000"));
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(box("Text1"), &out);
    // Reversed years are refused and the window stays.
    box("Text4")->setText(QStringLiteral("1000"));
    box("Text5")->setText(QStringLiteral("999"));
    child<QPushButton>(w, "cmdOK")->click();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Start Year must not be after End Year."));
    box("Text5")->setText(QStringLiteral("1001"));
    child<QPushButton>(w, "cmdOK")->click();
    const TimelinePrintSettings& asked = state.timelinePrint;
    EXPECT_EQ(asked.yearsPerLine + " " + asked.startYear + " " + asked.endYear, "300 1000 1001");
    // Closed by its frame or Escape, it asks for nothing to print.
    PrintTimelineWindow(state).reject();
    EXPECT_EQ(state.timelinePrint.yearsPerLine, "0");
}

TEST_F(PrintWindowTest, TheTimelinesPrintTheirChartsAndReportsTheirText) {
    TimelineWindow w(state, Side::people);
    // A cancelled printer set-up prints nothing and asks nothing more.
    dialogs.answerPrinterSetup(false).answerPrinterSetup(true).answerModal([](QDialog& d) {
        child<QPushButton>(d, "cmdOK")->click();
        return d.result();
    });
    child<QAction>(w, "mnuPrint")->trigger();
    EXPECT_TRUE(printer.pages.empty());
    // Zoomed out on screen, the chart prints at one year a character all the same.
    w.setZoomStep(50);
    child<QAction>(w, "mnuPrint")->trigger();
    // One printed line per chart line in the first strip, under the banner.
    EXPECT_EQ(printer.pages.at(0).size(),
              5u + static_cast<size_t>(child<ChartView>(w, "rtbox1")->lineCount()));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Printed 27 strips of 80 years"));

    ChoiceReport life(state, ChoiceReport::Kind::inMyLife);
    emit child<QComboBox>(life, "Combo1")->activated(0);
    // A printer fault says why, and counts nothing.
    printer = RecordingPrinter();
    printer.failAtLine = 0;
    child<QAction>(life, "mnuPrint")->trigger();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("The printer is out of paper."));
    // A cancelled choice of a PDF file's name prints nothing and says nothing.
    state.openPrinter = [](TextEncoding) { return std::unique_ptr<Printer>(); };
    printChartAsAsked(state, nullptr, {});
    EXPECT_EQ(dialogs.messages().size(), 2u);
}

namespace {

// The text a PDF file shows, as a reader extracts it.
std::string pdfText(const std::string& path) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {q(path), QStringLiteral("-")});
    reader.waitForFinished();
    return reader.readAllStandardOutput().toStdString();
}

std::unique_ptr<Printer> pdfPrinter(const std::string& path) {
    return ui::openPdfPrinter(q(path), TextEncoding::utf8);
}

} // namespace

TEST(QtPrinterTest, OnlyAFinishedPrintLeavesAFile) {
    TempDir dir;
    // Strips of 300 years do not fit a page at the smallest type: narrower ones print, and the
    // last year of a 300-column line is on a page. A mark that turns text around (U+202E) is
    // shown, not obeyed.
    const std::vector<ChartLine> lines = {
        {.head = std::string(299, 'x') + "Z", .middle = {}, .tail = {}, .headWidth = 300},
        {.head = "Hat\xE2\x80\xAEshepsut rules", .middle = {}, .tail = {}, .headWidth = 17}};
    const TimelinePrintOutcome done = printTimeline(*pdfPrinter(dir.file("done.pdf")), lines,
                                                    TextEncoding::utf8, 0, 300, {"300", "", ""});
    EXPECT_LT(done.years, 300);
    EXPECT_NE(pdfText(dir.file("done.pdf")).find("xZ"), std::string::npos);
    EXPECT_NE(pdfText(dir.file("done.pdf")).find("shepsut rules"), std::string::npos);

    // A print that is stopped or fails leaves the file that was there before, and no other.
    const std::string old = dir.file("old.pdf");
    writeBytes(old, "the last print");
    for (const bool stop : {true, false}) {
        auto p = pdfPrinter(old);
        printChartHeader(*p);
        if (stop)
            p->abortDocument(); // otherwise a failure: the printer goes without an end
    }
    EXPECT_EQ(readBytes(old), "the last print");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    // A pipe is refused at once rather than waited on.
    const std::string fifo = dir.file("fifo.pdf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(failureOf([&] { printChartHeader(*pdfPrinter(fifo)); }),
              "Cannot save \"" + fifo + "\": it is not a regular file");

    // A full disk says so, and keeps the old file.
    const int outcome = inChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=8k") != 0)
            return 77;
        writeBytes(dir.file("full.pdf"), "the last print");
        const std::string failure = failureOf([&] {
            auto p = pdfPrinter(dir.file("full.pdf"));
            printChartHeader(*p);
            for (int i = 0; i < 2000; ++i)
                p->printLine(std::to_string(i) + " a line that takes room on the small disk");
            p->endDocument();
        });
        const bool kept = readBytes(dir.file("full.pdf")) == "the last print";
        return failure.empty() ? 1 : failure.ends_with("No space left on device") && kept ? 0 : 2;
    });
    EXPECT_TRUE(outcome == 0 || outcome == 77)
        << outcome << " (1: no failure reported, 2: the wrong one or the old file lost)";

    // Where Qt found no printer, it offers a PDF file with no name: each print asks for one,
    // proposing the last.
    QPrinter unset(QPrinter::HighResolution);
    unset.setOutputFormat(QPrinter::PdfFormat);

    ScriptedDialogs dialogs;
    QString last;
    const QString chosen = q(dir.file("chosen.pdf"));
    for (int print = 0; print < 2; ++print) {
        dialogs.answerSave(chosen);
        auto printer = ui::openChosenPrinter(unset, dialogs, last, TextEncoding::utf8);
        ASSERT_TRUE(printer);
        printChartHeader(*printer);
        printer->endDocument();
        EXPECT_EQ(dialogs.shown.back().title, print == 0 ? QString() : chosen);
    }
    EXPECT_NE(pdfText(dir.file("chosen.pdf")).find("Tessaline"), std::string::npos);
    dialogs.answerSave(std::nullopt);
    EXPECT_FALSE(ui::openChosenPrinter(unset, dialogs, last, TextEncoding::utf8));
}
