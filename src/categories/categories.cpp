#include "categories/categories.h"

#include "core/numbers.h"
#include "core/text_encoding.h"

#include <algorithm>

namespace tess {

const std::vector<int>& UsageCounts::of(CategoryKind kind) const {
    switch (kind) {
    case kindFactions:
        return factions;
    case kindOccupations:
        return occupations;
    case kindGroups:
        return groups;
    case kindNations:
        break;
    }
    return nations;
}

namespace {
void countIn(std::vector<int>& counts, int k) {
    if (k >= 0 && static_cast<size_t>(k) < counts.size())
        ++counts[static_cast<size_t>(k)];
}
} // namespace

UsageCounts countUsage(Dataset& ds) {
    UsageCounts c;
    c.factions.assign(static_cast<size_t>(ds.factions.count) + 1, 0);
    c.occupations.assign(static_cast<size_t>(ds.occupations.count) + 1, 0);
    c.groups.assign(static_cast<size_t>(ds.groups.count) + 1, 0);
    c.nations.assign(static_cast<size_t>(ds.nations.count) + 1, 0);
    const size_t people =
        std::min(static_cast<size_t>(std::max(ds.numPeople, 0)), ds.people.size());
    for (size_t i = 0; i < people; ++i) {
        const PersonRecord& p = ds.people[i];
        if (p.selected == 0)
            continue;
        countIn(c.factions, p.faction);
        countIn(c.occupations, p.occupation);
    }
    const size_t events =
        std::min(static_cast<size_t>(std::max(ds.numEvents, 0)), ds.events.size());
    for (size_t i = 0; i < events; ++i) {
        EventRecord& e = ds.events[i];
        if (e.selected == 0)
            continue;
        countIn(c.nations, e.nation1);
        countIn(c.nations, e.nation2);
        if (e.group <= ds.groups.count)
            countIn(c.groups, e.group);
        else
            e.group = 0;
    }
    return c;
}

std::string editorCaption(CategoryKind kind) {
    switch (kind) {
    case kindFactions:
        return "Edit Factions";
    case kindOccupations:
        return "Edit Occupations";
    case kindNations:
        return "Edit Nations";
    case kindGroups:
        break;
    }
    return "Edit Groups";
}

bool isPeopleKind(CategoryKind kind) {
    return kind == kindFactions || kind == kindOccupations;
}

std::vector<ChartLine> editorLines(const CategoryTable& table, const std::vector<int>& counts,
                                   TextEncoding encoding) {
    std::vector<ChartLine> lines;
    lines.reserve(static_cast<size_t>(table.count) + 1);
    for (int i = 1; i <= table.count; ++i) {
        ChartLine& line = lines.emplace_back();
        const size_t k = static_cast<size_t>(i);
        line.head = table.names[k];
        line.head += ' ';
        line.head += signedNumber(k < counts.size() ? counts[k] : 0);
        line.headWidth = static_cast<int>(textWidth(line.head, encoding));
        line.color = table.colors[k];
    }
    ChartLine& add = lines.emplace_back();
    add.head = " ";
    add.headWidth = 1;
    return lines;
}

bool isBlankLike(std::string_view name) {
    return name <= std::string_view(" ");
}

bool addCategory(CategoryTable& table) {
    if (table.count >= maxEntries)
        return false;
    const int16_t n = static_cast<int16_t>(table.count + 1);
    table.resize(n);
    // Positions a prune dropped may still hold their old name and colour.
    table.names[static_cast<size_t>(n)].clear();
    table.colors[static_cast<size_t>(n)] = 0;
    table.include[static_cast<size_t>(n)] = boolTrue;
    return true;
}

void pruneCategories(Dataset& ds, CategoryKind kind, const std::vector<int>& counts) {
    CategoryTable& t = ds.table(kind);
    for (int i = 1; i <= t.count; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (k >= counts.size() || counts[k] < 1)
            t.names[k] = " ";
    }
    while (t.count > 0 && isBlankLike(t.names[static_cast<size_t>(t.count)]))
        --t.count;
    ds.modified = true;
}

std::string replaceGroupMessage(const Dataset& ds, CategoryKind kind, int keep, int replace) {
    const CategoryTable& t = ds.table(kind);
    // Names from a file are shown bounded, their control characters escaped.
    auto name = [&](int k) {
        return displayText(t.names.at(static_cast<size_t>(k)), ds.encoding, messageTextLimit);
    };
    if (kind == kindNations)
        return "Replace " + plainNumber(replace) + " " + name(replace) + " with " +
               plainNumber(keep) + " " + name(keep);
    return "Replace " + name(replace) + " with " + name(keep);
}

Consolidation replaceGroup(Dataset& ds, CategoryKind kind, int keep, int replace) {
    if (!ds.table(kind).valid(keep) || !ds.table(kind).valid(replace))
        return {};
    Consolidation result{replaceGroupMessage(ds, kind, keep, replace), 0};
    const int16_t k = static_cast<int16_t>(keep);
    const int16_t r = static_cast<int16_t>(replace);
    auto repoint = [&](int16_t& field) {
        if (field == r) {
            field = k;
            ++result.changed;
        }
    };
    if (kind == kindFactions || kind == kindOccupations) {
        const size_t n = std::min(static_cast<size_t>(std::max(ds.numPeople, 0)), ds.people.size());
        for (size_t i = 0; i < n; ++i) {
            PersonRecord& p = ds.people[i];
            repoint(kind == kindFactions ? p.faction : p.occupation);
        }
    } else {
        const size_t n = std::min(static_cast<size_t>(std::max(ds.numEvents, 0)), ds.events.size());
        for (size_t i = 0; i < n; ++i) {
            EventRecord& e = ds.events[i];
            if (kind == kindGroups) {
                repoint(e.group);
            } else {
                repoint(e.nation1);
                repoint(e.nation2);
            }
        }
    }
    CategoryTable& t = ds.table(kind);
    if (isBlankLike(t.names[static_cast<size_t>(keep)]))
        t.names[static_cast<size_t>(keep)] = t.names[static_cast<size_t>(replace)];
    t.names[static_cast<size_t>(replace)] = " ";
    if (result.changed > 0)
        ds.modified = true;
    return result;
}

} // namespace tess
