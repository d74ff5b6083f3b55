#include "app/zemmain.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"
#include "timeline/chart_export.h"
#include "timeline/chart_image.h"
#include "timeline/select_window.h"
#include "timeline/selection.h"
#include "timeline/stats_window.h"
#include "timeline/timeline_window.h"
#include "ui/geometry.h"

#include "support/dataset_builder.h"
#include "support/find_child.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

using namespace tess;
using namespace testing_support;

namespace {

class TimelineTest : public ::testing::Test {
protected:
    TimelineTest() : state(dialogs) {
        state.dataset = DatasetBuilder()
                            .category(kindFactions, "Red", 0x0000FF)
                            .category(kindFactions, "Green", 0x00FF00)
                            .category(kindOccupations, "Blue", 0xFF0000)
                            .category(kindNations, "N1", 0x00FFFF)
                            .category(kindNations, "N2", 0xFF00FF)
                            .category(kindGroups, "G1", 0x808080)
                            .person("Ann", 1850, 1870, 1, 1, 1)
                            .person("Bob", 1860, 1890, 2, 1, 5)
                            .person("Cy", 1880, 1930, 1, 1, 9)
                            .event("War", 1861, 1865, 1, 1, 2, 2)
                            .event("Fair", 1900, 1900, 1, 2, 0, 7)
                            .build();
        computeChartRange(state.dataset);
    }
    QPoint lineCentre(const TimelineWindow& w, int line, int column = 0) {
        return QPoint(column * w.rtbox1->charWidth() + 1, (line - 1) * w.rtbox1->lineHeight() + 2);
    }

    ScriptedDialogs dialogs;
    AppState state;
};

// The pixel colours of a painted chart row.
bool rowHasColour(ChartView& view, int row, const QColor& colour) {
    const QImage image = view.viewport()->grab().toImage();
    const int lh = view.lineHeight() * qRound(image.devicePixelRatio());
    for (int y = row * lh; y < (row + 1) * lh && y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == colour)
                return true;
    return false;
}

} // namespace

TEST_F(TimelineTest, CaptionsBackgroundsAndLineColoursFollowTheSettings) {
    state.settings.peopleBackColor = 0xE0FFFF; // light yellow
    TimelineWindow ptime(state, Side::people);
    ptime.show();
    EXPECT_EQ(ptime.objectName(), QStringLiteral("Ptime"));
    EXPECT_EQ(ptime.windowTitle(), QStringLiteral("People Timeline (colored by faction)"));
    EXPECT_EQ(ptime.rtbox1->backgroundColor(), QColor(0xFF, 0xFF, 0xE0));
    ASSERT_EQ(ptime.rtbox1->lineCount(), 3);
    EXPECT_EQ(ptime.rtbox1->lineColor(0), QColor(0xFF, 0, 0));
    EXPECT_EQ(ptime.rtbox1->lineColor(1), QColor(0, 0xFF, 0));
    EXPECT_TRUE(rowHasColour(*ptime.rtbox1, 0, QColor(0xFF, 0, 0)));
    EXPECT_TRUE(rowHasColour(*ptime.rtbox1, 1, QColor(0, 0xFF, 0)));
    EXPECT_FALSE(rowHasColour(*ptime.rtbox1, 0, QColor(0, 0xFF, 0)));
    EXPECT_EQ(ptime.rtbox1->toolTip(),
              QStringLiteral("Click on an item to bring up additional information"));

    state.settings.peopleColorBy = kindOccupations;
    ptime.Form_Load();
    EXPECT_EQ(ptime.windowTitle(), QStringLiteral("People Timeline (colored by occupation)"));
    EXPECT_EQ(ptime.rtbox1->lineColor(0), QColor(0, 0, 0xFF));
    EXPECT_TRUE(rowHasColour(*ptime.rtbox1, 0, QColor(0, 0, 0xFF)));

    TimelineWindow etime(state, Side::events);
    EXPECT_EQ(etime.windowTitle(), QStringLiteral("Events Timeline (colored by nation)"));
    EXPECT_EQ(etime.rtbox1->lineColor(0), QColor(0xFF, 0xFF, 0));
    EXPECT_EQ(etime.rtbox1->lineColor(1), QColor(0xFF, 0, 0xFF));
    state.settings.eventsColorBy = kindGroups;
    etime.Form_Load();
    EXPECT_EQ(etime.windowTitle(), QStringLiteral("Events Timeline (colored by group)"));
    EXPECT_EQ(etime.rtbox1->lineColor(1), QColor(0x80, 0x80, 0x80));

    // A category beyond its table is drawn in the box's text colour, not read out of bounds.
    state.dataset.people[0].faction = 40;
    state.settings.peopleColorBy = kindFactions;
    ptime.Form_Load();
    EXPECT_EQ(ptime.rtbox1->lineColor(0), ptime.rtbox1->palette().color(QPalette::Text));
}

