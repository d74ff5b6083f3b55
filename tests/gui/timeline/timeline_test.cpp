#include "app/zemmain.h"
#include "core/qd3_file.h"
#include "timeline/chart_export.h"
#include "timeline/chart_image.h"
#include "timeline/select_window.h"
#include "timeline/selection.h"
#include "timeline/statistics.h"
#include "timeline/timeline_window.h"
#include "ui/geometry.h"
#include "ui/year_ruler.h"

#include <QDockWidget>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QXmlStreamReader>

#include "support/gui_test.h"

namespace {

class TimelineTest : public ::testing::Test {
protected:
    // The main window keeps its choices in the program folder: a folder of the test's own.
    TimelineTest() : state(dialogs, programFolder.path().string()) {
        DatasetBuilder b;
        b.category(kindFactions, "Red", 0x0000FF).category(kindFactions, "Green", 0x00FF00);
        b.category(kindOccupations, "Blue", 0xFF0000).category(kindGroups, "G1", 0x808080);
        b.category(kindNations, "N1", 0x00FFFF).category(kindNations, "N2", 0xFF00FF);
        b.person("Ann", 1850, 1870, 1, 1, 1).person("Bob", 1860, 1890, 2, 1, 5);
        b.person("Cy", 1880, 1930, 1, 1, 9).event("War", 1861, 1865, 1, 1, 2, 2);
        state.dataset = b.event("Fair", 1900, 1900, 1, 2, 0, 7).build();
        computeChartRange(state.dataset);
        // The charts keep the whole width of the small test windows.
        for (Side side : {Side::people, Side::events})
            state.choices.setLegendShown(side, false);
    }
    static ChartView* chart(const QObject& w) { return child<ChartView>(w, "rtbox1"); }
    // A click in a column of the chart as built, the view scrolled to its left edge.
    static void click(const QObject& w, int line, int column = 0) {
        ChartView* v = chart(w);
        v->scrollToColumn(0);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {},
                          QPoint(column * v->charWidth() + 1, (line - 1) * v->lineHeight() + 2));
    }
    static void leave(QLineEdit* box, const QString& text) {
        box->setText(text);
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(box, &out);
    }

