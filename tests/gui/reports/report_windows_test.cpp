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
    static QString shown(const std::string& report) {
        return QString::fromStdString(report).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
};

} // namespace

TEST_F(ReportWindowTest, ReportWriterBuildsTheListingItsControlsAsk) {
    ReportWriter w(state);
    w.show();
    const Dataset& ds = state.dataset;
    auto* view = child<ChartView>(w, "Text1");
    auto* start = child<QLineEdit>(w, "date1");
    auto* end = child<QLineEdit>(w, "date2");
    EXPECT_EQ(start->text(), QString::number(ds.earliestDate));
    EXPECT_EQ(end->text(), QString::number(ds.latestDate));
    EXPECT_FALSE(child<QAction>(w, "mnuPrint")->isVisible());
    EXPECT_TRUE(view->isHidden());

    // The date boxes keep to the chart range as each loses the focus.
    for (QLineEdit* box : {start, end}) {
        box->setText(QStringLiteral("99999"));
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(box, &out);
        EXPECT_EQ(box->text(), QString::number(ds.latestDate));
    }
    start->setText(QStringLiteral("1800"));
    end->setText(QStringLiteral("1920"));
    child<QCheckBox>(w, "Check1")->setChecked(true);
    child<QPushButton>(w, "cmdOK")->click();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("People"));
    EXPECT_TRUE(child<QAction>(w, "mnuPrint")->isVisible());
    ListingColumns dates;
    dates.dates = true;
    EXPECT_EQ(w.text(), buildListing(ds, Side::people, 1800, 1920, dates));
    EXPECT_EQ((Chart{view->lines(), ""}.text()), w.text());
    w.copyReport();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown(w.text()));

    // A range with nothing in it: an empty report, still shown.
    child<QRadioButton>(w, "OptEvents")->setChecked(true);
    start->setText(QStringLiteral("12000"));
    child<QPushButton>(w, "cmdOK")->click();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Events"));
    EXPECT_EQ(w.text(), "");
    EXPECT_TRUE(view->isVisible());

    // The resize rule: within the window's own area, the width less 60 twips, the height less
    // 650 and the options below; nothing for a window too small for it.
    const double dpi = ui::logicalDpi(&w);
    w.resize(ui::twipsToPixels(9000, dpi), ui::twipsToPixels(7000, dpi));
    w.fitText(QRect(0, 0, 9000, 7000));
    const QRect fitted(0, 0, ui::twipsToPixels(9000 - 60, dpi),
                       ui::twipsToPixels(7000 - 650, dpi) -
                           child<QWidget>(w, "options")->sizeHint().height());
    EXPECT_EQ(view->geometry(), fitted);
    EXPECT_LE(view->geometry().bottom(), view->parentWidget()->height());
    w.fitText(QRect(0, 0, 9000, 650));
    EXPECT_EQ(view->geometry(), fitted);
}

TEST_F(ReportWindowTest, ChoiceReportsOfferTheSelectedAndReportOnTheOneChosen) {
    Dataset& ds = state.dataset;
    ds.events[0].selected = 0; // hidden by a selection: not offered, entries shift
    ds.fileName = folder.file("rome.qd3");
    for (const auto kind : {ChoiceReport::Kind::age, ChoiceReport::Kind::inMyLife}) {
        const bool age = kind == ChoiceReport::Kind::age;
        SCOPED_TRACE(age);
        ChoiceReport w(state, kind);
        w.show();
        auto* combo = child<QComboBox>(w, "Combo1");
        auto* text = child<QPlainTextEdit>(w, "Text1");
        QAction* exportAction = child<QAction>(w, "mnuExport");
        EXPECT_FALSE(exportAction->isVisible());
        const ChoiceList choices = reportChoices(ds, age ? Side::events : Side::people);
        ASSERT_EQ(combo->count(), static_cast<int>(choices.texts.size()));
        EXPECT_EQ(combo->itemText(1).toStdString(), choices.texts[1]);

        emit combo->activated(1);
        const int record = choices.indexes[1];
        EXPECT_EQ(text->toPlainText(),
                  shown(age ? ageReport(ds, record) : inMyLifeReport(ds, record)));
        EXPECT_TRUE(child<QLabel>(w, "Label1")->isHidden());
        EXPECT_TRUE(child<QAction>(w, "mnuPrint")->isVisible());

        // Export saves the text in UTF-8, its line breaks as they are, offered beside the
        // dataset.
        ASSERT_TRUE(exportAction->isVisible());
        const std::string path = folder.file(age ? "age.txt" : "life.txt");
        dialogs.answerSave(QString::fromStdString(path));
        exportAction->trigger();
        EXPECT_EQ(readBytes(path), toUtf8(w.text(), ds.encoding));
        EXPECT_EQ(dialogs.shown.back().title, QString::fromStdString(folder.file(
                                                  age ? "rome-age.txt" : "rome-in-my-life.txt")));

        const double dpi = ui::logicalDpi(&w);
        const QSize fitted(ui::twipsToPixels(8000 - (age ? 600 : 500), dpi),
                           ui::twipsToPixels(6000 - (age ? 1650 : 1600), dpi));
        w.fitText(QRect(0, 0, 8000, 6000));
        w.fitText(QRect(0, 0, 8000, age ? 1650 : 1600));
        EXPECT_EQ(text->size(), fitted);
    }
}

TEST_F(ReportWindowTest, TheReportsMenuOpensTheThreeWindows) {
    ZemMain main(state);
    dialogs.answerOpen(QString::fromStdString(dataFile("golden/reports/input.qd3")));
    dialogs.acceptModal().acceptModal().acceptModal().acceptModal();
    // The statistics window is the first modal.
    for (const char* item : {"mnuopen", "mnuRptPeople", "mnuAgeReport", "munLife"})
        child<QAction>(main, item)->trigger();
    ASSERT_EQ(dialogs.shown.size(), 5u);
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("rpt1"));
    EXPECT_EQ(dialogs.shown[3].text, QStringLiteral("AgeReport"));
    EXPECT_EQ(dialogs.shown[4].text, QStringLiteral("inMyLife"));
}