TEST_F(TimelineTest, ClicksPickTheSelectedRecordsInOrder) {
    DatasetBuilder b;
    for (int i = 0; i < 9; ++i)
        b.person("P" + std::to_string(i), 1800 + 10 * i, 1850 + 10 * i);
    state.dataset = b.build();
    computeChartRange(state.dataset);
    for (auto& p : state.dataset.people)
        p.selected = 0;
    state.dataset.people[2].selected = state.dataset.people[5].selected =
        state.dataset.people[7].selected = boolTrue;

    TimelineWindow ptime(state, Side::people);
    ptime.show();
    QSignalSpy requested(&ptime, &TimelineWindow::entryRequested);
    const int expected[] = {2, 5, 7};
    for (int line = 1; line <= 3; ++line) {
        // The first column counts as much as the middle of the bar.
        for (int column : {0, 20}) {
            QTest::mouseClick(ptime.rtbox1->viewport(), Qt::LeftButton, {},
                              lineCentre(ptime, line, column));
            EXPECT_EQ(state.dataset.curPerson, expected[line - 1]) << line << " " << column;
        }
    }
    EXPECT_EQ(requested.count(), 6);
    EXPECT_TRUE(dialogs.shown.empty());

    // As in a text box, a click below the last line is on the last line.
    state.dataset.curPerson = 0;
    QTest::mouseClick(ptime.rtbox1->viewport(), Qt::LeftButton, {}, lineCentre(ptime, 6, 5));
    EXPECT_EQ(requested.count(), 7);
    EXPECT_EQ(state.dataset.curPerson, 7);

    // The chart and the dataset out of step: the not-found message with the click offset.
    const long long secondLineStart = ptime.rtbox1->lines()[0].width() + 2;
    state.dataset.people[5].selected = state.dataset.people[7].selected = 0;
    QTest::mouseClick(ptime.rtbox1->viewport(), Qt::LeftButton, {}, lineCentre(ptime, 2));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0],
              QStringLiteral("ERROR: no person found at ") + QString::number(secondLineStart));
    EXPECT_EQ(state.dataset.curPerson, 7);

    // An empty box (a Select that leaves nothing) is one empty line 1 with no entry on it.
    for (auto& e : state.dataset.events)
        e.selected = 0;
    TimelineWindow etime(state, Side::events);
    etime.show();
    ASSERT_EQ(etime.rtbox1->lineCount(), 0);
    QTest::mouseClick(etime.rtbox1->viewport(), Qt::LeftButton, {}, lineCentre(etime, 3, 7));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1], QStringLiteral("ERROR: no event found at 0"));
}