    TempDir programFolder;
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
    const QColor green(0, 0xFF, 0), blue(0, 0, 0xFF), yellow(0xFF, 0xFF, 0), grey(0x80, 0x80, 0x80);
    // Each side in one colouring: its caption, its background, a row in the category's colour.
    const std::tuple<Side, int16_t, const char*, int, QColor, QColor> rows[] = {
        {Side::people, kindFactions, "People Timeline (colored by faction)", 1, green, blue},
        {Side::events, kindGroups, "Events Timeline (colored by group)", 0, grey, yellow}};
    for (const auto& [side, colorBy, caption, row, shown, notShown] : rows) {
        const bool people = side == Side::people;
        (people ? state.settings.peopleColorBy : state.settings.eventsColorBy) = colorBy;
        TimelineWindow w(state, side);
        w.show();
        EXPECT_EQ(w.windowTitle(), QString::fromLatin1(caption));
        EXPECT_TRUE(rowHasColour(*chart(w), row, shown));
        EXPECT_FALSE(rowHasColour(*chart(w), row, notShown));
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
}

TEST_F(TimelineTest, ClicksPickTheSelectedRecordsInOrder) {
    state.dataset.people[1].selected = 0; // Ann and Cy on the chart
    TimelineWindow ptime(state, Side::people);
    ptime.show();
    QSignalSpy requested(&ptime, &TimelineWindow::entryRequested);
    // The first column counts as much as the middle of the bar; below the last line is on it.
    const struct { int line, column, person; } clicks[] = {{1, 20, 0}, {2, 0, 2}, {5, 5, 2}};
    for (const auto& c : clicks) {
        click(ptime, c.line, c.column);
        EXPECT_EQ(state.dataset.curPerson, c.person) << c.line << " " << c.column;
    }

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
    EXPECT_EQ(requested.count(), 3); // the three picked, none for the lines not found
}

TEST_F(TimelineTest, UtfEightNamesKeepTheOneCharacterPerYearGrid) {
    // The same dates under a name of five accented letters and one of five plain ones: the
    // brackets stand in the same columns, and the clicks and pixels follow characters.
    Dataset& ds = state.dataset;
    DatasetBuilder b;
    b.category(kindFactions, "F", 0x0000FF);
    b.person("\xC3\x89\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 1850, 1870).person("AAAAA", 1850, 1870);
    b.person("\xE6\x9D\x8E\xE7\x99\xBD", 1850, 1870).person("X", 1862, 1870); // a longer lead
    ds = b.person("T\tb\x1B", 1850, 1870).build(); // controls take one cell each
    ds.encoding = TextEncoding::utf8;
    computeChartRange(ds);
    TimelineWindow ptime(state, Side::people);
    ChartView* v = chart(ptime);
    ptime.show();
    ptime.resize(70 * v->charWidth(), 8 * v->lineHeight() + 150);
    v->scrollToColumn(0);

    // The closing bracket (column 30, the year 1870) and the end date are painted at the same
    // pixels on every row, whatever the row's lead and characters: the grid does not drift.
    // On a high-density screen (the suite runs this again at twice the scale) the chart is
    // painted at the screen's own resolution, not enlarged, and the grid holds there too.
    const QImage image = v->viewport()->grab().toImage();
    const int scale = qRound(image.devicePixelRatio());
    EXPECT_EQ(scale, std::max(1, qEnvironmentVariableIntValue("QT_SCALE_FACTOR")));
    if (scale == 2) {
        // A chart painted at the logical size and enlarged would repeat every column twice.
        bool pairs = true;
        for (int x = 0; x + 1 < image.width() && pairs; x += 2)
            for (int y = 0; y < image.height() && pairs; ++y)
                pairs = image.pixel(x, y) == image.pixel(x + 1, y);
        EXPECT_FALSE(pairs);
    }
    const int cw = v->charWidth() * scale, lh = v->lineHeight() * scale;
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
    EXPECT_EQ(v->hitAt(onDigit + QPoint(0, v->lineHeight())).offset,
              v->lines()[0].width() + 2 + 35);
}

TEST_F(TimelineTest, SelectKeepsItsBoxesToTheirRulesAndRebuildsTheChart) {
    Dataset& ds = state.dataset;
    ZemMain main(state);
    main.mnudisplay_Click();
    TimelineWindow& ptime = *topLevel<TimelineWindow>("Ptime");
    TimelineWindow& etime = *topLevel<TimelineWindow>("Etime");
    // Each box keeps to its rule as it is typed in or left; OK with a new range filters both
    // halves, which becomes the chart range widened by 10, and the chart is drawn again in the
    // colouring chosen.
    dialogs.answerModal([](QDialog& d) {
        auto box = [&d](const char* name) { return child<QLineEdit>(d, name); };
        box("Text1")->setText(QStringLiteral("12"));
        EXPECT_EQ(box("Text1")->text(), QStringLiteral("9"));
        leave(box("date1"), QStringLiteral("1860.5"));
        EXPECT_EQ(box("date1")->text(), QStringLiteral("1860"));
        leave(box("date2"), QStringLiteral("1700"));
        EXPECT_EQ(box("date2")->text(), QStringLiteral("1860")); // raised to the first date
        box("date2")->setText(QStringLiteral("1899"));
        child<QRadioButton>(d, "Option2")->click();
        child<QPushButton>(d, "cmdOK")->click();
        return d.result();
    });
    child<QAction>(ptime, "mnuselect")->trigger();
    EXPECT_EQ(std::pair(ds.earliestDate, ds.latestDate), std::pair(1850, 1909));
    // The war alone of the events, and Bob alone of the people, lie wholly inside.
    EXPECT_EQ(ds.numSelEvents, 1);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("1 of 3 selected"));
    EXPECT_EQ(chart(ptime)->lineCount(), 1);
    EXPECT_EQ(ptime.windowTitle(), QStringLiteral("People Timeline (colored by occupation)"));
    // The events chart is drawn again too: a click on it finds what it shows.
    EXPECT_EQ(chart(etime)->lineCount(), 1);
    // Signed years chosen in one window are the other's too.
    child<QAction>(ptime, "mnuSignedYears")->trigger();
    EXPECT_TRUE(child<QAction>(etime, "mnuSignedYears")->isChecked());
    EXPECT_EQ(child<YearRuler>(etime, "ruler")->view().style, YearStyle::signedNumbers);

    // Reset shows the range again and includes every category at once.
    ds.occupations.include[1] = boolFalse;
    SelectWindow reset(state, Side::people);
    child<QPushButton>(reset, "cmdReset")->click();
    EXPECT_EQ(child<QLineEdit>(reset, "date1")->text(), QStringLiteral("1850"));
    EXPECT_EQ(ds.occupations.include[1], boolTrue);

    // Stats shows the lines of the selection.
    std::vector<std::string> shown;
    dialogs.answerModal([&shown](QDialog& d) {
        for (const char* name :
             {"Label1", "Label2", "Label3", "Label5", "Label6", "Label7", "Label8", "Label4"})
            shown.push_back(child<QLabel>(d, name)->text().toStdString());
        return int(QDialog::Accepted);
    });
    child<QAction>(ptime, "mnuStats")->trigger();
    EXPECT_EQ(shown, statisticsLines(ds).all());
}

TEST_F(TimelineTest, SelectListsCarryTheIncludeFlagsOfLargeTablesBothWays) {
    DatasetBuilder b;
    for (int k = 1; k <= 3000; ++k)
        b.category(kindFactions, "F" + std::to_string(k), k);
    Dataset& ds = state.dataset = b.build();
    for (size_t k = 1; k <= 3000; ++k)
        ds.factions.include[k] = k % 3 == 0 ? boolFalse : boolTrue;
    std::vector<int16_t> factions = ds.factions.include;
    SelectWindow select(state, Side::people);
    auto* list = child<QListWidget>(select, "List2");
    // One entry clicked off and one on; OK takes exactly those changes.
    for (int row : {0, 2})
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    child<QPushButton>(select, "cmdOK")->click();
    factions[1] = boolFalse;
    factions[3] = boolTrue;
    EXPECT_EQ(ds.factions.include, factions);
}

TEST_F(TimelineTest, ResizingKeepsTheSettingsRectangleAndTinyWindowsKeepTheBox) {
    TimelineWindow ptime(state, Side::people);
    ptime.show();
    const double dpi = ui::logicalDpi(&ptime);
    ptime.resize(ui::twipsToPixels(9000, dpi), ui::twipsToPixels(6000, dpi));
    ASSERT_TRUE(state.settings.peopleWindowRect);
    EXPECT_EQ(state.settings.peopleWindowRect->width, ui::outerRectTwips(ptime).width());
    EXPECT_EQ(chart(ptime)->width(),
              ui::twipsToPixels(state.settings.peopleWindowRect->width - 60, dpi));
    const QSize box = chart(ptime)->size();
    ptime.applyResize(QRect(0, 0, 9000, 649));
    EXPECT_EQ(chart(ptime)->size(), box);
}

TEST_F(TimelineTest, KeysMoveTheHighlightedLineAndEnterOpensItsEntry) {
    DatasetBuilder b;
    for (int i = 0; i < 60; ++i)
        b.person("P" + std::to_string(i), 1800 + i, 1900);
    state.dataset = b.build();
    computeChartRange(state.dataset);
    TimelineWindow w(state, Side::people);
    w.show();
    ChartView* v = chart(w);
    const int rows = v->visibleRows();
    QSignalSpy requested(&w, &TimelineWindow::entryRequested);
    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_Down, 0}, {Qt::Key_End, 59}, {Qt::Key_PageUp, 59 - rows}, {Qt::Key_Home, 0}};
    for (const auto& [key, line] : steps) {
        QTest::keyClick(v, key);
        EXPECT_EQ(v->currentLine(), line) << key;
        // The highlighted line is always in sight.
        EXPECT_GE(line, v->verticalScrollBar()->value());
        EXPECT_LT(line, v->verticalScrollBar()->value() + rows);
    }
    QTest::keyClick(v, Qt::Key_Down);
    EXPECT_TRUE(rowHasColour(*v, 1, v->palette().color(QPalette::Highlight)));
    QTest::keyClick(v, Qt::Key_Return);
    EXPECT_EQ((std::pair<int, int>(requested.count(), state.dataset.curPerson)), std::pair(1, 1));
}

