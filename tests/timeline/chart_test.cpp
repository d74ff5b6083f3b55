#include "timeline/chart.h"
#include "timeline/chart_export.h"
#include "timeline/selection.h"

#include "core/text_encoding.h"
#include "core/year_scale.h"

#include "support/test.h"

TEST(ChartLine, SpansMarksEdgesAndWidths) {
    const std::string got =
        replay("expected/chart_lines.txt", "> ", [](const std::string& row, const std::string&) {
            std::istringstream in(row);
            std::string encoding, name;
            int edge = 0, d1 = 0, t1 = 0, d2 = 0, t2 = 0;
            in >> encoding >> edge >> d1 >> t1 >> d2 >> t2;
            std::getline(in >> std::ws, name);
            return "|" +
                   buildChartLine(name, d1, t1, d2, t2, edge,
                                  encoding == "utf8" ? TextEncoding::utf8
                                                     : TextEncoding::windows1252) +
                   "|\n";
        });
    expectGolden(got, "expected/chart_lines.txt");
    // An absurd distance is held, not wrapped.
    EXPECT_EQ(buildChartLineParts("F", 32767, 0, 32767, 0, -32768).lead, 32767);
}

TEST(ChartLine, PartsSliceLikeTheWholeTextAndStaySmall) {
    const auto utf8 = TextEncoding::utf8;
    const ChartLine lines[] = {
        buildChartLineParts("\xC3\x89mile", 1850, 0, 1870, 1, 1840, utf8),
        buildChartLineParts("Longer than the bar", 1850, 2, 1855, 0, 1840, utf8),
        buildChartLineParts("\xE2\x82\xAC", 1850, 0, 1852, 0, 1840, utf8),
        buildChartLineParts("One year", 1900, 0, 1900, 0, 1840, utf8),
    };
    for (const ChartLine& line : lines) {
        const std::string whole = line.text();
        ASSERT_EQ(static_cast<size_t>(line.width()), textWidth(whole, utf8)) << whole;
        for (long long first = 0; first <= line.width() + 1; ++first)
            for (long long count : {0LL, 1LL, 3LL, 7LL, 100LL})
                ASSERT_EQ(
                    line.slice(first, count, utf8),
                    textSlice(whole, utf8, static_cast<size_t>(first), static_cast<size_t>(count)))
                    << whole << " " << first << " " << count;
    }
    // The widest possible line holds its blanks and dashes as counts, not characters.
    const ChartLine wide = buildChartLineParts("W", -32768, 0, 32767, 0, -32778);
    // 3 blanks, "-32768 [", 32766 dashes, the name, 32767 dashes, "]   32767".
    EXPECT_EQ(wide.width(), 3 + 8 + 32766 + 1 + 32767 + 9);
    EXPECT_LT(wide.head.size() + wide.middle.size() + wide.tail.size(), 32u);
    EXPECT_EQ(wide.slice(3 + 8 + 32765, 3, TextEncoding::windows1252), "-W-");
}

TEST(Chart, LinesFollowSelectionOrderAndColouring) {
    DatasetBuilder b;
    b.category(kindFactions, "F1", 0x0000FF).category(kindFactions, "F2", 0x00FF00);
    b.category(kindOccupations, "O1", 0x123456).category(kindNations, "N1", 0xAA0000);
    b.category(kindGroups, "G1", 0x00BB00).person("A", 1900, 1950, 1, 1).person("B", 1910, 1960, 2);
    b.person("C", 1920, 1970, 9, 1);                                     // faction beyond its table
    b.event("E1", 1900, 1910, 1, 1, 0).event("E2", 1920, 1921, 1, 0, 1); // no first nation
    Dataset ds = b.build();
    computeChartRange(ds);
    // A faction beyond its table, and an event's second nation, never colour.
    std::string charts = std::to_string(ds.earliestDate) + " to " + std::to_string(ds.latestDate);
    for (const Chart& chart :
         {buildPeopleChart(ds, kindFactions), buildPeopleChart(ds, kindOccupations),
          buildEventsChart(ds, kindNations), buildEventsChart(ds, kindGroups)}) {
        charts += "\n" + chart.colorCaption + ":";
        for (const ChartLine& line : chart.lines)
            charts += " " + std::to_string(line.color);
        charts += "\n" + chart.text() + "\n";
    }

    // With records 2, 5 and 7 selected, lines 1, 2 and 3 are those records; with nothing
    // selected, an empty chart and the untouched range.
    DatasetBuilder many;
    for (int i = 0; i < 9; ++i)
        many.person("P" + std::to_string(i), 1900 + i, 1950);
    Dataset m = many.build();
    for (size_t i = 0; i < m.people.size(); ++i)
        m.people[i].selected = i == 2 || i == 5 || i == 7;
    charts += buildPeopleChart(m, kindFactions).text() +
              "\nevent at line 2: " + std::to_string(eventAtLine(ds, 2).value_or(-1)) +
              "; people at lines 0 to 4:";
    for (int line = 0; line < 5; ++line)
        charts += " " + std::to_string(personAtLine(m, line).value_or(-1));
    for (auto& p : m.people)
        p.selected = 0;
    m.numEvents = 0;
    computeChartRange(m);
    charts += "\nnone selected: " + std::to_string(buildPeopleChart(m, kindFactions).lines.size()) +
              " lines, " + std::to_string(m.earliestDate) + " to " + std::to_string(m.latestDate);
    expectGolden(charts + "\n", "expected/chart_colours.txt");
}