TEST_F(TimelineTest, UtfEightNamesKeepTheOneCharacterPerYearGrid) {
    // The same dates under a name of five accented letters and one of five plain ones: the
    // brackets stand in the same columns, and the clicks and pixels follow characters.
    Dataset& ds = state.dataset;
    ds = DatasetBuilder()
             .category(kindFactions, "F", 0x0000FF)
             .person("\xC3\x89\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 1850, 1870)
             .person("AAAAA", 1850, 1870)
             .person("\xE6\x9D\x8E\xE7\x99\xBD", 1850, 1870)
             .person("X", 1862, 1870)        // a longer lead
             .person("T\tb\x1B", 1850, 1870) // controls take one cell each
             .build();
    ds.encoding = TextEncoding::utf8;
    computeChartRange(ds);
    TimelineWindow ptime(state, Side::people);
    ptime.rtbox1->resize(60 * ptime.rtbox1->charWidth(), 8 * ptime.rtbox1->lineHeight());
    ptime.show();
    const auto& lines = ptime.rtbox1->lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].width(), lines[1].width());
    EXPECT_EQ(lines[0].slice(4, 20, ds.encoding),
              "1850 [-------\xC3\x89\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9--");
    EXPECT_EQ(lines[2].slice(18, 12, ds.encoding), "\xE6\x9D\x8E\xE7\x99\xBD---------]");

    // The closing bracket (column 30, the year 1870) and the end date are painted at the same
    // pixels on every row, whatever the row's lead and characters: the grid does not drift.
    // On a high-density screen (the suite runs this again at twice the scale) the chart is
    // painted at the screen's own resolution, not enlarged, and the grid holds there too.
    const QImage image = ptime.rtbox1->viewport()->grab().toImage();
    const int scale = qRound(image.devicePixelRatio());
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        EXPECT_EQ(scale, qEnvironmentVariableIntValue("QT_SCALE_FACTOR"));
    }
    if (scale == 2) {
        // A chart painted at the logical size and enlarged would repeat every column twice.
        bool pairs = true;
        for (int x = 0; x + 1 < image.width() && pairs; x += 2)
            for (int y = 0; y < image.height() && pairs; ++y)
                pairs = image.pixel(x, y) == image.pixel(x + 1, y);
        EXPECT_FALSE(pairs);
    }
    const int cw = ptime.rtbox1->charWidth() * scale;
    const int lh = ptime.rtbox1->lineHeight() * scale;
    auto ink = [&](int row) {
        std::vector<int> columns;
        for (int x = 27 * cw; x < 37 * cw; ++x)
            for (int y = row * lh; y < (row + 1) * lh; ++y)
                if (QColor(image.pixel(x, y)) != ptime.rtbox1->backgroundColor()) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    };
    ASSERT_FALSE(ink(1).empty());
    for (int row : {0, 2, 3, 4})
        EXPECT_EQ(ink(row), ink(1)) << row;
    // A click on the end date's last digit is the same offset into each line.
    const QPoint onDigit(35 * ptime.rtbox1->charWidth() + 1, ptime.rtbox1->lineHeight() / 2);
    const ChartView::Hit hit = ptime.rtbox1->hitAt(onDigit);
    EXPECT_EQ(hit.offset, 35);
    const ChartView::Hit second =
        ptime.rtbox1->hitAt(onDigit + QPoint(0, ptime.rtbox1->lineHeight()));
    EXPECT_EQ(second.offset, lines[0].width() + 2 + 35);
}

TEST_F(TimelineTest, SelectOkAndCancelShowTheCountsAndRebuild) {
    TimelineWindow ptime(state, Side::people);
    // Cancel: the counts as they were, and the same chart again.
    dialogs.answerModal([](QDialog& d) {
        static_cast<SelectWindow&>(d).Command1->click();
        return d.result();
    });
    ptime.mnuselect->trigger();
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("pselect"));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Select People"));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("3 of 3 selected"));
    EXPECT_EQ(ptime.rtbox1->lineCount(), 3);

    // OK with priority 5 and the occupation colouring: two people, a new caption.
    dialogs.answerModal([](QDialog& d) {
        auto& s = static_cast<SelectWindow&>(d);
        s.Text1->setText(QStringLiteral("5"));
        s.Option2->click();
        s.cmdOK->click();
        return s.result();
    });
    ptime.mnuselect_Click();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("2 of 3 selected"));
    EXPECT_EQ(ptime.rtbox1->lineCount(), 2);
    EXPECT_EQ(ptime.windowTitle(), QStringLiteral("People Timeline (colored by occupation)"));
    EXPECT_EQ(state.settings.peopleColorBy, kindOccupations);

    // "No Factions" then Cancel: the flags stay cleared, the next filter run selects nobody.
    dialogs.answerModal([](QDialog& d) {
        auto& s = static_cast<SelectWindow&>(d);
        s.cmdNo2->click();
        EXPECT_TRUE(s.List2->selectedItems().isEmpty());
        s.Command1->click();
        return s.result();
    });
    ptime.mnuselect_Click();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("2 of 3 selected"));
    applyPeopleSelection(state.dataset);
    EXPECT_EQ(state.dataset.numSelPeople, 0);
}

