#include "core/qd3_file.h"
#include "reports/report_windows.h"
#include "timeline/chart_printing.h"
#include "timeline/print_window.h"
#include "timeline/selection.h"
#include "timeline/timeline_window.h"
#include "ui/qt_printer.h"

#include "support/faults.h"
#include "support/recording_printer.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace tess;
using namespace testing_support;

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
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Timeline Print"));
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Number of years / line"));
    EXPECT_EQ(w.Frame1->title(), QStringLiteral(" "));
    EXPECT_EQ(w.Text1->text(), QStringLiteral("80"));
    EXPECT_EQ(w.Text4->text(), QString::number(state.dataset.earliestDate));
    EXPECT_EQ(w.Text5->text(), QString::number(state.dataset.latestDate));
    for (const auto& [typed, kept] :
         std::vector<std::pair<QString, QString>>{{QStringLiteral("5"), QStringLiteral("10")},
                                                  {QStringLiteral("1000"), QStringLiteral("300")},
                                                  {QStringLiteral("120"), QStringLiteral("120")}}) {
        w.Text1->setText(typed);
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(w.Text1, &out);
        EXPECT_EQ(w.Text1->text(), kept);
    }
    // Reversed years are refused and the window stays.
    w.Text4->setText(QStringLiteral("1000"));
    w.Text5->setText(QStringLiteral("999"));
    w.cmdOK->click();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Start Year must not be after End Year."));
    EXPECT_NE(w.result(), QDialog::Accepted);
    w.Text5->setText(QStringLiteral("1000"));
    w.cmdOK->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(state.timelinePrint.yearsPerLine, "120");
    EXPECT_EQ(state.timelinePrint.startYear, "1000");

    PrintTimelineWindow again(state);
    EXPECT_EQ(again.Text1->text(), QStringLiteral("80")); // at every opening
    again.cmdCancel->click();
    EXPECT_EQ(state.timelinePrint.yearsPerLine, "0");
    PrintTimelineWindow closed(state);
    closed.reject(); // closed by its frame or Escape: as Cancel
    EXPECT_EQ(state.timelinePrint.yearsPerLine, "0");
}

TEST_F(PrintWindowTest, TheTimelinesPrintTheirChartsAndReportsTheirText) {
    for (const Side side : {Side::people, Side::events}) {
        printer = RecordingPrinter();
        TimelineWindow w(state, side);
        // A cancelled printer set-up prints nothing and asks nothing more.
        dialogs.answerPrinterSetup(false);
        w.mnuPrint->trigger();
        EXPECT_TRUE(printer.pages.empty());

        dialogs.answerPrinterSetup(true).answerModal([](QDialog& d) {
            dynamic_cast<PrintTimelineWindow&>(d).cmdOK->click();
            return d.result();
        });
        w.mnuPrint->trigger();
        ASSERT_GE(dialogs.shown.size(), 2u);
        EXPECT_EQ(dialogs.shown[dialogs.shown.size() - 2].text, QStringLiteral("PrintTline"));
        EXPECT_TRUE(dialogs.messages().back().startsWith(QStringLiteral("Printed ")));
        EXPECT_TRUE(printer.ended);
        ASSERT_FALSE(printer.pages.empty());
        EXPECT_EQ(printer.pages[0].at(2), std::string(printBanner));
        // One printed line per chart line in the first strip.
        EXPECT_EQ(printer.pages[0].size(), 5u + static_cast<size_t>(w.rtbox1->lineCount()));
        w.close();
    }

    // The print says how many strips went, and why they are narrower than asked.
    printer = RecordingPrinter();
    printer.columns = 50;
    state.timelinePrint = {"80", "", ""};
    printChartAsAsked(state, nullptr, {});
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_EQ(dialogs.messages().back(),
              QStringLiteral("Printed 44 strips of 50 years\r\nOnly 50 years fit across the page "
                             "at the smallest type, not the 80 asked for."));
    // A cancelled choice of a PDF file's name prints nothing and says nothing.
    const size_t told = dialogs.messages().size();
    state.openPrinter = [](TextEncoding) { return std::unique_ptr<Printer>(); };
    printChartAsAsked(state, nullptr, {});
    EXPECT_EQ(dialogs.messages().size(), told);
    state.openPrinter = [this](TextEncoding) { return printer.share(); };

    ChoiceReport life(state, ChoiceReport::Kind::inMyLife);
    emit life.Combo1->activated(0);
    printer = RecordingPrinter();
    life.mnuPrint->trigger();
    EXPECT_TRUE(printer.ended);
    ASSERT_FALSE(printer.pages.empty());
    EXPECT_EQ(dialogs.messages().back(),
              QStringLiteral("Printed %1 lines").arg(printer.pages[0].size() - 5));

    // A printer fault says why, and counts nothing.
    printer = RecordingPrinter();
    printer.failAtLine = 0;
    life.mnuPrint->trigger();
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

} // namespace

TEST(QtPrinterTest, OnlyAFinishedPrintLeavesAFile) {
    TempDir dir;
    const std::string done = dir.file("done.pdf");
    // Strips of 300 years do not fit a page at the smallest type: narrower ones print, and the
    // last year of a 300-column line is on a page.
    {
        std::unique_ptr<Printer> p =
            ui::openPdfPrinter(QString::fromStdString(done), TextEncoding::utf8);
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
        std::unique_ptr<Printer> p =
            ui::openPdfPrinter(QString::fromStdString(dir.file("bidi.pdf")), TextEncoding::utf8);
        p->printLine("Hat\xE2\x80\xAEshepsut rules");
        p->endDocument();
    }
    EXPECT_NE(pdfText(dir.file("bidi.pdf")).find("shepsut rules"), std::string::npos);

    // A print that is stopped or fails leaves the file that was there before, and no other.
    const std::string old = dir.file("old.pdf");
    writeBytes(old, "the last print");
    for (const bool stop : {true, false}) {
        std::unique_ptr<Printer> p =
            ui::openPdfPrinter(QString::fromStdString(old), TextEncoding::utf8);
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
    std::unique_ptr<Printer> toFifo =
        ui::openPdfPrinter(QString::fromStdString(fifo), TextEncoding::utf8);
    try {
        printChartHeader(*toFifo);
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
        std::unique_ptr<Printer> p =
            ui::openPdfPrinter(QString::fromStdString(dir.file("full.pdf")), TextEncoding::utf8);
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
