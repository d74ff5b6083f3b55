#include "core/dataset.h"

#include <array>
#include <cassert>
#include <utility>

namespace tess {

void CategoryTable::resize(int16_t n) {
    const size_t size = static_cast<size_t>(n < 0 ? 0 : n) + 1;
    names.resize(size);
    colors.resize(size, 0);
    include.resize(size, boolFalse);
    count = n < 0 ? int16_t{0} : n;
}

CategoryTable& Dataset::table(CategoryKind kind) {
    return const_cast<CategoryTable&>(std::as_const(*this).table(kind));
}

const CategoryTable& Dataset::table(CategoryKind kind) const {
    switch (kind) {
    case kindFactions:
        return factions;
    case kindOccupations:
        return occupations;
    case kindNations:
        return nations;
    case kindGroups:
        return groups;
    }
    assert(false && "unknown category kind");
    return factions;
}

namespace {
constexpr int32_t rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}
} // namespace

int32_t legacyPaletteColor(int number) {
    static constexpr std::array<int32_t, 16> palette = {
        rgb(0, 0, 0),       rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128),
        rgb(128, 0, 0),     rgb(128, 0, 128), rgb(128, 128, 0), rgb(192, 192, 192),
        rgb(128, 128, 128), rgb(0, 0, 255),   rgb(0, 255, 0),   rgb(0, 255, 255),
        rgb(255, 0, 0),     rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255),
    };
    assert(number >= 0 && number < 16);
    return palette[static_cast<size_t>(number)];
}

} // namespace tess