TEST_F(TimelineTest, SelectWindowFieldRulesAndRangeChanges) {
    Dataset& ds = state.dataset;
    SelectWindow select(state, Side::events);
    EXPECT_EQ(select.objectName(), QStringLiteral("eselect"));
    EXPECT_EQ(select.Option2->text(), QStringLiteral("Nation"));
    EXPECT_TRUE(select.Option2->isChecked());
    EXPECT_EQ(select.findChild<QPushButton*>(QStringLiteral("cmdallNations"))->text(),
              QStringLiteral("All Nations"));
    EXPECT_EQ(select.date1->text(), QStringLiteral("1840"));
    EXPECT_EQ(select.date2->text(), QStringLiteral("1940"));
    EXPECT_EQ(select.List2->count(), 2);
    EXPECT_EQ(select.List2->selectedItems().size(), 2);

    select.Text1->setText(QStringLiteral("0"));
    EXPECT_EQ(select.Text1->text(), QStringLiteral("1"));
    select.Text1->setText(QStringLiteral("12"));
    EXPECT_EQ(select.Text1->text(), QStringLiteral("9"));
    EXPECT_EQ(ds.selPriority, 9);
    select.Text1->setText(QString()); // emptied while typing: left alone
    EXPECT_EQ(ds.selPriority, 9);
    select.Text1->setText(QStringLiteral("7"));

    select.date1->setText(QStringLiteral("1860.5"));
    select.date1_LostFocus();
    EXPECT_EQ(select.date1->text(), QStringLiteral("1860"));
    select.date2->setText(QStringLiteral("1700"));
    select.date2_LostFocus();
    EXPECT_EQ(select.date2->text(), QStringLiteral("1860")); // raised to the first date
    select.date2->setText(QStringLiteral("1899"));
    select.date2_LostFocus();

    // A new range filters both halves and becomes the chart range, widened by 10.
    select.cmdOK->click();
    EXPECT_EQ(select.result(), QDialog::Accepted);
    EXPECT_EQ(ds.selStart, 1860);
    EXPECT_EQ(ds.selEnd, 1899);
    EXPECT_EQ(ds.earliestDate, 1850);
    EXPECT_EQ(ds.latestDate, 1909);
    EXPECT_EQ(ds.numSelEvents, 1); // the war; the fair is outside
    EXPECT_EQ(ds.numSelPeople, 1); // Bob alone lies wholly inside (Cy's priority 9 > 7)

    // OK with no edits keeps the range and filters only its own half.
    ds.people[0].selected = boolTrue; // stale on purpose: must stay as it is
    SelectWindow again(state, Side::events);
    again.cmdOK->click();
    EXPECT_EQ(ds.earliestDate, 1850);
    EXPECT_EQ(ds.latestDate, 1909);
    EXPECT_NE(ds.people[0].selected, 0);

    // Reset shows the range again and includes every category at once.
    ds.nations.include[1] = boolFalse;
    SelectWindow reset(state, Side::events);
    reset.date1->setText(QStringLiteral("0"));
    reset.cmdReset->click();
    EXPECT_EQ(reset.date1->text(), QStringLiteral("1850"));
    EXPECT_EQ(ds.nations.include[1], boolTrue);
    EXPECT_EQ(reset.List2->selectedItems().size(), 2);
}

