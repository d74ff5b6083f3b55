#pragma once

#include "core/category_table.h"
#include "core/chart_line.h"
#include "core/dataset.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

// How many selected entries use each category of the four tables, position 0 collecting the
// entries with none. Counted in full ints: a nation that all 32767 events name twice counts
// 65534, which a 16-bit count would wrap.
struct UsageCounts {
    std::vector<int> factions, occupations, groups, nations;
    const std::vector<int>& of(CategoryKind kind) const;
};

// Counts the selected entries' categories. An event whose group lies beyond the groups table
// (after trailing groups were pruned, say) is given group 0, no group, on the way; that repair
// does not mark the dataset modified. Numbers outside 0..count of their table are not counted.
UsageCounts countUsage(Dataset& ds);

// The editor's caption for a table: "Edit Factions", "Edit Occupations", "Edit Nations" or
// "Edit Groups".
std::string editorCaption(CategoryKind kind);
// Factions and occupations belong to the people's side, drawn on its background colour.
bool isPeopleKind(CategoryKind kind);

// The editor's list: per category its name, a blank and its count in signed form, in its
// colour; then the single-blank line a click on which adds a category.
std::vector<ChartLine> editorLines(const CategoryTable& table, const std::vector<int>& counts,
                                   TextEncoding encoding);

// Prune: every category no selected entry uses gets a blank name (its colour stays), and blank
// categories at the end of the table drop out of it. Marks the dataset modified.
void pruneCategories(Dataset& ds, CategoryKind kind, const std::vector<int>& counts);
// The same rule on a table alone.
void pruneCategories(CategoryTable& table, const std::vector<int>& counts);

// Consolidation: every entry, selected or not, that names category replace is pointed at keep;
// keep takes replace's name when its own is blank, and replace is left blank. Marks the dataset
// modified when an entry changed; nothing happens unless both are categories of the table.
struct Consolidation {
    std::string message;
    int changed = 0;
};
Consolidation replaceGroup(Dataset& ds, CategoryKind kind, int keep, int replace);
// The same on a snapshot of the table and its fields; how many fields were re-pointed.
struct CategorySnapshot;
int replaceGroup(CategorySnapshot& snapshot, int keep, int replace);
// The notice alone, in UTF-8: "Replace <name> with <name>", for nations with the positions too.
std::string replaceGroupMessage(const Dataset& ds, CategoryKind kind, int keep, int replace);

} // namespace tess