TEST_F(TimelineTest, TooltipsNameTheYearAndTheEntry) {
    TimelineWindow w(state, Side::events);
    w.show();
    ChartView* v = chart(w);
    v->scrollToColumn(0);
    // The year under a bar's mark is the year it stands for.
    const long long end = static_cast<long long>(v->lines()[0].text().find(']'));
    QHelpEvent help(QEvent::ToolTip, QPoint(static_cast<int>(end) * v->charWidth() + 1, 2),
                    v->viewport()->mapToGlobal(QPoint(0, 0)));
    QCoreApplication::sendEvent(v->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("1865 \u2014 War 1861 \u2013 1865"));
    QToolTip::hideText();
}

TEST_F(TimelineTest, LinkedChartsScrollToTheSameYearsAndCtrlGFindsAYear) {
    // Wide enough to scroll: a person from the year 1000.
    state.dataset.people[0].date1 = 1000;
    computeChartRange(state.dataset);
    ZemMain main(state);
    main.mnudisplay_Click();
    auto* p = topLevel<TimelineWindow>("Ptime");
    auto* e = topLevel<TimelineWindow>("Etime");
    ASSERT_TRUE(p && e);
    ChartView* pc = chart(*p);
    // The events chart built after a Select widened the range: its left edge is 100 years
    // earlier, so the same years stand 100 columns further right.
    state.dataset.earliestDate -= 100;
    e->Form_Load();
    ASSERT_EQ(e->leftEdgeYear(), p->leftEdgeYear() - 100);
    pc->scrollToColumn(300);
    EXPECT_EQ(e->yearAtViewColumn(static_cast<long long>(chart(*e)->leftColumn())),
              p->yearAtViewColumn(static_cast<long long>(pc->leftColumn())));

    // Ctrl+G: the year's column a quarter of the view from the left, in both charts. Bob's
    // first mark, 1860, stands there.
    QApplication::setActiveWindow(p);
    p->activateWindow();
    dialogs.answerInput(QStringLiteral("1860"));
    QTest::keyClick(p, Qt::Key_G, Qt::ControlModifier);
    const double quarter = pc->viewport()->width() / 4.0 / pc->charWidth();
    EXPECT_NEAR(pc->leftColumn() + quarter, static_cast<double>(pc->lines()[1].text().find('[')),
                1.0);

    // Zoomed out to ten years a character, the events chart still follows by year, and an
    // edit's rebuild keeps the place while its year is in the chart; a range that left it
    // behind brings the chart back to its own lines.
    e->setZoomStep(10);
    pc->scrollToColumn(500);
    EXPECT_NEAR(
        static_cast<double>(e->yearAtViewColumn(static_cast<long long>(chart(*e)->leftColumn()))),
        static_cast<double>(p->yearAtViewColumn(500)), 10.0);
    // (The people's chart was built before the events' range widened by a century: its
    // rebuild moves its origin, not the years in sight.)
    const long long kept = p->centreYear();
    p->refreshChart();
    EXPECT_EQ(p->centreYear(), kept);
    state.dataset.earliestDate = 1845;
    state.dataset.latestDate = 1940;
    p->refreshChart();
    EXPECT_EQ(pc->leftColumn(), 0.0);

    // Unlinked in one window: both toggles go off, the setting with them.
    child<QAction>(*p, "mnuLink")->trigger();
    EXPECT_FALSE(child<QAction>(*e, "mnuLink")->isChecked());
    EXPECT_FALSE(state.settings.linkScrolling);
}