TEST_F(TimelineTest, SelectListsCarryTheIncludeFlagsOfLargeTablesBothWays) {
    Dataset& ds = state.dataset;
    DatasetBuilder b;
    for (int k = 1; k <= 3000; ++k) {
        b.category(kindFactions, "F" + std::to_string(k), k);
        b.category(kindOccupations, "O" + std::to_string(k), k);
    }
    ds = b.build();
    for (int k = 1; k <= 3000; ++k)
        ds.factions.include[static_cast<size_t>(k)] = k % 3 == 0 ? boolFalse : boolTrue;
    ds.occupations.include[1] = boolFalse;
    const std::vector<int16_t> factions = ds.factions.include;

    SelectWindow select(state, Side::people);
    EXPECT_EQ(select.List2->selectedItems().size(), 2000);
    EXPECT_FALSE(select.List2->item(2)->isSelected());
    EXPECT_TRUE(select.List2->item(3)->isSelected());
    EXPECT_EQ(select.List1->selectedItems().size(), 2999);
    // One entry clicked off and one on; OK takes exactly those changes.
    QTest::mouseClick(select.List1->viewport(), Qt::LeftButton, {},
                      select.List1->visualItemRect(select.List1->item(0)).center());
    QTest::mouseClick(select.List1->viewport(), Qt::LeftButton, {},
                      select.List1->visualItemRect(select.List1->item(1)).center());
    select.cmdOK->click();
    EXPECT_EQ(ds.factions.include, factions);
    EXPECT_EQ(ds.occupations.include[1], boolTrue);
    EXPECT_EQ(ds.occupations.include[2], boolFalse);
    EXPECT_EQ(ds.occupations.include[3], boolTrue);
    ASSERT_EQ(dialogs.messages().size(), 0u);

    SelectWindow again(state, Side::people);
    again.cmdNo2->click();
    EXPECT_TRUE(again.List2->selectedItems().isEmpty());
    again.cmdAll1->click();
    again.cmdOK->click();
    EXPECT_EQ(std::count(ds.factions.include.begin(), ds.factions.include.end(), boolTrue), 0);
    EXPECT_EQ(std::count(ds.occupations.include.begin(), ds.occupations.include.end(), boolTrue),
              3000);
}

TEST_F(TimelineTest, ResizingKeepsTheSettingsRectangleAndTinyWindowsKeepTheBox) {
    TimelineWindow ptime(state, Side::people);
    ptime.show();
    const double dpi = ui::logicalDpi(&ptime);
    ptime.resize(ui::twipsToPixels(9000, dpi), ui::twipsToPixels(6000, dpi));
    ASSERT_TRUE(state.settings.peopleWindowRect);
    const QRect outer = ui::outerRectTwips(ptime);
    EXPECT_EQ(state.settings.peopleWindowRect->width, outer.width());
    EXPECT_EQ(state.settings.peopleWindowRect->height, outer.height());
    EXPECT_EQ(ptime.rtbox1->width(), ui::twipsToPixels(outer.width() - 60, dpi));

    const QSize box = ptime.rtbox1->size();
    const WindowRect kept = *state.settings.peopleWindowRect;
    ptime.applyResize(QRect(0, 0, 9000, 649));
    ptime.applyResize(QRect(0, 0, 60, 6000));
    EXPECT_EQ(ptime.rtbox1->size(), box);
    EXPECT_EQ(*state.settings.peopleWindowRect, kept);

    // The saved rectangle places the window at its next opening.
    state.settings.eventsWindowRect = WindowRect{1440, 2880, 7200, 4320};
    TimelineWindow etime(state, Side::events);
    EXPECT_EQ(etime.pos(), QPoint(ui::twipsToPixels(1440, dpi), ui::twipsToPixels(2880, dpi)));
}

