#include "app/zemmain.h"
#include "core/qd3_file.h"
#include "timeline/chart_export.h"
#include "timeline/chart_image.h"
#include "timeline/select_window.h"
#include "timeline/selection.h"
#include "timeline/statistics.h"
#include "timeline/timeline_window.h"
#include "ui/geometry.h"

#include "support/gui_test.h"

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
    static ChartView* chart(const QObject& w) { return child<ChartView>(w, "rtbox1"); }
    static void click(const QObject& w, int line, int column = 0) {
        ChartView* v = chart(w);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {},
                          QPoint(column * v->charWidth() + 1, (line - 1) * v->lineHeight() + 2));
    }
    static void leave(QLineEdit* box, const QString& text) {
        box->setText(text);
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(box, &out);
    }

    ScriptedDialogs dialogs;
    AppState state;
};

// Whether a painted chart row shows a colour.
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
    state.settings.peopleBackColor = 0xE0FFFF;
    state.settings.eventsBackColor = 0xFFE0E0;
    const QColor red(0xFF, 0, 0), green(0, 0xFF, 0), blue(0, 0, 0xFF), yellow(0xFF, 0xFF, 0),
        grey(0x80, 0x80, 0x80);
    const struct {
        Side side;
        int16_t colorBy;
        const char* caption;
        int row;
        QColor shown, notShown;
    } rows[] = {
        {Side::people, kindFactions, "People Timeline (colored by faction)", 1, green, blue},
        {Side::people, kindOccupations, "People Timeline (colored by occupation)", 0, blue, red},
        {Side::events, kindNations, "Events Timeline (colored by nation)", 0, yellow, grey},
        {Side::events, kindGroups, "Events Timeline (colored by group)", 0, grey, yellow},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.caption);
        const bool people = r.side == Side::people;
        (people ? state.settings.peopleColorBy : state.settings.eventsColorBy) = r.colorBy;
        TimelineWindow w(state, r.side);
        w.show();
        EXPECT_EQ(w.windowTitle(), QString::fromLatin1(r.caption));
        EXPECT_TRUE(rowHasColour(*chart(w), r.row, r.shown));
        EXPECT_FALSE(rowHasColour(*chart(w), r.row, r.notShown));
        const QImage image = chart(w)->viewport()->grab().toImage();
        EXPECT_EQ(QColor(image.pixel(image.width() - 1, image.height() - 1)),
                  people ? QColor(0xFF, 0xFF, 0xE0) : QColor(0xE0, 0xE0, 0xFF));
    }
    // A category beyond its table is drawn in the box's text colour, not read out of bounds.
    state.dataset.people[0].faction = 40;
    state.settings.peopleColorBy = kindFactions;
    TimelineWindow w(state, Side::people);
    w.show();
    EXPECT_TRUE(rowHasColour(*chart(w), 0, chart(w)->palette().color(QPalette::Text)));
    EXPECT_FALSE(rowHasColour(*chart(w), 0, red));
}

TEST_F(TimelineTest, ClicksPickTheSelectedRecordsInOrder) {
    state.dataset.people[1].selected = 0; // Ann and Cy on the chart
    TimelineWindow ptime(state, Side::people);
    ptime.show();
    QSignalSpy requested(&ptime, &TimelineWindow::entryRequested);
    // The first column counts as much as the middle of the bar; below the last line is on it.
    const struct {
        int line, column, person;
    } clicks[] = {{2, 0, 2}, {1, 20, 0}, {2, 20, 2}, {1, 0, 0}, {5, 5, 2}};
    for (const auto& c : clicks) {
        click(ptime, c.line, c.column);
        EXPECT_EQ(state.dataset.curPerson, c.person) << c.line << " " << c.column;
    }
    EXPECT_EQ(requested.count(), 5);

    // The chart and the dataset out of step: the not-found message with the click offset.
    const long long secondLineStart = chart(ptime)->lines()[0].width() + 2;
    state.dataset.people[2].selected = 0;
    click(ptime, 2);
    // An empty box (a Select that leaves nothing) is one empty line 1 with no entry on it.
    for (auto& e : state.dataset.events)
        e.selected = 0;
    TimelineWindow etime(state, Side::events);
    etime.show();
    click(etime, 3, 7);
    EXPECT_EQ(dialogs.messages(),
              (std::vector<QString>{QStringLiteral("ERROR: no person found at ") +
                                        QString::number(secondLineStart),
                                    QStringLiteral("ERROR: no event found at 0")}));
    EXPECT_EQ(state.dataset.curPerson, 2);
    EXPECT_EQ(requested.count(), 5);
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
    ChartView* v = chart(ptime);
    v->resize(60 * v->charWidth(), 8 * v->lineHeight());
    ptime.show();

    // The closing bracket (column 30, the year 1870) and the end date are painted at the same
    // pixels on every row, whatever the row's lead and characters: the grid does not drift.
    // On a high-density screen (the suite runs this again at twice the scale) the chart is
    // painted at the screen's own resolution, not enlarged, and the grid holds there too.
    const QImage image = v->viewport()->grab().toImage();
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
    const int cw = v->charWidth() * scale;
    const int lh = v->lineHeight() * scale;
    auto ink = [&](int row) {
        std::vector<int> columns;
        for (int x = 27 * cw; x < 37 * cw; ++x)
            for (int y = row * lh; y < (row + 1) * lh; ++y)
                if (QColor(image.pixel(x, y)) != v->backgroundColor()) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    };
    ASSERT_FALSE(ink(1).empty());
    for (int row : {0, 2, 3, 4})
        EXPECT_EQ(ink(row), ink(1)) << row;
    // A click on the end date's last digit is the same offset into each line.
    const QPoint onDigit(35 * v->charWidth() + 1, v->lineHeight() / 2);
    EXPECT_EQ(v->hitAt(onDigit).offset, 35);
    EXPECT_EQ(v->hitAt(onDigit + QPoint(0, v->lineHeight())).offset,
              v->lines()[0].width() + 2 + 35);
}

