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

ChartLine lineOfText(const std::string& text) {
    ChartLine l;
    l.head = text;
    l.headWidth = static_cast<int>(text.size());
    return l;
}

} // namespace

TEST_F(PrintWindowTest, TimelinePrintAsksTheYearsPerStrip) {
    PrintTimelineWindow w(state);
    auto box = [&w](const char* name) { return child<QLineEdit>(w, name); };
    EXPECT_EQ(box("Text4")->text(), QString::number(state.dataset.earliestDate));
    EXPECT_EQ(box("Text5")->text(), QString::number(state.dataset.latestDate));
    // The years box keeps to its rule when it is left.
    box("Text1")->setText(QStringLiteral("1000"));
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(box("Text1"), &out);
    EXPECT_EQ(box("Text1")->text(), QStringLiteral("300"));
    // Reversed years are refused and the window stays.
    box("Text4")->setText(QStringLiteral("1000"));
    box("Text5")->setText(QStringLiteral("999"));
    child<QPushButton>(w, "cmdOK")->click();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Start Year must not be after End Year."));
    EXPECT_NE(w.result(), QDialog::Accepted);
    box("Text5")->setText(QStringLiteral("1001"));
    child<QPushButton>(w, "cmdOK")->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const TimelinePrintSettings& asked = state.timelinePrint;
    EXPECT_EQ(asked.yearsPerLine + " " + asked.startYear + " " + asked.endYear, "300 1000 1001");

    // Cancelled, or closed by its frame or Escape, it asks for nothing to print.
    PrintTimelineWindow again(state);
    EXPECT_EQ(child<QLineEdit>(again, "Text1")->text(), QStringLiteral("80")); // every opening
    child<QPushButton>(again, "cmdCancel")->click();
    EXPECT_EQ(state.timelinePrint.yearsPerLine, "0");
    state.timelinePrint.yearsPerLine = "80";
    PrintTimelineWindow(state).reject();
    EXPECT_EQ(state.timelinePrint.yearsPerLine, "0");
}

TEST_F(PrintWindowTest, TheTimelinesPrintTheirChartsAndReportsTheirText) {
    for (const Side side : {Side::people, Side::events}) {
        printer = RecordingPrinter();
        printer.columns = side == Side::events ? 50 : 0;
        TimelineWindow w(state, side);
        // A cancelled printer set-up prints nothing and asks nothing more.
        dialogs.answerPrinterSetup(false);
        child<QAction>(w, "mnuPrint")->trigger();
        EXPECT_TRUE(printer.pages.empty());

        dialogs.answerPrinterSetup(true).answerModal([](QDialog& d) {
            child<QPushButton>(d, "cmdOK")->click();
            return d.result();
        });
        child<QAction>(w, "mnuPrint")->trigger();
        EXPECT_TRUE(printer.ended);
        ASSERT_FALSE(printer.pages.empty());
        // One printed line per chart line in the first strip, under the banner.
        EXPECT_EQ(printer.pages[0].at(2), std::string(printBanner));
        EXPECT_EQ(printer.pages[0].size(),
                  5u + static_cast<size_t>(child<ChartView>(w, "rtbox1")->lineCount()));
        // How many strips went, and why they are narrower than asked.
        EXPECT_EQ(dialogs.messages().back(),
                  side == Side::people
                      ? QStringLiteral("Printed 27 strips of 80 years")
                      : QStringLiteral("Printed 44 strips of 50 years\r\nOnly 50 years fit "
                                       "across the page at the smallest type, not the 80 asked "
                                       "for."));
    }
    // A cancelled choice of a PDF file's name prints nothing and says nothing.
    const size_t told = dialogs.messages().size();
    state.openPrinter = [](TextEncoding) { return std::unique_ptr<Printer>(); };
    printChartAsAsked(state, nullptr, {});
    EXPECT_EQ(dialogs.messages().size(), told);
    state.openPrinter = [this](TextEncoding) { return printer.share(); };

    ChoiceReport life(state, ChoiceReport::Kind::inMyLife);
    emit child<QComboBox>(life, "Combo1")->activated(0);
    printer = RecordingPrinter();
    child<QAction>(life, "mnuPrint")->trigger();
    ASSERT_TRUE(printer.ended);
    EXPECT_EQ(dialogs.messages().back(),
              QStringLiteral("Printed %1 lines").arg(printer.pages[0].size() - 5));
    // A printer fault says why, and counts nothing.
    printer = RecordingPrinter();
    printer.failAtLine = 0;
    child<QAction>(life, "mnuPrint")->trigger();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("The printer is out of paper."));
    EXPECT_FALSE(printer.ended);
}