TEST_F(TimelineTest, ExportWritesTheChartTheFileEndingNames) {
    TempDir folder;
    TimelineWindow w(state, Side::people);
    w.show();
    const std::vector<ChartLine>& lines = chart(w)->lines();
    ASSERT_EQ(lines[0].lead, 3);
    auto exportTo = [&](const std::string& name, std::optional<bool> whole = std::nullopt) {
        dialogs.answerSave(q(folder.file(name)));
        if (whole)
            dialogs.answerQuestion(*whole);
        child<QAction>(w, "mnuExport")->trigger();
        return std::filesystem::exists(folder.file(name)) ? readBytes(folder.file(name)) : "";
    };
    // Zoomed out, the chart as shown, its title saying so, in the chosen year style.
    state.choices.setYearStyle(YearStyle::signedNumbers);
    child<QAction>(w, "mnuZoomOut")->trigger();
    const ChartFrame frame = chartFrame(state.dataset, Side::people, state.settings.peopleColorBy,
                                        2, YearStyle::signedNumbers, w.windowTitle().toStdString());
    EXPECT_NE(frame.title.find("People Timeline (colored by faction), 1850 \u2013 1930, 2 years"),
              std::string::npos);
    EXPECT_EQ(exportTo("p.svg"),
              chartSvg(lines, state.dataset.encoding, state.settings.peopleBackColor, frame));
    // 1850 in column 9 / 2: no room for its label before it.
    EXPECT_EQ(lines[0].text(), "    [---Ann---]   1870");
    // PNG: the whole chart under its frame, when asked for.
    const PictureSize size = wholeChartPictureSize(lines, frame);
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(exportTo("whole.png", true))).size(),
              QSize(static_cast<int>(size.width), static_cast<int>(size.height)));
    // The web page, taken apart by an XML reader: its heading, its legend, and over each line
    // the entry and its years for the pointer, with no script at all.
    QXmlStreamReader page(QByteArray::fromStdString(exportTo("p.html")));
    QStringList seen;
    while (!page.atEnd()) {
        if (page.readNext() != QXmlStreamReader::StartElement)
            continue;
        EXPECT_NE(page.name(), QStringLiteral("script"));
        if (page.name() == QStringLiteral("span"))
            seen.append(page.attributes().value(QStringLiteral("title")).toString());
        else if (page.name() == QStringLiteral("h1") || page.name() == QStringLiteral("li"))
            seen.append(page.readElementText(QXmlStreamReader::IncludeChildElements));
    }
    EXPECT_FALSE(page.hasError()) << page.errorString().toStdString();
    EXPECT_EQ(seen,
              QStringList({QString::fromStdString(frame.title), QStringLiteral("Red (2)"),
                           QStringLiteral("Green (1)"), QStringLiteral("Ann 1850 \u2013 1870"),
                           QStringLiteral("Bob 1860 \u2013 1890"),
                           QStringLiteral("Cy 1880 \u2013 1930")}));
    // An unknown ending is explained.
    EXPECT_EQ(exportTo("p.txt"), "");
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral(
                                      "Name the file .svg, .html or .png: its ending says what "
                                      "to export.")});
}

