#include "app/zemmain.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"
#include "reports/report_windows.h"
#include "timeline/chart.h"
#include "timeline/selection.h"
#include "ui/geometry.h"

#include "support/gui_test.h"

namespace {

class ReportWindowTest : public ::testing::Test {
protected:
    ReportWindowTest() : state(dialogs, folder.path().string()) {
        readDataset(state.dataset, dataFile("golden/reports/input.qd3"));
        applyPeopleSelection(state.dataset);
        applyEventSelection(state.dataset);
        computeChartRange(state.dataset);
    }
    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
};

} // namespace

TEST_F(ReportWindowTest, ReportWriterBuildsTheListingItsControlsAsk) {
    ReportWriter w(state);
    w.show();
    auto* view = child<ChartView>(w, "Text1");
    auto* start = child<QLineEdit>(w, "date1");
    // The date boxes keep to the chart range as each loses the focus.
    start->setText(QStringLiteral("99999"));
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(start, &out);
    EXPECT_EQ(start->text(), QString::number(state.dataset.latestDate));
    start->setText(QStringLiteral("1800"));
    child<QLineEdit>(w, "date2")->setText(QStringLiteral("1920"));
    child<QCheckBox>(w, "Check1")->setChecked(true);
    child<QPushButton>(w, "cmdOK")->click();
    ListingColumns dates;
    dates.dates = true;
    EXPECT_EQ(w.text(), buildListing(state.dataset, Side::people, 1800, 1920, dates));
    EXPECT_EQ((Chart{view->lines(), ""}.text()), w.text());

    // The report takes the window less 60 twips across and 650 down, with the options below;
    // a window too small for that leaves it as it was.
    const double dpi = ui::logicalDpi(&w);
    w.resize(ui::twipsToPixels(9000, dpi), ui::twipsToPixels(7000, dpi));
    w.fitText(QRect(0, 0, 9000, 7000));
    w.fitText(QRect(0, 0, 9000, 650));
    EXPECT_EQ(view->geometry(), QRect(0, 0, ui::twipsToPixels(9000 - 60, dpi),
                                      ui::twipsToPixels(7000 - 650, dpi) -
                                          child<QWidget>(w, "options")->sizeHint().height()));
}

TEST_F(ReportWindowTest, ChoiceReportsOfferTheSelectedAndReportOnTheOneChosen) {
    Dataset& ds = state.dataset;
    ds.fileName = folder.file("rome.qd3");
    for (const auto kind : {ChoiceReport::Kind::age, ChoiceReport::Kind::inMyLife}) {
        const bool age = kind == ChoiceReport::Kind::age;
        ChoiceReport w(state, kind);
        auto* combo = child<QComboBox>(w, "Combo1");
        const ChoiceList choices = reportChoices(ds, age ? Side::events : Side::people);
        ASSERT_EQ(combo->count(), static_cast<int>(choices.texts.size()));
        emit combo->activated(1);
        const std::string report =
            age ? ageReport(ds, choices.indexes[1]) : inMyLifeReport(ds, choices.indexes[1]);
        EXPECT_EQ(child<QPlainTextEdit>(w, "Text1")->toPlainText(),
                  q(report).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        // A window too narrow for the text keeps it as it is, however tall.
        const QSize before = child<QPlainTextEdit>(w, "Text1")->size();
        w.fitText(QRect(0, 0, 600, 9000));
        EXPECT_EQ(child<QPlainTextEdit>(w, "Text1")->size(), before);

        // Export saves the text in UTF-8, offered beside the dataset.
        dialogs.answerSave(q(folder.file("report.txt")));
        child<QAction>(w, "mnuExport")->trigger();
        EXPECT_EQ(readBytes(folder.file("report.txt")), toUtf8(w.text(), ds.encoding));
        EXPECT_EQ(dialogs.shown.back().title,
                  q(folder.file(age ? "rome-age.txt" : "rome-in-my-life.txt")));
    }
}

TEST_F(ReportWindowTest, TheReportsMenuOpensTheThreeWindows) {
    ZemMain main(state);
    dialogs.answerOpen(q(dataFile("golden/reports/input.qd3")));
    dialogs.acceptModal().acceptModal().acceptModal().acceptModal();
    // The statistics window is the first modal.
    for (const char* item : {"mnuopen", "mnuRptPeople", "mnuAgeReport", "munLife"})
        child<QAction>(main, item)->trigger();
    ASSERT_EQ(dialogs.shown.size(), 5u);
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("rpt1"));
    EXPECT_EQ(dialogs.shown[3].text, QStringLiteral("AgeReport"));
    EXPECT_EQ(dialogs.shown[4].text, QStringLiteral("inMyLife"));
}
