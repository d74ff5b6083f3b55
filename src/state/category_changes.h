#pragma once

#include "core/dataset_change.h"

#include <memory>
#include <utility>
#include <vector>

namespace tess {

// The positions of a vector that differ between two states, with their values on each side,
// and both sizes: enough to turn either state into the other.
template <typename T> struct VectorDiff {
    size_t sizeBefore = 0;
    size_t sizeAfter = 0;
    std::vector<std::pair<size_t, T>> before, after;

    static VectorDiff between(const std::vector<T>& a, const std::vector<T>& b) {
        VectorDiff d;
        d.sizeBefore = a.size();
        d.sizeAfter = b.size();
        for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
            const bool inA = i < a.size(), inB = i < b.size();
            if (inA && inB && a[i] == b[i])
                continue;
            if (inA)
                d.before.emplace_back(i, a[i]);
            if (inB)
                d.after.emplace_back(i, b[i]);
        }
        return d;
    }
    bool empty() const { return sizeBefore == sizeAfter && before.empty(); }
    void apply(std::vector<T>& v, bool forward) const {
        v.resize(forward ? sizeAfter : sizeBefore);
        for (const auto& [i, value] : forward ? after : before)
            v[i] = value;
    }
};

// One category table and the entry fields that name its categories (a person's faction or
// occupation, an event's group, or an event's two nations), as they stand.
// A window changes a copy of it, and the change between the two is what goes to the dataset.
struct CategorySnapshot {
    CategorySnapshot(const Dataset& ds, CategoryKind kind);
    CategoryKind kind;
    CategoryTable table;
    std::vector<int16_t> fields;
    // Writes the table and the fields into the dataset.
    void applyTo(Dataset& ds) const;
};

// A change to one category table (add, rename, recolour, prune, consolidate): the table's
// positions that differ and the entry fields that were pointed elsewhere, nothing else. Null
// when the two snapshots of one table are alike.
std::unique_ptr<DatasetChange> categoryChange(std::string caption, const CategorySnapshot& before,
                                              const CategorySnapshot& after);

} // namespace tess
