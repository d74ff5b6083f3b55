#pragma once

#include "core/dataset.h"
#include "core/numbers.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace tess {

// The store, re-sort and delete logic of the entry windows, one implementation for people and
// events. An entry array keeps a spare position after its last entry (position `count`), where
// a new entry is edited until it is stored.
template <typename Record> struct EntryArray {
    std::vector<Record>& records;
    int& count;
    int16_t& selCount;
    int16_t& current;

    // The spare position exists (and the array is never shorter than the count claims).
    void ensureSpare() {
        if (records.size() < static_cast<size_t>(count) + 1)
            records.resize(static_cast<size_t>(count) + 1);
    }
    Record& at(int position) { return records[static_cast<size_t>(position)]; }
    bool holdsEntry(int position) const { return position >= 0 && position < count; }

    // Makes the spare position a stored entry: the counts rise, the entry is selected and a
    // new spare follows. False, and nothing changed, when the array is full.
    bool append() {
        if (count >= maxEntries)
            return false;
        ensureSpare();
        ++count;
        selCount = static_cast<int16_t>(std::min(selCount + 1, maxEntries));
        at(count - 1).selected = boolTrue;
        ensureSpare();
        return true;
    }

    // Moves the entry at `position` to its place in first-date order exactly as the windows
    // always have: it is taken out and put last, then one pass from the next-to-last position
    // down to the first swaps neighbours whose first dates are out of order (equal dates never
    // swap). Returns where the entry now stands.
    // The neighbours swapped (the lower position of each pair) are added to `swaps` in order,
    // when given, so that the move can be taken back exactly.
    int resort(int position, std::vector<int>* swaps = nullptr) {
        std::rotate(records.begin() + position, records.begin() + position + 1,
                    records.begin() + count);
        int moved = count - 1;
        for (int j = count - 2; j >= 0; --j) {
            if (at(j).date1 > at(j + 1).date1) {
                std::swap(at(j), at(j + 1));
                if (swaps)
                    swaps->push_back(j);
                if (moved == j + 1)
                    moved = j;
                else if (moved == j)
                    moved = j + 1;
            }
        }
        return moved;
    }

    // Takes back resort(position) that made `swaps`: the entry it moved stands at `position`
    // again and every other entry where it was.
    void unresort(int position, const std::vector<int>& swaps) {
        for (auto j = swaps.rbegin(); j != swaps.rend(); ++j)
            std::swap(at(*j), at(*j + 1));
        std::rotate(records.begin() + position, records.begin() + count - 1,
                    records.begin() + count);
    }

    // Removes the stored entry at `position`; the ones after it move down and the array keeps
    // its size. A selected entry lowers the selected count too. False, and nothing removed,
    // when the position holds no stored entry (a new one not yet stored, an empty array).
    bool remove(int position) {
        if (!holdsEntry(position))
            return false;
        if (at(position).selected != 0 && selCount > 0)
            --selCount;
        std::rotate(records.begin() + position, records.begin() + position + 1,
                    records.begin() + count);
        at(count - 1) = Record();
        --count;
        if (current > 0)
            --current;
        return true;
    }
};

inline EntryArray<PersonRecord> peopleArray(Dataset& ds) {
    return {ds.people, ds.numPeople, ds.numSelPeople, ds.curPerson};
}
inline EntryArray<EventRecord> eventsArray(Dataset& ds) {
    return {ds.events, ds.numEvents, ds.numSelEvents, ds.curEvent};
}
template <typename Record> EntryArray<Record> entriesOf(Dataset& ds) {
    if constexpr (std::is_same_v<Record, PersonRecord>)
        return peopleArray(ds);
    else
        return eventsArray(ds);
}

// Where an entry at position i stands after another entry moved from `from` to `to`.
int positionAfterMove(int i, int from, int to);

// A picture name or link is there when it sorts after a single blank: an empty text, a blank,
// or one beginning with a control character count as none.
inline bool textPresent(std::string_view text) {
    return text > std::string_view(" ");
}

// One line of an entry window's name list: "-44 Caesar *IMG* <URL>".
template <typename Record> std::string nameListItem(const Record& r) {
    std::string item = plainNumber(r.date1) + " " + r.name;
    if (textPresent(r.imgName))
        item += " *IMG*";
    if (textPresent(r.url))
        item += " <URL>";
    return item;
}

} // namespace tess