TEST_F(TimelineTest, StatisticsWindowShowsTheLinesOfTheSelection) {
    // The counts of a selection read "2 of 3"; the lines are the ones the terminal prints.
    Dataset& ds = state.dataset;
    ds.fileName = "/data/history.qd3";
    ds.people[1].selected = 0;
    ds.numSelPeople = 2;
    ds.earliestDate = -54;
    StatsWindow some(ds);
    EXPECT_EQ(some.windowTitle(), QStringLiteral("Current Timeline Statistics"));
    std::vector<std::string> shown;
    for (const QLabel* l : {some.Label1, some.Label2, some.Label3, some.Label5, some.Label6,
                            some.Label7, some.Label8, some.Label4})
        shown.push_back(l->text().toStdString());
    EXPECT_EQ(shown, (std::vector<std::string>{"/data/history.qd3", "2 of 3 people", "2 events",
                                               "2 factions", "1 occupations", "1 groups",
                                               "2 nations", "Current date range -54 to  1940"}));
    some.Command1->click();
    EXPECT_EQ(some.result(), QDialog::Accepted);
}

TEST_F(TimelineTest, KeysMoveTheHighlightedLineAndEnterOpensItsEntry) {
    DatasetBuilder b;
    b.category(kindFactions, "Red", 0x0000FF);
    for (int i = 0; i < 60; ++i)
        b.person("P" + std::to_string(i), static_cast<int>(1800 + i), 1900);
    state.dataset = b.build();
    state.dataset.people[1].selected = 0; // line 2 is the third person
    --state.dataset.numSelPeople;
    computeChartRange(state.dataset);
    TimelineWindow w(state, Side::people);
    w.show();
    ChartView* v = w.rtbox1;
    const int rows = v->visibleRows();
    ASSERT_LT(rows, 40);
    EXPECT_EQ(v->currentLine(), -1);
    QSignalSpy requested(&w, &TimelineWindow::entryRequested);
    const struct {
        Qt::Key key;
        int line;
    } steps[] = {{Qt::Key_Down, 0},  {Qt::Key_Down, 1},           {Qt::Key_Up, 0},
                 {Qt::Key_Up, 0},    {Qt::Key_PageDown, rows},    {Qt::Key_End, 58},
                 {Qt::Key_Down, 58}, {Qt::Key_PageUp, 58 - rows}, {Qt::Key_Home, 0}};
    for (const auto& step : steps) {
        QTest::keyClick(v, step.key);
        EXPECT_EQ(v->currentLine(), step.line) << step.key;
        // The highlighted line is always in sight.
        EXPECT_GE(step.line, v->verticalScrollBar()->value());
        EXPECT_LT(step.line, v->verticalScrollBar()->value() + rows);
    }
    EXPECT_TRUE(rowHasColour(*v, 0, v->palette().color(QPalette::Highlight)));
    EXPECT_FALSE(rowHasColour(*v, 1, v->palette().color(QPalette::Highlight)));
    QTest::keyClick(v, Qt::Key_Down);
    QTest::keyClick(v, Qt::Key_Down);
    QTest::keyClick(v, Qt::Key_Return);
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(state.dataset.curPerson, 3);
    // A click moves the highlight to the clicked line.
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, lineCentre(w, 5));
    EXPECT_EQ(v->currentLine(), 4);
    EXPECT_EQ(state.dataset.curPerson, 5);
}

TEST_F(TimelineTest, TooltipsNameTheYearAndTheEntry) {
    state.dataset.events[0].name = "Civil War";
    TimelineWindow w(state, Side::events);
    w.show();
    ChartView* v = w.rtbox1;
    // The year under a bar's marks is the year they stand for.
    const struct {
        int line;
        char mark;
        QString tip;
    } rows[] = {{0, '[', QStringLiteral("1861 \u2014 Civil War 1861\u20131865")},
                {0, ']', QStringLiteral("1865 \u2014 Civil War 1861\u20131865")},
                {1, '*', QStringLiteral("1900 \u2014 Fair 1900")}};
    for (const auto& row : rows) {
        const std::string text = v->lines()[static_cast<size_t>(row.line)].text();
        const long long column = static_cast<long long>(text.find(row.mark));
        EXPECT_EQ(v->toolTipFor(row.line, column), row.tip) << row.mark;
    }
    const long long war = static_cast<long long>(v->lines()[0].text().find('['));
    QHelpEvent help(QEvent::ToolTip, QPoint(static_cast<int>(war) * v->charWidth() + 1, 2),
                    v->viewport()->mapToGlobal(QPoint(0, 0)));
    QCoreApplication::sendEvent(v->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), rows[0].tip);
    QToolTip::hideText();
    // A chart not yet drawn again after a change names what it shows.
    state.dataset.events[0] = state.dataset.events[1];
    EXPECT_EQ(v->toolTipFor(0, war), rows[0].tip);
}

