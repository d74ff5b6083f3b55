#pragma once

#include "core/dataset.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

// An entry whose name or description holds the text looked for.
struct FoundEntry {
    bool isEvent = false;
    int index = 0; // in the people or the events array
    bool operator==(const FoundEntry&) const = default;
};

struct FindResult {
    std::vector<FoundEntry> shown; // people first, then events, each in the arrays' order
    int matches = 0;               // all of them, also those past the limit
};

inline constexpr size_t findLimit = 200;

// The text with ASCII and accented Latin capitals made small, in the given encoding, so that
// two texts that differ only in case compare equal.
std::string foldCase(std::string_view s, TextEncoding encoding);

// The people and events whose name or description contains query, ignoring case: ASCII letters
// and the accented Latin letters, in the dataset's encoding (query is in that encoding too).
// An empty query finds nothing. At most limit entries are listed.
FindResult findEntries(const Dataset& ds, std::string_view query, size_t limit = findLimit);

// The position of the first person (or event) whose name contains query, case ignored as
// findEntries ignores it; -1 when none does or the query is empty.
int firstNamed(const Dataset& ds, std::string_view query, bool events);

} // namespace tess
