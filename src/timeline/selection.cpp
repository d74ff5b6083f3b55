#include "timeline/selection.h"

namespace tess {

namespace {
template <typename Record> bool inRange(const Dataset& ds, const Record& r) {
    // Only entries wholly inside the range pass, not those that merely overlap it.
    return r.priority <= ds.selPriority && r.date1 >= ds.selStart && r.date2 <= ds.selEnd;
}
} // namespace

void applyPeopleSelection(Dataset& ds) {
    int count = 0;
    for (int i = 0; i < ds.numPeople; ++i) {
        PersonRecord& p = ds.people[static_cast<size_t>(i)];
        if (p.faction < 1)
            p.faction = 1;
        // An index beyond its table has no include flag, so such an entry is not shown.
        const bool passes = inRange(ds, p) && ds.factions.included(p.faction) &&
                            ds.occupations.included(p.occupation);
        p.selected = passes ? boolTrue : boolFalse;
        count += passes ? 1 : 0;
    }
    ds.numSelPeople = static_cast<int16_t>(count);
}

void applyEventSelection(Dataset& ds) {
    int count = 0;
    for (int i = 0; i < ds.numEvents; ++i) {
        EventRecord& e = ds.events[static_cast<size_t>(i)];
        const bool passes = (ds.nations.included(e.nation1) || ds.nations.included(e.nation2)) &&
                            inRange(ds, e) && ds.groups.included(e.group);
        e.selected = passes ? boolTrue : boolFalse;
        count += passes ? 1 : 0;
    }
    ds.numSelEvents = static_cast<int16_t>(count);
}

void setAllIncluded(CategoryTable& table, bool included) {
    for (int k = 1; k <= table.count; ++k)
        table.include[static_cast<size_t>(k)] = included ? boolTrue : boolFalse;
}

} // namespace tess