namespace {

// The text a PDF file shows, as a reader extracts it.
std::string pdfText(const std::string& path) {
    const std::string command = "pdftotext '" + path + "' -";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string text;
    char buffer[4096];
    for (size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        text.append(buffer, n);
    return text;
}

std::unique_ptr<Printer> pdfPrinter(const std::string& path) {
    return ui::openPdfPrinter(QString::fromStdString(path), TextEncoding::utf8);
}

} // namespace

TEST(QtPrinterTest, OnlyAFinishedPrintLeavesAFile) {
    TempDir dir;
    const std::string done = dir.file("done.pdf");
    // Strips of 300 years do not fit a page at the smallest type: narrower ones print, and the
    // last year of a 300-column line is on a page.
    {
        auto p = pdfPrinter(done);
        const TimelinePrintOutcome outcome =
            printTimeline(*p, {lineOfText(std::string(299, 'x') + "Z")}, TextEncoding::utf8, 0, 300,
                          {"300", "", ""});
        EXPECT_LT(outcome.years, 300);
        EXPECT_GT(outcome.years, 100);
    }
    const std::string text = pdfText(done);
    EXPECT_NE(text.find("xZ"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(printBanner.substr(0, 26))), std::string::npos);
    // A mark that turns text around (U+202E) is shown, not obeyed.
    {
        auto p = pdfPrinter(dir.file("bidi.pdf"));
        p->printLine("Hat\xE2\x80\xAEshepsut rules");
        p->endDocument();
    }
    EXPECT_NE(pdfText(dir.file("bidi.pdf")).find("shepsut rules"), std::string::npos);

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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3);

    // A pipe is refused at once rather than waited on.
    const std::string fifo = dir.file("fifo.pdf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    try {
        printChartHeader(*pdfPrinter(fifo));
        ADD_FAILURE() << "printed to a pipe";
    } catch (const PrintError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot save \"" + fifo + "\": it is not a regular file");
    }

    // A full disk says so, and keeps the old file.
    const int outcome = inChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=8k") != 0)
            return 77;
        writeBytes(dir.file("full.pdf"), "the last print");
        auto p = pdfPrinter(dir.file("full.pdf"));
        try {
            printChartHeader(*p);
            for (int i = 0; i < 2000; ++i)
                p->printLine(std::to_string(i) + " a line that takes room on the small disk");
            p->endDocument();
        } catch (const PrintError& e) {
            const bool said = std::string(e.what()).ends_with("No space left on device");
            return said && readBytes(dir.file("full.pdf")) == "the last print" ? 0 : 2;
        }
        return 1;
    });
    EXPECT_TRUE(outcome == 0 || outcome == 77)
        << outcome << " (1: no failure reported, 2: the wrong one or the old file lost)";

    // Where Qt found no printer, it offers a PDF file with no name until one is chosen.
    QPrinter unset(QPrinter::HighResolution);
    unset.setOutputFormat(QPrinter::PdfFormat);
    ui::QtPrinter p(unset, TextEncoding::utf8);
    EXPECT_THROW(p.newPage(), PrintError);

    // In the windows each print to a PDF file asks for its name, proposing the last one.
    ScriptedDialogs dialogs;
    QString last;
    const QString chosen = QString::fromStdString(dir.file("chosen.pdf"));
    for (int print = 0; print < 2; ++print) {
        dialogs.answerSave(chosen);
        std::unique_ptr<Printer> printer =
            ui::openChosenPrinter(unset, dialogs, last, TextEncoding::utf8);
        ASSERT_TRUE(printer);
        printChartHeader(*printer);
        printer->endDocument();
        EXPECT_EQ(dialogs.shown.back().title, print == 0 ? QString() : chosen);
    }
    EXPECT_NE(pdfText(dir.file("chosen.pdf")).find("Tessaline"), std::string::npos);
    dialogs.answerSave(std::nullopt);
    EXPECT_FALSE(ui::openChosenPrinter(unset, dialogs, last, TextEncoding::utf8));
    // A file the print dialog named is not asked for again.
    QPrinter named(QPrinter::HighResolution);
    named.setOutputFormat(QPrinter::PdfFormat);
    named.setOutputFileName(QString::fromStdString(dir.file("named.pdf")));
    EXPECT_TRUE(ui::openChosenPrinter(named, dialogs, last, TextEncoding::utf8));
}
