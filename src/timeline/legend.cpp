#include "timeline/legend.h"

#include "core/chart_line.h"

#include <map>

namespace tess {

namespace {

template <typename Record, typename CategoryFn>
std::vector<LegendRow> rowsOf(const std::vector<Record>& records, int count,
                              const CategoryTable& table, CategoryFn categoryOf) {
    // Keyed by category, so the rows come out in table order with "(none)" (0) moved last.
    std::map<int, LegendRow> used;
    int line = 0;
    for (int i = 0; i < count && static_cast<size_t>(i) < records.size(); ++i) {
        const Record& r = records[static_cast<size_t>(i)];
        if (r.selected == 0)
            continue;
        const int k = table.valid(categoryOf(r)) ? categoryOf(r) : 0;
        auto [at, fresh] = used.try_emplace(k);
        LegendRow& row = at->second;
        if (fresh) {
            row.category = k;
            row.name = k ? table.names[static_cast<size_t>(k)] : "(none)";
            row.color = k ? table.colors[static_cast<size_t>(k)] : defaultTextColor;
            row.firstLine = line;
        }
        ++row.lines;
        ++line;
    }
    std::vector<LegendRow> rows;
    for (auto& [k, row] : used)
        if (k != 0)
            rows.push_back(std::move(row));
    if (used.count(0))
        rows.push_back(std::move(used[0]));
    return rows;
}

} // namespace

std::vector<LegendRow> legendRows(const Dataset& ds, Side side, int colorBy) {
    if (side == Side::people) {
        const bool byFaction = colorBy == kindFactions;
        return rowsOf(
            ds.people, ds.numPeople, byFaction ? ds.factions : ds.occupations,
            [byFaction](const PersonRecord& p) { return byFaction ? p.faction : p.occupation; });
    }
    const bool byNation = colorBy == kindNations;
    return rowsOf(ds.events, ds.numEvents, byNation ? ds.nations : ds.groups,
                  [byNation](const EventRecord& e) { return byNation ? e.nation1 : e.group; });
}

} // namespace tess