// Zoom, the ruler, the legend and the first view in one window, and what the user's choices
// file keeps of them for the next.
TEST_F(TimelineTest, ZoomRulerLegendAndFirstViewFollowTheChartAndAreKept) {
    TempDir folder;
    state.choicesFile = folder.file("choices.ini");
    state.choices = UserChoices();
    // The events begin eight centuries before the people: the people's chart opens at its own
    // first line, its label in sight.
    state.dataset.events[0].date1 = 1000;
    computeChartRange(state.dataset);
    auto w = std::make_unique<TimelineWindow>(state, Side::people);
    w->resize(900, 500);
    w->show();
    QApplication::setActiveWindow(w.get()); // for the window's keys
    ChartView* v = chart(*w);
    auto* ruler = child<YearRuler>(*w, "ruler");
    EXPECT_EQ(v->leftColumn(), 1850 - 990 - 1 - 8);
    // The ruler's left edge is the chart frame's, a few pixels left of the first column.
    EXPECT_NEAR(static_cast<double>(ruler->view().scale.firstYearOf(ruler->view().firstColumn)),
                1850 - 8, 1.0);

    // Out by the key and by Ctrl and the wheel; the year in the middle stays there.
    const long long middle = w->centreYear();
    QTest::keyClick(v, Qt::Key_Minus, Qt::ControlModifier);
    QWheelEvent wheel(QPointF(10, 10), v->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, -120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(v->viewport(), &wheel);
    EXPECT_EQ(w->zoomStep(), 5);
    EXPECT_NEAR(static_cast<double>(w->centreYear()), static_cast<double>(middle), 1.0);
    EXPECT_EQ(v->lines()[0].text(),
              buildPeopleChart(state.dataset, kindFactions, 5).lines[0].text());
    // The pointer's column and the year Go to year showed are marked on the ruler.
    QTest::mouseMove(v->viewport(), QPoint(3 * v->charWidth() + 1, 5));
    EXPECT_EQ(ruler->view().hoverColumn,
              (3 * v->charWidth() + 1 + v->horizontalScrollBar()->value()) / v->charWidth());
    dialogs.answerInput(QStringLiteral("1900"));
    w->goToYear();
    EXPECT_EQ(ruler->view().targetYear, 1900);
    // Fit: the whole range in the window's width; In and Out greyed at the ends.
    QTest::keyClick(v, Qt::Key_0, Qt::ControlModifier);
    const double columns = v->viewport()->width() / static_cast<double>(v->charWidth());
    EXPECT_LT(w->scale().columnOf(state.dataset.latestDate), columns);
    EXPECT_GE(w->scale().columnOf(state.dataset.latestDate), columns / 3);
    QTest::keyClick(v, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(w->zoomStep(), 1);
    EXPECT_FALSE(child<QAction>(*w, "mnuZoomIn")->isEnabled());
    // Out to the end and back: where the narrow chart could not keep the middle year in the
    // middle, it comes back there all the same.
    v->scrollToColumn(400);
    const long long aim = w->centreYear();
    for (int i = 0; i < 8; ++i)
        child<QAction>(*w, "mnuZoomOut")->trigger();
    EXPECT_EQ(w->zoomStep(), 100);
    EXPECT_FALSE(child<QAction>(*w, "mnuZoomOut")->isEnabled());
    child<QAction>(*w, "mnuZoomActual")->trigger();
    EXPECT_NEAR(static_cast<double>(w->centreYear()), static_cast<double>(aim), 1.0);
    w->setZoomStep(100);

    // The legend: the categories the lines use, in table order, with their counts; a click
    // highlights the first line of one.
    auto* legend = child<QTreeWidget>(*w, "legend");
    ASSERT_EQ(legend->topLevelItemCount(), 2);
    EXPECT_EQ(legend->topLevelItem(1)->text(0) + legend->topLevelItem(1)->text(1),
              QStringLiteral("Green1"));
    legend->itemClicked(legend->topLevelItem(1), 0);
    EXPECT_EQ(v->currentLine(), 1);
    // Hidden with L, in signed years: the next window opens so, at the step this one left.
    const int narrow = v->width();
    QTest::keyClick(v, Qt::Key_L);
    EXPECT_FALSE(child<QDockWidget>(*w, "legendPanel")->isVisible());
    QCoreApplication::processEvents();
    EXPECT_GT(v->width(), narrow); // the chart takes the legend's room
    child<QAction>(*w, "mnuSignedYears")->trigger();
    w.reset();
    const UserChoices kept = readUserChoices(state.choicesFile);
    EXPECT_EQ(std::tuple(kept.zoomStep(Side::people), kept.legendShown(Side::people),
                         kept.legendShown(Side::events), kept.yearStyle()),
              std::tuple(100, false, true, YearStyle::signedNumbers));
    state.choices = kept;
    TimelineWindow again(state, Side::people);
    again.show();
    EXPECT_EQ(again.zoomStep(), 100);
    EXPECT_FALSE(child<QDockWidget>(again, "legendPanel")->isVisible());
    EXPECT_EQ(child<YearRuler>(again, "ruler")->view().style, YearStyle::signedNumbers);
}
