#pragma once

#include "core/dataset_change.h"
#include "entry/entry_records.h"

#include <optional>
#include <vector>

namespace tess {

// An entry stored from an entry window: changed where it stood, or added from the spare
// position, and then (when its first date changed) moved to its place in date order. Holds the
// entry before and after, and the swaps of the move.
template <typename Record> class EntryStoredChange : public DatasetChange {
public:
    struct Facts {
        int position = 0;             // where it was stored; the spare position for a new one
        std::optional<Record> before; // none for an entry added
        Record after;                 // as stored, before the move
        bool resorted = false;
        std::vector<int> swaps;
        int16_t selCountBefore = 0;
        int16_t currentBefore = 0;
        int16_t currentAfter = 0;
    };
    EntryStoredChange(std::string caption, Facts facts)
        : DatasetChange(std::move(caption)), f_(std::move(facts)) {}

    void undo(Dataset& ds) override {
        EntryArray<Record> a = entriesOf<Record>(ds);
        if (f_.resorted)
            a.unresort(f_.position, f_.swaps);
        if (f_.before) {
            a.at(f_.position) = *f_.before;
        } else {
            a.at(f_.position) = Record();
            --a.count;
        }
        a.selCount = f_.selCountBefore;
        a.current = f_.currentBefore;
    }
    void redo(Dataset& ds) override {
        EntryArray<Record> a = entriesOf<Record>(ds);
        if (f_.before) {
            a.at(f_.position) = f_.after;
        } else {
            a.ensureSpare();
            a.at(a.count) = f_.after;
            a.append();
        }
        if (f_.resorted)
            a.resort(f_.position);
        a.current = f_.currentAfter;
    }

private:
    Facts f_;
};

// An entry deleted: it goes back to its position, and the counts to what they were.
template <typename Record> class EntryDeletedChange : public DatasetChange {
public:
    EntryDeletedChange(std::string caption, int position, Record removed, int16_t selCountBefore,
                       int16_t currentBefore, int16_t currentAfter)
        : DatasetChange(std::move(caption)), position_(position), removed_(std::move(removed)),
          selCountBefore_(selCountBefore), currentBefore_(currentBefore),
          currentAfter_(currentAfter) {}

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
        a.selCount = selCountBefore_;
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
    int16_t selCountBefore_, currentBefore_, currentAfter_;
};

} // namespace tess
