#include "core/category_table.h"

#include "core/find.h"
#include "core/text_encoding.h"

#include <algorithm>
#include <array>
#include <climits>

namespace tess {

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

namespace {
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
