#include "timeline/chart.h"

#include "core/numbers.h"

#include <algorithm>
#include <limits>

namespace tess {

std::string Chart::text() const {
    size_t size = 0;
    for (const ChartLine& l : lines)
        size += l.length() + 2;
    std::string s;
    s.reserve(size);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            s += lineBreak;
        s.append(static_cast<size_t>(lines[i].lead), ' ');
        s += lines[i].body;
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
                              int16_t date2, int16_t date2Type, int earliestDate) {
    ChartLine line;
    // The lead is a 16-bit count in the original scale; a first date more than 32767 years
    // from the left edge cannot occur with typed dates, and is held at that count if a file
    // brings one.
    const long lead = static_cast<long>(date1) - earliestDate - 7;
    line.lead = static_cast<int>(std::clamp<long>(lead, 1, std::numeric_limits<int16_t>::max()));

    std::string& b = line.body;
    const std::string label = signedNumber(date1);
    if (label.size() < 5)
        b.append(5 - label.size(), ' ');
    b += label;

    const int span = static_cast<int>(date2) - static_cast<int>(date1) + 1;
    const int nameLength = static_cast<int>(name.size());
    if (span <= 1) {
        b += " * ";
        b += name;
    } else if (span <= 4) {
        b += startMark(date1Type);
        b.append(static_cast<size_t>(span - 2), '-');
        b += endMark(date2Type);
        b += name;
    } else if (nameLength < span - 4) {
        const int a = (span - nameLength - 2) / 2;
        const int rest = span - nameLength - 2 - a;
        b += startMark(date1Type);
        b.append(static_cast<size_t>(a), '-');
        b += name;
        b.append(static_cast<size_t>(rest), '-');
        b += endMark(date2Type);
    } else {
        b += startMark(date1Type);
        b.append(static_cast<size_t>(span - 2), '-');
        b += endMark(date2Type);
        b += ' ';
        b += name;
    }
    if (date2 != date1) {
        b += ' ';
        b += signedNumber(date2);
    }
    return line;
}

std::string buildChartLine(const std::string& name, int16_t date1, int16_t date1Type, int16_t date2,
                           int16_t date2Type, int earliestDate) {
    return buildChartLineParts(name, date1, date1Type, date2, date2Type, earliestDate).text();
}

namespace {

int32_t colorOf(const CategoryTable& table, int k) {
    return table.valid(k) ? table.colors[static_cast<size_t>(k)] : defaultTextColor;
}

template <typename Record, typename ColorFn>
Chart buildChart(const std::vector<Record>& records, int count, int earliestDate, ColorFn color) {
    Chart chart;
    for (int i = 0; i < count; ++i) {
        const Record& r = records[static_cast<size_t>(i)];
        if (r.selected == 0)
            continue;
        ChartLine line =
            buildChartLineParts(r.name, r.date1, r.date1Type, r.date2, r.date2Type, earliestDate);
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

Chart buildPeopleChart(const Dataset& ds, int peopleColorBy) {
    const bool byFaction = peopleColorBy == kindFactions;
    Chart chart = buildChart(ds.people, ds.numPeople, ds.earliestDate, [&](const PersonRecord& p) {
        return byFaction ? colorOf(ds.factions, p.faction) : colorOf(ds.occupations, p.occupation);
    });
    chart.colorCaption = byFaction ? "colored by faction" : "colored by occupation";
    return chart;
}

Chart buildEventsChart(const Dataset& ds, int eventsColorBy) {
    const bool byNation = eventsColorBy == kindNations;
    Chart chart = buildChart(ds.events, ds.numEvents, ds.earliestDate, [&](const EventRecord& e) {
        return byNation ? colorOf(ds.nations, e.nation1) : colorOf(ds.groups, e.group);
    });
    chart.colorCaption = byNation ? "colored by nation" : "colored by group";
    return chart;
}

std::optional<int> personAtLine(const Dataset& ds, int k) {
    return entryAtLine(ds.people, ds.numPeople, k);
}

std::optional<int> eventAtLine(const Dataset& ds, int k) {
    return entryAtLine(ds.events, ds.numEvents, k);
}

} // namespace tess
