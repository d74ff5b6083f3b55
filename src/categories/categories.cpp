#include "categories/categories.h"

#include "categories/category_changes.h"
#include "core/find.h"
#include "core/numbers.h"
#include "core/text_encoding.h"

#include <algorithm>
#include <array>
#include <climits>

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
    // Blanks are assigned as one character, not from " ": GCC 12 at -O3 warns (-Wrestrict) of
    // an overlap that a one-character literal cannot have.
    add.head.assign(1, ' ');
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
    pruneCategories(ds.table(kind), counts);
    ds.modified = true;
}

void pruneCategories(CategoryTable& t, const std::vector<int>& counts) {
    for (int i = 1; i <= t.count; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (k >= counts.size() || counts[k] < 1)
            t.names[k].assign(1, ' ');
    }
    while (t.count > 0 && isBlankLike(t.names[static_cast<size_t>(t.count)]))
        --t.count;
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
    CategorySnapshot s(ds, kind);
    result.changed = replaceGroup(s, keep, replace);
    s.applyTo(ds);
    if (result.changed > 0)
        ds.modified = true;
    return result;
}

int replaceGroup(CategorySnapshot& s, int keep, int replace) {
    CategoryTable& t = s.table;
    if (!t.valid(keep) || !t.valid(replace))
        return 0;
    int changed = 0;
    for (int16_t& field : s.fields)
        if (field == replace) {
            field = static_cast<int16_t>(keep);
            ++changed;
        }
    if (isBlankLike(t.names[static_cast<size_t>(keep)]))
        t.names[static_cast<size_t>(keep)] = t.names[static_cast<size_t>(replace)];
    t.names[static_cast<size_t>(replace)].assign(1, ' ');
    return changed;
}

namespace {
std::string_view trimBlanks(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Twelve colours far apart in hue and lightness, readable on the charts' backgrounds, as
// 0x00BBGGRR.
constexpr std::array<int32_t, 12> newCategoryColors = {
    0x0000C0, 0xC00000, 0x008000, 0x0080FF, 0x800080, 0x808000,
    0x004080, 0xFF00FF, 0x408000, 0x000080, 0x808080, 0x80FF00,
};
} // namespace

int findCategory(const CategoryTable& table, std::string_view typed, TextEncoding encoding) {
    const std::string wanted = foldCase(trimBlanks(typed), encoding);
    if (wanted.empty())
        return 0;
    for (int i = 1; i <= table.count; ++i)
        if (foldCase(trimBlanks(table.names[static_cast<size_t>(i)]), encoding) == wanted)
            return i;
    return 0;
}

std::string categoryNoun(CategoryKind kind) {
    switch (kind) {
    case kindFactions:
        return "faction";
    case kindOccupations:
        return "occupation";
    case kindGroups:
        return "group";
    case kindNations:
        return "nation";
    }
    return "category";
}

int32_t unusedCategoryColor(const CategoryTable& table) {
    // The palette's colour farthest from the nearest colour the table has: a new category
    // must stand out on the charts, not merely differ by a shade.
    auto distance = [](int32_t a, int32_t b) {
        const int dr = (a & 0xFF) - (b & 0xFF);
        const int dg = ((a >> 8) & 0xFF) - ((b >> 8) & 0xFF);
        const int db = ((a >> 16) & 0xFF) - ((b >> 16) & 0xFF);
        return 2 * dr * dr + 4 * dg * dg + 3 * db * db;
    };
    int32_t chosen = newCategoryColors[0];
    long long best = -1;
    for (const int32_t candidate : newCategoryColors) {
        long long nearest = LLONG_MAX;
        for (int i = 1; i <= table.count; ++i)
            nearest = std::min<long long>(
                nearest, distance(candidate, table.colors[static_cast<size_t>(i)]));
        if (nearest > best) {
            best = nearest;
            chosen = candidate;
        }
    }
    return chosen;
}

int addNamedCategory(CategoryTable& table, std::string_view name) {
    const int32_t color = unusedCategoryColor(table);
    if (!addCategory(table))
        return 0;
    const size_t n = static_cast<size_t>(table.count);
    table.names[n] = std::string(trimBlanks(name));
    table.colors[n] = color;
    return table.count;
}

} // namespace tess