TEST_F(TimelineTest, SelectOkAndCancelShowTheCountsAndRebuild) {
    TimelineWindow ptime(state, Side::people);
    auto press = [](const char* button) {
        return [button](QDialog& d) {
            child<QPushButton>(d, button)->click();
            return d.result();
        };
    };
    // Cancel: the counts as they were, and the same chart again.
    dialogs.answerModal(press("Command1"));
    child<QAction>(ptime, "mnuselect")->trigger();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("3 of 3 selected"));
    EXPECT_EQ(chart(ptime)->lineCount(), 3);

    // OK with priority 5 and the occupation colouring: two people, a new caption.
    dialogs.answerModal([&](QDialog& d) {
        child<QLineEdit>(d, "Text1")->setText(QStringLiteral("5"));
        child<QRadioButton>(d, "Option2")->click();
        return press("cmdOK")(d);
    });
    child<QAction>(ptime, "mnuselect")->trigger();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("2 of 3 selected"));
    EXPECT_EQ(chart(ptime)->lineCount(), 2);
    EXPECT_EQ(ptime.windowTitle(), QStringLiteral("People Timeline (colored by occupation)"));

    // "No Factions" then Cancel: the flags stay cleared, the next filter run selects nobody.
    dialogs.answerModal([&](QDialog& d) {
        child<QPushButton>(d, "cmdNoFactions")->click();
        EXPECT_TRUE(child<QListWidget>(d, "List2")->selectedItems().isEmpty());
        return press("Command1")(d);
    });
    child<QAction>(ptime, "mnuselect")->trigger();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("2 of 3 selected"));
    applyPeopleSelection(state.dataset);
    EXPECT_EQ(state.dataset.numSelPeople, 0);
}