TEST_F(TimelineTest, LinkedChartsScrollToTheSameYearsAndCtrlGFindsAYear) {
    // Wide enough to scroll: a person from the year 1000.
    state.dataset.people[0].date1 = 1000;
    computeChartRange(state.dataset);
    ZemMain main(state);
    main.mnudisplay_Click();
    auto* p = testing_support::topLevel<TimelineWindow>("Ptime");
    auto* e = testing_support::topLevel<TimelineWindow>("Etime");
    ASSERT_TRUE(p && e);
    // The events chart built after a Select widened the range: its left edge is 100 years
    // earlier, so the same years stand 100 columns further right.
    state.dataset.earliestDate -= 100;
    e->Form_Load();
    ASSERT_EQ(e->leftEdgeYear(), p->leftEdgeYear() - 100);
    auto leftYear = [](TimelineWindow* w) {
        return w->yearAtViewColumn(static_cast<long long>(w->rtbox1->leftColumn()));
    };
    EXPECT_TRUE(p->mnuLink->isChecked());
    p->rtbox1->scrollToColumn(300);
    EXPECT_EQ(leftYear(e), leftYear(p));
    e->rtbox1->scrollToColumn(250);
    EXPECT_EQ(leftYear(p), leftYear(e));

    // Ctrl+G: the year's column a quarter of the view from the left, in both charts. Bob's
    // first mark, 1860, stands there.
    QApplication::setActiveWindow(p);
    p->activateWindow();
    dialogs.answerInput(QStringLiteral("1860"));
    QTest::keyClick(p, Qt::Key_G, Qt::ControlModifier);
    ASSERT_EQ(dialogs.shown.back().title, QStringLiteral("Go to year"));
    const double quarter = p->rtbox1->viewport()->width() / 4.0 / p->rtbox1->charWidth();
    EXPECT_NEAR(p->rtbox1->leftColumn() + quarter,
                static_cast<double>(p->rtbox1->lines()[1].text().find('[')), 1.0);
    EXPECT_EQ(leftYear(e), leftYear(p));
    dialogs.answerInput(QStringLiteral("MCD"));
    p->goToYear();
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("\"MCD\" is not a year.")});

    // Unlinked in one window: both toggles go off, the setting with them, and each chart
    // scrolls alone.
    p->mnuLink->trigger();
    EXPECT_FALSE(e->mnuLink->isChecked());
    EXPECT_FALSE(state.settings.linkScrolling);
    const double eLeft = e->rtbox1->leftColumn();
    p->rtbox1->scrollToColumn(10);
    EXPECT_EQ(e->rtbox1->leftColumn(), eLeft);
    // Linked again: the other chart comes to this one's years at once.
    e->mnuLink->trigger();
    EXPECT_TRUE(p->mnuLink->isChecked());
    EXPECT_EQ(leftYear(p), leftYear(e));
}

