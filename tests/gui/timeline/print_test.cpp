#include "core/qd3_file.h"
#include "reports/report_windows.h"
#include "timeline/chart_printing.h"
#include "timeline/print_window.h"
#include "timeline/selection.h"
#include "timeline/timeline_window.h"
#include "ui/qt_printer.h"

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
    w.Text4->setText(QStringLiteral("1000"));
    w.cmdOK->click();
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
    for (const TimelineSide side : {TimelineSide::people, TimelineSide::events}) {
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
        EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("PrintTline"));
        EXPECT_TRUE(printer.ended);
        ASSERT_FALSE(printer.pages.empty());
        EXPECT_EQ(printer.pages[0].at(2), std::string(printBanner));
        // One printed line per chart line in the first strip.
        EXPECT_EQ(printer.pages[0].size(), 5u + static_cast<size_t>(w.rtbox1->lineCount()));
        w.close();
    }

    ChoiceReport life(state, ChoiceReport::Kind::inMyLife);
    emit life.Combo1->activated(0);
    printer = RecordingPrinter();
    life.mnuPrint->trigger();
    EXPECT_TRUE(printer.ended);
    EXPECT_EQ(dialogs.messages().back(),
              QStringLiteral("Printed %1 lines").arg(printer.pages[0].size() - 5));

    // A printer fault says why, and counts nothing.
    printer = RecordingPrinter();
    printer.failAtLine = 0;
    life.mnuPrint->trigger();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("The printer is out of paper."));
    EXPECT_FALSE(printer.ended);
}

TEST(QtPrinterTest, OnlyAFinishedPrintLeavesAFile) {
    TempDir dir;
    const QString done = QString::fromStdString(dir.file("done.pdf"));
    const QString stopped = QString::fromStdString(dir.file("stopped.pdf"));
    const QString failed = QString::fromStdString(dir.file("failed.pdf"));
    {
        std::unique_ptr<Printer> p = ui::openPdfPrinter(done, TextEncoding::utf8);
        p->fitColumns(300); // a wide strip still fits: the type gets smaller
        printChartHeader(*p);
        p->printLine(std::string(300, 'x'));
        EXPECT_LT(p->currentY(), p->pageHeight());
        p->endDocument();
    }
    EXPECT_GT(QFileInfo(done).size(), 0);
    {
        std::unique_ptr<Printer> p = ui::openPdfPrinter(stopped, TextEncoding::utf8);
        printChartHeader(*p);
        p->abortDocument();
    }
    EXPECT_FALSE(QFileInfo::exists(stopped));
    {
        std::unique_ptr<Printer> p = ui::openPdfPrinter(failed, TextEncoding::utf8);
        printChartHeader(*p); // and then a failure: the printer goes without an end
    }
    EXPECT_FALSE(QFileInfo::exists(failed));

    // Where Qt found no printer, it offers a PDF file with no name until one is chosen.
    QPrinter unset(QPrinter::HighResolution);
    unset.setOutputFormat(QPrinter::PdfFormat);
    ui::QtPrinter p(unset, TextEncoding::utf8);
    EXPECT_THROW(p.newPage(), PrintError);
}
