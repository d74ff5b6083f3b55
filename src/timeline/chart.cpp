#include "timeline/chart.h"

#include "core/numbers.h"
#include "core/text_encoding.h"
#include "core/year_scale.h"

#include <algorithm>
#include <limits>

namespace tess {

std::string Chart::text() const {
    std::string s;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            s += lineBreak;
        s += lines[i].text();
    }
    return s;
}

void computeChartRange(Dataset& ds) {
    int earliest = 9999;
    int latest = -20000;
    auto track = [&](const auto& r) {
        if (r.selected == 0)
            return;
        earliest = std::min<int>(earliest, r.date1);
        latest = std::max<int>(latest, r.date2);
    };
    for (int i = 0; i < ds.numPeople; ++i)
        track(ds.people[static_cast<size_t>(i)]);
    for (int i = 0; i < ds.numEvents; ++i)
        track(ds.events[static_cast<size_t>(i)]);
    ds.earliestDate = earliest - 10;
    ds.latestDate = latest + 10;
}

namespace {

const char* startMark(int16_t type) {
    switch (type) {
    case dateKnown:
        return " [";
    case dateApprox:
        return " ?";
    case dateReign:
        return " R";
    default:
        return "";
    }
}

const char* endMark(int16_t type) {
    switch (type) {
    case dateKnown:
        return "] ";
    case dateApprox:
        return "? ";
    case dateReign:
        return "R ";
    default:
        return "";
    }
}

} // namespace

ChartLine buildChartLineParts(const std::string& name, int16_t date1, int16_t date1Type,
                              int16_t date2, int16_t date2Type, int earliestDate,
                              TextEncoding encoding, int step) {
    ChartLine line;
    const YearScale scale{earliestDate, step};
    const long long mark1 = scale.columnOf(date1);
    // The lead is a 16-bit count in the original scale; a first date more than 32767 years
    // from the left edge cannot occur with typed dates, and is held at that count if a file
    // brings one.
    const long long lead = mark1 - 6;
    std::string label = signedNumber(date1);
    if (label.size() < 5)
        label.insert(0, 5 - label.size(), ' ');
    if (step == 1) {
        line.lead =
            static_cast<int>(std::clamp<long long>(lead, 1, std::numeric_limits<int16_t>::max()));
    } else {
        // Zoomed out, the mark keeps its year's column even when the label before it would
        // start left of the chart: the label is left out then (a number cut short would
        // read as another year), and the blank before the mark too at the very edge.
        line.lead =
            static_cast<int>(std::clamp<long long>(lead, 0, std::numeric_limits<int16_t>::max()));
        if (lead < 0) {
            label.clear();
            line.lead = static_cast<int>(std::max<long long>(mark1 - 1, 0));
        }
    }
    std::string& h = line.head;
    h = label;

    // The span in columns from the first mark to the second, both included: years at one year
    // a character.
    const long long mark2 = scale.columnOf(date2);
    const int span = static_cast<int>(std::clamp<long long>(mark2 - mark1 + 1, -1, 1 << 20));
    const int nameLength = static_cast<int>(
        std::min<size_t>(textWidth(name, encoding), std::numeric_limits<int>::max()));
    if (span <= 1 && date2 > date1) {
        // Both dates in one column: the first date's mark stands there.
        h += startMark(date1Type);
        h += ' ';
        h += name;
    } else if (span <= 1) {
        h += " * ";
        h += name;
    } else if (span <= 4) {
        h += startMark(date1Type);
        line.dashes1 = span - 2;
        line.tail = endMark(date2Type) + name;
    } else if (nameLength < span - 4) {
        const int a = (span - nameLength - 2) / 2;
        h += startMark(date1Type);
        line.dashes1 = a;
        line.middle = name;
        line.dashes2 = span - nameLength - 2 - a;
        line.tail = endMark(date2Type);
    } else {
        h += startMark(date1Type);
        line.dashes1 = span - 2;
        line.tail = endMark(date2Type) + std::string(" ") + name;
    }
    if (date2 != date1) {
        line.tail += ' ';
        line.tail += signedNumber(date2);
    }
    if (mark1 < 1 && label.empty() && !h.empty() && h.front() == ' ')
        h.erase(0, 1);
    auto width = [encoding](const std::string& s) {
        return static_cast<int>(
            std::min<size_t>(textWidth(s, encoding), std::numeric_limits<int>::max()));
    };
    line.headWidth = width(line.head);
    line.middleWidth = line.middle.empty() ? 0 : nameLength;
    line.tailWidth = width(line.tail);
    return line;
}

