#include "app/zemmain.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"
#include "reports/report_windows.h"
#include "timeline/chart.h"
#include "timeline/selection.h"
#include "ui/geometry.h"

#include "support/find_child.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace tess;
using namespace testing_support;

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
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Report Writer"));
    EXPECT_EQ(w.date1->text(), QString::number(ds.earliestDate));
    EXPECT_EQ(w.date2->text(), QString::number(ds.latestDate));
    EXPECT_TRUE(w.OptPeople->isChecked());
    EXPECT_FALSE(w.mnuPrint->isVisible());
    EXPECT_TRUE(w.Text1->isHidden());
    EXPECT_EQ(w.Check5->toolTip(), QStringLiteral("Include URLs where present"));
    EXPECT_EQ(w.Check6->toolTip(), QStringLiteral("List only items with URL links"));
    for (QCheckBox* c : {w.Check1, w.Check2, w.Check3, w.Check4, w.Check5, w.Check6})
        EXPECT_FALSE(c->isChecked());

    // The date boxes keep to the chart range (-310 to 12410 here), the end at least the start,
    // as each box loses the focus.
    auto leave = [](QLineEdit* box, const QString& text) {
        box->setText(text);
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(box, &out);
        return box->text();
    };
    EXPECT_EQ(leave(w.date1, QStringLiteral("no year")), QStringLiteral("0"));
    EXPECT_EQ(leave(w.date1, QStringLiteral("-9000")), QStringLiteral("-310"));
    EXPECT_EQ(leave(w.date1, QStringLiteral("1801.5")), QStringLiteral("1802"));
    w.date1->setText(QStringLiteral("1800.5")); // the end's bound is the number as typed
    EXPECT_EQ(leave(w.date2, QStringLiteral("1700")), QStringLiteral("1800"));
    EXPECT_EQ(leave(w.date2, QStringLiteral("99999")), QStringLiteral("12410"));
    w.date1->setText(QStringLiteral("1800"));

    w.date2->setText(QStringLiteral("1920"));
    w.Check1->setChecked(true);
    w.cmdOK->click();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("People"));
    EXPECT_TRUE(w.Text1->isVisible());
    EXPECT_TRUE(w.mnuPrint->isVisible());
    ListingColumns dates;
    dates.dates = true;
    EXPECT_EQ(w.text(), buildListing(ds, Side::people, 1800, 1920, dates));
    const Chart shownChart{w.Text1->lines(), ""};
    EXPECT_EQ(shownChart.text(), w.text());

    // A range with nothing in it: an empty report, still shown.
    w.OptEvents->setChecked(true);
    w.date1->setText(QStringLiteral("12000"));
    w.date1_LostFocus();
    w.cmdOK->click();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Events"));
    EXPECT_EQ(w.text(), "");
    EXPECT_TRUE(w.Text1->isVisible());

    // The resize rule, and nothing for a window too small for it.
    // Within the window's own area: the width less 60 twips, the height less 650 and the
    // options below.
    const double dpi = ui::logicalDpi(&w);
    w.resize(ui::twipsToPixels(9000, dpi), ui::twipsToPixels(7000, dpi));
    w.fitText(QRect(0, 0, 9000, 7000));
    EXPECT_EQ(w.Text1->pos(), QPoint(0, 0));
    EXPECT_EQ(w.Text1->width(), ui::twipsToPixels(9000 - 60, dpi));
    EXPECT_EQ(w.Text1->height(),
              ui::twipsToPixels(7000 - 650, dpi) - w.options->sizeHint().height());
    EXPECT_LE(w.Text1->geometry().bottom(), w.Text1->parentWidget()->height());
    w.copyReport();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown(w.text()));
    const QSize before = w.Text1->size();
    w.fitText(QRect(0, 0, 9000, 650));
    EXPECT_EQ(w.Text1->size(), before);
}