TEST_F(TimelineTest, ExportWritesTheChartAsSvgHtmlAndPng) {
    TempDir folder;
    Dataset& ds = state.dataset;
    ds.encoding = TextEncoding::utf8;
    ds.people[0].name = "<Tom & \"Jerry\">\x07\xC3\xA9";
    state.settings.peopleBackColor = 0xE0FFFF;
    TimelineWindow w(state, Side::people);
    w.show();
    const std::vector<ChartLine>& lines = w.rtbox1->lines();
    ASSERT_EQ(lines.size(), 3u);
    auto exportTo = [&](const std::string& name, std::optional<bool> whole = std::nullopt) {
        dialogs.answerSave(QString::fromStdString(folder.file(name)));
        if (whole)
            dialogs.answerQuestion(*whole);
        w.mnuExport->trigger();
        return readBytes(folder.file(name));
    };
    // What each line's text must read: blanks and the name's control character as on screen.
    auto bodyOf = [&](const ChartLine& l) {
        QString t = QString::fromStdString(l.slice(l.lead, l.width() - l.lead, ds.encoding));
        return t.replace(QChar(7), QChar(0x2407));
    };

    QXmlStreamReader svg(QByteArray::fromStdString(exportTo("p.svg")));
    size_t texts = 0;
    QString background;
    while (!svg.atEnd()) {
        svg.readNext();
        if (svg.isStartElement() && svg.name() == QLatin1String("rect"))
            background = svg.attributes().value(QLatin1String("fill")).toString();
        if (!svg.isStartElement() || svg.name() != QLatin1String("text"))
            continue;
        ASSERT_LT(texts, lines.size());
        const ChartLine& l = lines[texts++];
        EXPECT_EQ(svg.attributes().value(QLatin1String("fill")).toString(),
                  QString::fromStdString(cssColor(l.color)));
        EXPECT_EQ(svg.attributes().value(QLatin1String("x")).toInt(), l.lead * svgCellWidth);
        EXPECT_EQ(svg.readElementText(), bodyOf(l));
    }
    EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
    EXPECT_EQ(texts, lines.size());
    EXPECT_EQ(background, QStringLiteral("#FFFFE0"));

    QXmlStreamReader html(QByteArray::fromStdString(exportTo("p.html")));
    std::map<QString, QString> classColors;
    size_t spans = 0;
    while (!html.atEnd()) {
        html.readNext();
        if (!html.isStartElement())
            continue;
        if (html.name() == QLatin1String("style")) {
            static const QRegularExpression rule(
                QStringLiteral("\\.(c\\d+) \\{ color: (#\\w+); \\}"));
            for (auto m = rule.globalMatch(html.readElementText()); m.hasNext();) {
                const QRegularExpressionMatch one = m.next();
                classColors[one.captured(1)] = one.captured(2);
            }
        } else if (html.name() == QLatin1String("span")) {
            ASSERT_LT(spans, lines.size());
            const ChartLine& l = lines[spans++];
            EXPECT_EQ(classColors[html.attributes().value(QLatin1String("class")).toString()],
                      QString::fromStdString(cssColor(l.color)));
            EXPECT_EQ(html.attributes().value(QLatin1String("style")).toString(),
                      QStringLiteral("margin-left: %1ch").arg(l.lead));
            EXPECT_EQ(html.readElementText(), bodyOf(l));
        }
    }
    EXPECT_FALSE(html.hasError()) << html.errorString().toStdString();
    EXPECT_EQ(spans, lines.size());

    // PNG: the whole chart, or (No) what is on screen.
    const QImage whole = QImage::fromData(QByteArray::fromStdString(exportTo("whole.png", true)));
    const PictureSize size = wholeChartPictureSize(lines);
    EXPECT_EQ(whole.width(), size.width);
    EXPECT_EQ(whole.height(), size.height);
    EXPECT_EQ(whole.pixelColor(0, 0), QColor(0xFF, 0xFF, 0xE0));
    const QImage screen =
        QImage::fromData(QByteArray::fromStdString(exportTo("screen.png", false)));
    EXPECT_EQ(screen.size(), w.rtbox1->viewport()->size() * w.rtbox1->devicePixelRatio());
    EXPECT_EQ(dialogs.shown.back().title, QStringLiteral("Export"));

    // Failures are told as a failed save is, and an unknown ending is explained.
    dialogs.answerSave(QStringLiteral("/no/such/folder/p.svg"));
    w.mnuExport->trigger();
    dialogs.answerSave(QString::fromStdString(folder.file("p.txt")));
    w.mnuExport->trigger();
    const std::vector<QString> m = dialogs.messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_TRUE(m[0].startsWith(QStringLiteral("Cannot save \"/no/such/folder/p.svg\"")));
    EXPECT_EQ(m[1], QStringLiteral("Name the file .svg, .html or .png: its ending says what to "
                                   "export."));
    EXPECT_FALSE(std::filesystem::exists(folder.file("p.txt")));
}
