#pragma once

#include "core/dataset.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tess {

// What the category editor and the entry windows both do with a category table.

// A name counts as blank when it sorts at or before a single blank: empty, a blank, or one
// starting with a control character.
bool isBlankLike(std::string_view name);

// Appends an empty-named black category, included like every loaded one; false when the table
// already holds 32767 and can take no more.
bool addCategory(CategoryTable& table);
inline constexpr const char* tableFullMessage =
    "The list already holds 32767 categories, the most it can; no category was added.";

// The category a typed name stands for: the first in table order whose name equals it when
// case and surrounding blanks are ignored; 0 when none does (or the name is blank).
int findCategory(const CategoryTable& table, std::string_view typed, TextEncoding encoding);
// What the user calls a category of the table in a sentence: "faction", "occupation", "group"
// or "nation".
std::string categoryNoun(CategoryKind kind);
// A colour for a new category from a fixed palette of well-separated colours: the one farthest
// from every colour the table already has.
int32_t unusedCategoryColor(const CategoryTable& table);
// Appends a category of that name (blanks around it dropped) in an unused colour; its number,
// or 0 when the table is full.
int addNamedCategory(CategoryTable& table, std::string_view name);

} // namespace tess