TEST_F(TimelineTest, SelectWindowFieldRulesAndRangeChanges) {
    Dataset& ds = state.dataset;
    SelectWindow select(state, Side::events);
    auto box = [](const QObject& w, const char* name) { return child<QLineEdit>(w, name); };
    EXPECT_TRUE(child<QRadioButton>(select, "Option2")->isChecked()); // coloured by nation
    EXPECT_EQ(box(select, "date1")->text(), QStringLiteral("1840"));
    EXPECT_EQ(box(select, "date2")->text(), QStringLiteral("1940"));
    EXPECT_EQ(child<QListWidget>(select, "List2")->selectedItems().size(), 2);

    // Each box keeps to its rule as it is typed in or left.
    box(select, "Text1")->setText(QStringLiteral("12"));
    EXPECT_EQ(box(select, "Text1")->text(), QStringLiteral("9"));
    box(select, "Text1")->setText(QString()); // emptied while typing: left alone
    EXPECT_EQ(ds.selPriority, 9);
    box(select, "Text1")->setText(QStringLiteral("7"));
    leave(box(select, "date1"), QStringLiteral("1860.5"));
    EXPECT_EQ(box(select, "date1")->text(), QStringLiteral("1860"));
    leave(box(select, "date2"), QStringLiteral("1700"));
    EXPECT_EQ(box(select, "date2")->text(), QStringLiteral("1860")); // raised to the first date
    box(select, "date2")->setText(QStringLiteral("1899"));

    // A new range filters both halves and becomes the chart range, widened by 10.
    child<QPushButton>(select, "cmdOK")->click();
    EXPECT_EQ(select.result(), QDialog::Accepted);
    EXPECT_EQ(std::pair(ds.earliestDate, ds.latestDate), std::pair(1850, 1909));
    EXPECT_EQ(ds.numSelEvents, 1); // the war; the fair is outside
    EXPECT_EQ(ds.numSelPeople, 1); // Bob alone lies wholly inside (Cy's priority 9 > 7)

    // OK with no edits keeps the range and filters only its own half.
    ds.people[0].selected = boolTrue; // stale on purpose: must stay as it is
    SelectWindow again(state, Side::events);
    child<QPushButton>(again, "cmdOK")->click();
    EXPECT_EQ(std::pair(ds.earliestDate, ds.latestDate), std::pair(1850, 1909));
    EXPECT_NE(ds.people[0].selected, 0);

    // Reset shows the range again and includes every category at once.
    ds.nations.include[1] = boolFalse;
    SelectWindow reset(state, Side::events);
    box(reset, "date1")->setText(QStringLiteral("0"));
    child<QPushButton>(reset, "cmdReset")->click();
    EXPECT_EQ(box(reset, "date1")->text(), QStringLiteral("1850"));
    EXPECT_EQ(ds.nations.include[1], boolTrue);
    EXPECT_EQ(child<QListWidget>(reset, "List2")->selectedItems().size(), 2);
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
    auto* factionList = child<QListWidget>(select, "List2");
    auto* occupationList = child<QListWidget>(select, "List1");
    EXPECT_EQ(factionList->selectedItems().size(), 2000);
    EXPECT_FALSE(factionList->item(2)->isSelected());
    EXPECT_EQ(occupationList->selectedItems().size(), 2999);
    // One entry clicked off and one on; OK takes exactly those changes.
    for (int row : {0, 1})
        QTest::mouseClick(occupationList->viewport(), Qt::LeftButton, {},
                          occupationList->visualItemRect(occupationList->item(row)).center());
    child<QPushButton>(select, "cmdOK")->click();
    EXPECT_EQ(ds.factions.include, factions);
    EXPECT_EQ(ds.occupations.include[1], boolTrue);
    EXPECT_EQ(ds.occupations.include[2], boolFalse);
    EXPECT_EQ(ds.occupations.include[3], boolTrue);

    SelectWindow again(state, Side::people);
    child<QPushButton>(again, "cmdNoFactions")->click();
    child<QPushButton>(again, "cmdallocc")->click();
    child<QPushButton>(again, "cmdOK")->click();
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
    EXPECT_EQ(chart(ptime)->width(), ui::twipsToPixels(outer.width() - 60, dpi));

    const QSize box = chart(ptime)->size();
    const WindowRect kept = *state.settings.peopleWindowRect;
    ptime.applyResize(QRect(0, 0, 9000, 649));
    ptime.applyResize(QRect(0, 0, 60, 6000));
    EXPECT_EQ(chart(ptime)->size(), box);
    EXPECT_EQ(*state.settings.peopleWindowRect, kept);

    // The saved rectangle places the window at its next opening.
    state.settings.eventsWindowRect = WindowRect{1440, 2880, 7200, 4320};
    TimelineWindow etime(state, Side::events);
    EXPECT_EQ(etime.pos(), QPoint(ui::twipsToPixels(1440, dpi), ui::twipsToPixels(2880, dpi)));
}

TEST_F(TimelineTest, StatsShowsTheLinesOfTheSelection) {
    state.dataset.fileName = "/data/history.qd3";
    state.dataset.people[1].selected = 0;
    state.dataset.numSelPeople = 2;
    TimelineWindow ptime(state, Side::people);
    std::vector<std::string> shown;
    dialogs.answerModal([&shown](QDialog& d) {
        for (const char* name :
             {"Label1", "Label2", "Label3", "Label5", "Label6", "Label7", "Label8", "Label4"})
            shown.push_back(child<QLabel>(d, name)->text().toStdString());
        child<QPushButton>(d, "Command1")->click();
        return d.result();
    });
    child<QAction>(ptime, "mnuStats")->trigger();
    EXPECT_EQ(shown, statisticsLines(state.dataset).all());
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
    ChartView* v = chart(w);
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
    click(w, 5);
    EXPECT_EQ(v->currentLine(), 4);
    EXPECT_EQ(state.dataset.curPerson, 5);
}

