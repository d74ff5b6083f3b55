#include "categories/categories.h"

#include "core/find.h"
#include "core/numbers.h"
#include "core/text_encoding.h"
#include "state/category_changes.h"

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
    // "faction" becomes "Edit Factions".
    std::string noun = categoryNoun(kind);
    noun.front() = static_cast<char>(noun.front() - 'a' + 'A');
    std::string caption = "Edit ";
    caption += noun;
    caption += 's';
    return caption;
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

} // namespace tess