TEST_F(ReportWindowTest, ChoiceReportsOfferTheSelectedAndReportOnTheOneChosen) {
    Dataset& ds = state.dataset;
    ds.events[0].selected = 0; // hidden by a selection: not offered, entries shift
    for (const auto kind : {ChoiceReport::Kind::age, ChoiceReport::Kind::inMyLife}) {
        const bool age = kind == ChoiceReport::Kind::age;
        SCOPED_TRACE(age);
        ChoiceReport w(state, kind);
        w.show();
        EXPECT_EQ(w.windowTitle(),
                  age ? QStringLiteral("Age Report") : QStringLiteral("In My Life..."));
        EXPECT_EQ(w.Label1->text(),
                  age ? QStringLiteral("Choose an event") : QStringLiteral("Choose a person"));
        EXPECT_EQ(w.Combo1->placeholderText(), QStringLiteral("Combo1"));
        EXPECT_FALSE(w.mnuPrint->isVisible());
        EXPECT_FALSE(w.mnuExport->isVisible());
        const QStringList expected =
            age ? QStringList{QStringLiteral("1900 Treaty of a very long name indeed"),
                              QStringLiteral("-280 Ancient")}
                : QStringList{QStringLiteral("1850 Ann"), QStringLiteral("-300 Rex"),
                              QStringLiteral("12345 Five")};
        ASSERT_EQ(w.Combo1->count(), expected.size());
        for (int k = 0; k < expected.size(); ++k)
            EXPECT_EQ(w.Combo1->itemText(k), expected[k]);

        w.Combo1->setCurrentIndex(1);
        emit w.Combo1->activated(1);
        const int record = 2; // the Ancient event; Rex
        EXPECT_EQ(w.recordOf(1), record);
        EXPECT_EQ(w.Text1->toPlainText(),
                  shown(age ? ageReport(ds, record) : inMyLifeReport(ds, record)));
        EXPECT_TRUE(w.Label1->isHidden());
        EXPECT_TRUE(w.mnuPrint->isVisible());

        // Export saves the text in UTF-8, its line breaks as they are, offered beside the
        // dataset.
        ASSERT_TRUE(w.mnuExport->isVisible());
        ds.fileName = folder.file("rome.qd3");
        const std::string path = folder.file(age ? "age.txt" : "life.txt");
        dialogs.answerSave(QString::fromStdString(path));
        w.mnuExport->trigger();
        EXPECT_EQ(readBytes(path), toUtf8(w.text(), ds.encoding));
        EXPECT_EQ(dialogs.shown.back().title, QString::fromStdString(folder.file(
                                                  age ? "rome-age.txt" : "rome-in-my-life.txt")));

        const double dpi = ui::logicalDpi(&w);
        w.fitText(QRect(0, 0, 8000, 6000));
        EXPECT_EQ(w.Text1->size(), QSize(ui::twipsToPixels(8000 - (age ? 600 : 500), dpi),
                                         ui::twipsToPixels(6000 - (age ? 1650 : 1600), dpi)));
        w.fitText(QRect(0, 0, 8000, age ? 1650 : 1600));
        EXPECT_EQ(w.Text1->height(), ui::twipsToPixels(6000 - (age ? 1650 : 1600), dpi));
    }
}

TEST_F(ReportWindowTest, TheReportsMenuOpensTheThreeWindows) {
    ZemMain main(state);
    dialogs.answerOpen(QString::fromStdString(dataFile("golden/reports/input.qd3")));
    dialogs.acceptModal().acceptModal().acceptModal().acceptModal();
    testing_support::child<QAction>(main, "mnuopen")
        ->trigger(); // the statistics window is the first modal
    testing_support::child<QAction>(main, "mnuRptPeople")->trigger();
    testing_support::child<QAction>(main, "mnuAgeReport")->trigger();
    testing_support::child<QAction>(main, "munLife")->trigger();
    ASSERT_EQ(dialogs.shown.size(), 5u);
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("rpt1"));
    EXPECT_EQ(dialogs.shown[3].text, QStringLiteral("AgeReport"));
    EXPECT_EQ(dialogs.shown[4].text, QStringLiteral("inMyLife"));
}