TEST_F(TimelineTest, TooltipsNameTheYearAndTheEntry) {
    state.dataset.events[0].name = "Civil War";
    TimelineWindow w(state, Side::events);
    w.show();
    ChartView* v = chart(w);
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
    ChartView *pc = chart(*p), *ec = chart(*e);
    QAction *pLink = child<QAction>(*p, "mnuLink"), *eLink = child<QAction>(*e, "mnuLink");
    // The events chart built after a Select widened the range: its left edge is 100 years
    // earlier, so the same years stand 100 columns further right.
    state.dataset.earliestDate -= 100;
    e->Form_Load();
    ASSERT_EQ(e->leftEdgeYear(), p->leftEdgeYear() - 100);
    auto leftYear = [](TimelineWindow* w) {
        return w->yearAtViewColumn(static_cast<long long>(chart(*w)->leftColumn()));
    };
    EXPECT_TRUE(pLink->isChecked());
    pc->scrollToColumn(300);
    EXPECT_EQ(leftYear(e), leftYear(p));

    // Ctrl+G: the year's column a quarter of the view from the left, in both charts. Bob's
    // first mark, 1860, stands there.
    QApplication::setActiveWindow(p);
    p->activateWindow();
    dialogs.answerInput(QStringLiteral("1860"));
    QTest::keyClick(p, Qt::Key_G, Qt::ControlModifier);
    const double quarter = pc->viewport()->width() / 4.0 / pc->charWidth();
    EXPECT_NEAR(pc->leftColumn() + quarter, static_cast<double>(pc->lines()[1].text().find('[')),
                1.0);
    EXPECT_EQ(leftYear(e), leftYear(p));
    dialogs.answerInput(QStringLiteral("MCD"));
    p->goToYear();
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("\"MCD\" is not a year.")});

    // Unlinked in one window: both toggles go off, the setting with them, and each chart
    // scrolls alone.
    pLink->trigger();
    EXPECT_FALSE(eLink->isChecked());
    EXPECT_FALSE(state.settings.linkScrolling);
    const double eLeft = ec->leftColumn();
    pc->scrollToColumn(10);
    EXPECT_EQ(ec->leftColumn(), eLeft);
    // Linked again: the other chart comes to this one's years at once.
    eLink->trigger();
    EXPECT_TRUE(pLink->isChecked());
    EXPECT_EQ(leftYear(p), leftYear(e));
}

TEST_F(TimelineTest, ExportWritesTheChartTheFileEndingNames) {
    TempDir folder;
    state.dataset.encoding = TextEncoding::utf8;
    state.settings.peopleBackColor = 0xE0FFFF;
    TimelineWindow w(state, Side::people);
    w.show();
    const std::vector<ChartLine>& lines = chart(w)->lines();
    const std::string title = w.windowTitle().toStdString();
    auto exportTo = [&](const std::string& name, std::optional<bool> whole = std::nullopt) {
        dialogs.answerSave(QString::fromStdString(folder.file(name)));
        if (whole)
            dialogs.answerQuestion(*whole);
        child<QAction>(w, "mnuExport")->trigger();
        return std::filesystem::exists(folder.file(name)) ? readBytes(folder.file(name)) : "";
    };
    EXPECT_EQ(exportTo("p.svg"), chartSvg(lines, state.dataset.encoding, 0xE0FFFF, title));
    EXPECT_EQ(exportTo("p.html"), chartHtml(lines, state.dataset.encoding, 0xE0FFFF, title));
    // PNG: the whole chart, or (No) what is on screen.
    const QImage whole = QImage::fromData(QByteArray::fromStdString(exportTo("whole.png", true)));
    const PictureSize size = wholeChartPictureSize(lines);
    EXPECT_EQ(whole.size(), QSize(static_cast<int>(size.width), static_cast<int>(size.height)));
    EXPECT_EQ(whole.pixelColor(0, 0), QColor(0xFF, 0xFF, 0xE0));
    const QImage screen =
        QImage::fromData(QByteArray::fromStdString(exportTo("screen.png", false)));
    EXPECT_EQ(screen.size(), chart(w)->viewport()->size() * chart(w)->devicePixelRatio());

    // Failures are told as a failed save is, and an unknown ending is explained.
    dialogs.answerSave(QStringLiteral("/no/such/folder/p.svg"));
    child<QAction>(w, "mnuExport")->trigger();
    EXPECT_EQ(exportTo("p.txt"), "");
    const std::vector<QString> m = dialogs.messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_TRUE(m[0].startsWith(QStringLiteral("Cannot save \"/no/such/folder/p.svg\"")));
    EXPECT_EQ(m[1], QStringLiteral("Name the file .svg, .html or .png: its ending says what to "
                                   "export."));
}
