#pragma once

#include "core/dataset_change.h"
#include "entry/entry_records.h"

#include <optional>
#include <vector>

namespace tess {

// An entry stored from an entry window: changed where it stood, or added from the spare
// position, and then (when its first date changed) moved to its place in date order, where it
// becomes current. Holds the entry before and after, and the swaps of the last move.
template <typename Record> class EntryStoredChange : public DatasetChange {
public:
    struct Facts {
        int position = 0;             // where it was stored; the spare position for a new one
        std::optional<Record> before; // none for an entry added
        Record after;                 // as stored, before the move
        bool resorted = false;
        std::vector<int> swaps; // made by redo
        int16_t currentBefore = 0;
        int16_t currentAfter = 0; // where no move is made
    };
    EntryStoredChange(std::string caption, Facts facts)
        : DatasetChange(std::move(caption)), f_(std::move(facts)) {}

    // Whether an entry is selected is Select's business, not the store's: an entry taken back
    // or made again keeps the selection it has now, and the selected count follows it.
    void undo(Dataset& ds) override {
        EntryArray<Record> a = entriesOf<Record>(ds);
        if (f_.resorted)
            a.unresort(f_.position, f_.swaps);
        Record& r = a.at(f_.position);
        if (f_.before) {
            const int16_t selected = r.selected;
            r = *f_.before;
            r.selected = selected;
        } else {
            if (r.selected != 0 && a.selCount > 0)
                --a.selCount;
            r = Record();
            --a.count;
        }
        a.current = f_.currentBefore;
    }
    void redo(Dataset& ds) override {
        EntryArray<Record> a = entriesOf<Record>(ds);
        if (f_.before) {
            const int16_t selected = a.at(f_.position).selected;
            a.at(f_.position) = f_.after;
            a.at(f_.position).selected = selected;
        } else {
            a.ensureSpare();
            a.at(a.count) = f_.after;
            a.append();
        }
        a.current = f_.currentAfter;
        if (f_.resorted) {
            f_.swaps.clear();
            a.current = static_cast<int16_t>(a.resort(f_.position, &f_.swaps));
        }
    }

private:
    Facts f_;
};

// An entry deleted: it goes back to its position, counted as selected if it was.
template <typename Record> class EntryDeletedChange : public DatasetChange {
public:
    EntryDeletedChange(std::string caption, int position, Record removed, int16_t currentBefore,
                       int16_t currentAfter)
        : DatasetChange(std::move(caption)), position_(position), removed_(std::move(removed)),
          currentBefore_(currentBefore), currentAfter_(currentAfter) {}

    void undo(Dataset& ds) override {
        EntryArray<Record> a = entriesOf<Record>(ds);
        a.ensureSpare();
        // The position the removal emptied at the end comes back in front of the entries that
        // moved down.
        std::rotate(a.records.begin() + position_, a.records.begin() + a.count,
                    a.records.begin() + a.count + 1);
        a.at(position_) = removed_;
        ++a.count;
        a.ensureSpare();
        if (removed_.selected != 0)
            a.selCount = static_cast<int16_t>(std::min(a.selCount + 1, maxEntries));
        a.current = currentBefore_;
    }
    void redo(Dataset& ds) override {
        EntryArray<Record> a = entriesOf<Record>(ds);
        a.remove(position_);
        a.current = currentAfter_;
    }

private:
    int position_;
    Record removed_;
    int16_t currentBefore_, currentAfter_;
};

} // namespace tess