std::string buildChartLine(const std::string& name, int16_t date1, int16_t date1Type, int16_t date2,
                           int16_t date2Type, int earliestDate, TextEncoding encoding) {
    return buildChartLineParts(name, date1, date1Type, date2, date2Type, earliestDate, encoding)
        .text();
}

namespace {

int32_t colorOf(const CategoryTable& table, int k) {
    return table.valid(k) ? table.colors[static_cast<size_t>(k)] : defaultTextColor;
}

template <typename Record, typename ColorFn>
Chart buildChart(const std::vector<Record>& records, int count, int earliestDate,
                 TextEncoding encoding, int step, ColorFn color) {
    Chart chart;
    for (int i = 0; i < count; ++i) {
        const Record& r = records[static_cast<size_t>(i)];
        if (r.selected == 0)
            continue;
        ChartLine line = buildChartLineParts(r.name, r.date1, r.date1Type, r.date2, r.date2Type,
                                             earliestDate, encoding, step);
        line.color = color(r);
        chart.lines.push_back(std::move(line));
    }
    return chart;
}

template <typename Record>
std::optional<int> entryAtLine(const std::vector<Record>& records, int count, int k) {
    if (k < 1)
        return std::nullopt;
    int seen = 0;
    for (int i = 0; i < count; ++i) {
        if (records[static_cast<size_t>(i)].selected != 0 && ++seen == k)
            return i;
    }
    return std::nullopt;
}

} // namespace

Chart buildPeopleChart(const Dataset& ds, int peopleColorBy, int step) {
    const bool byFaction = peopleColorBy == kindFactions;
    Chart chart = buildChart(ds.people, ds.numPeople, ds.earliestDate, ds.encoding, step,
                             [&](const PersonRecord& p) {
                                 return byFaction ? colorOf(ds.factions, p.faction)
                                                  : colorOf(ds.occupations, p.occupation);
                             });
    chart.colorCaption = byFaction ? "colored by faction" : "colored by occupation";
    return chart;
}

Chart buildEventsChart(const Dataset& ds, int eventsColorBy, int step) {
    const bool byNation = eventsColorBy == kindNations;
    Chart chart = buildChart(
        ds.events, ds.numEvents, ds.earliestDate, ds.encoding, step, [&](const EventRecord& e) {
            return byNation ? colorOf(ds.nations, e.nation1) : colorOf(ds.groups, e.group);
        });
    chart.colorCaption = byNation ? "colored by nation" : "colored by group";
    return chart;
}

namespace {
template <typename Record>
std::optional<int> lineOfEntry(const std::vector<Record>& records, int count, int index) {
    if (index < 0 || index >= count || static_cast<size_t>(index) >= records.size() ||
        records[static_cast<size_t>(index)].selected == 0)
        return std::nullopt;
    int line = 1;
    for (int i = 0; i < index; ++i)
        if (records[static_cast<size_t>(i)].selected != 0)
            ++line;
    return line;
}
} // namespace

std::optional<int> lineOfPerson(const Dataset& ds, int index) {
    return lineOfEntry(ds.people, ds.numPeople, index);
}

std::optional<int> lineOfEvent(const Dataset& ds, int index) {
    return lineOfEntry(ds.events, ds.numEvents, index);
}

std::optional<int> personAtLine(const Dataset& ds, int k) {
    return entryAtLine(ds.people, ds.numPeople, k);
}

std::optional<int> eventAtLine(const Dataset& ds, int k) {
    return entryAtLine(ds.events, ds.numEvents, k);
}

} // namespace tess