TEST(Selection, FiltersByPriorityCategoriesAndWholeRange) {
    DatasetBuilder b;
    b.category(kindFactions, "F1", 1).category(kindFactions, "F2", 1);
    b.category(kindOccupations, "O1", 1).category(kindGroups, "G1", 1);
    b.category(kindNations, "N1", 1).category(kindNations, "N2", 1);
    b.person("p1", 1800, 1850, 1, 1, 3).person("p4", 1800, 1850, 1, 1, 4);
    // Overlapping the range's start and its end.
    b.person("early", 1790, 1810, 1, 1, 1).person("late", 1890, 1910, 1, 1, 1);
    b.person("nofaction", 1820, 1830, 0, 1, 1).person("f2", 1820, 1830, 2, 1, 1);
    b.event("both", 1820, 1830, 1, 1, 2).event("second only", 1820, 1830, 1, 0, 2);
    Dataset ds = b.build();
    ds.selStart = 1800;
    ds.selEnd = 1900;
    ds.selPriority = 3;
    ds.factions.include[2] = boolFalse;
    applyPeopleSelection(ds);
    std::vector<int> selected;
    for (const auto& p : ds.people)
        selected.push_back(p.selected != 0);
    // Priority 4 > 3, the two beyond the range's ends, and faction 2 excluded; no faction is
    // repaired to 1 and judged by it.
    EXPECT_EQ(selected, (std::vector<int>{1, 0, 0, 0, 1, 0}));
    EXPECT_EQ((std::vector<int>{ds.numSelPeople, ds.people[4].faction}), (std::vector<int>{2, 1}));
    // An event whose first nation is excluded but whose second is included still passes.
    ds.nations.include[1] = boolFalse;
    applyEventSelection(ds);
    EXPECT_EQ(ds.numSelEvents, 2);
    ds.nations.include[2] = boolFalse;
    applyEventSelection(ds);
    EXPECT_EQ(ds.numSelEvents, 0);

    setAllIncluded(ds.factions, false);
    applyPeopleSelection(ds);
    EXPECT_EQ(ds.numSelPeople, 0);
    setAllIncluded(ds.factions, true);
    // Position 0 is never included.
    EXPECT_EQ(std::pair(ds.factions.include[0], ds.factions.include[2]),
              std::pair(boolFalse, boolTrue));
}

// The chart zoomed out, from one table: a line at a step (with a caret under each column its
// dates stand in by the scale, so the marks can be seen to sit on them), the years a clicked or
// hovered column stands for, the step Fit chooses, and the ruler's ticks.
TEST(ChartLine, ZoomedLinesColumnsFitAndRuler) {
    const std::string got =
        replay("expected/zoom_lines.txt", "> ", [](const std::string& row, const std::string&) {
            std::istringstream in(row);
            std::string what;
            in >> what;
            int step = 1, edge = 0;
            if (what != "fit")
                in >> step;
            in >> edge;
            const YearScale scale{edge, step};
            std::ostringstream out;
            if (what == "line") {
                int d1 = 0, t1 = 0, d2 = 0, t2 = 0;
                std::string name;
                in >> d1 >> t1 >> d2 >> t2;
                std::getline(in >> std::ws, name);
                const std::string line = buildChartLineParts(name, static_cast<int16_t>(d1), t1,
                                                             static_cast<int16_t>(d2), t2, edge,
                                                             TextEncoding::windows1252, step)
                                             .text();
                std::string carets(line.size() + 1, ' ');
                for (const long long c : {scale.columnOf(d1), scale.columnOf(d2)})
                    if (c >= 0 && static_cast<size_t>(c) < line.size())
                        carets[static_cast<size_t>(c)] = '^';
                carets.erase(carets.find_last_not_of(' ') + 1);
                out << '|' << line << "|\n " << carets << '\n';
            } else if (what == "column") {
                long long column = 0;
                in >> column;
                out << scale.firstYearOf(column) << " to " << scale.lastYearOf(column)
                    << "; back to column " << scale.columnOf(scale.lastYearOf(column)) << '\n';
            } else if (what == "fit") {
                int latest = 0;
                long long columns = 0;
                in >> latest >> columns;
                out << "step " << fitStep(edge, latest, columns) << '\n';
            } else if (what == "text") {
                long long columns = 0, first = 0, last = 0;
                in >> columns >> first >> last;
                const auto [labels, ticks] =
                    rulerRows(scale, YearStyle::readable, columns, std::pair(first, last));
                out << '|' << labels << "|\n|" << ticks << "|\n";
            } else if (what == "ruler") {
                long long first = 0, columns = 0;
                int labelColumns = 0;
                in >> first >> columns >> labelColumns;
                const RulerMarks marks = rulerMarks(scale, first, columns, labelColumns);
                out << "every " << marks.labelEvery << ':';
                for (const RulerTick& t : marks.ticks)
                    out << ' ' << t.year << '@' << t.column << (t.labelled ? "*" : "");
                out << '\n';
            }
            return out.str();
        });
    expectGolden(got, "expected/zoom_lines.txt");
    // The steps, their ends, and a damaged choice.
    EXPECT_EQ((std::array{zoomedIn(1), zoomedOut(1), zoomedIn(100), zoomedOut(100), zoomedOut(7)}),
              (std::array{1, 2, 50, 100, 2}));
}
