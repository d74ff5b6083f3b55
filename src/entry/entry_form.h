#pragma once

#include "core/dataset.h"
#include "core/field_rules.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tess {

// An entry window's fields as the user left them, before any rule is applied: texts in the
// dataset's encoding (the priority, dates and sizes as typed), the checked date kinds (-1 for
// none checked, which keeps the stored kind), and the categories the boxes stand for in the
// window's order (faction and occupation; nation1, group and nation2).
struct EntryForm {
    std::string name;
    std::string priority;
    std::string date1, date2;
    int date1Type = -1, date2Type = -1;
    std::array<int16_t, 3> categories{};
    std::string imgName;
    std::string imgSize1, imgSize2;
    std::string url;
    std::string desc;
};

// The category fields of an entry in the order of the window's lists.
inline std::vector<int16_t*> categoryFields(PersonRecord& p) {
    return {&p.faction, &p.occupation};
}
inline std::vector<int16_t*> categoryFields(EventRecord& e) {
    return {&e.nation1, &e.group, &e.nation2};
}

// The record a store makes of the form: the stored entry (or an empty one for a new entry)
// with the form's fields, the priority rule applied, years rounded and held within the typed
// limits, sizes held within 16 bits. What the form does not hold (the selection) is kept.
template <typename Record> Record recordFromForm(Record stored, const EntryForm& form) {
    stored.name = form.name;
    stored.priority = entryPriorityRule(form.priority);
    stored.date1 = storedYear(form.date1);
    stored.date2 = storedYear(form.date2);
    if (form.date1Type >= 0)
        stored.date1Type = static_cast<int16_t>(form.date1Type);
    if (form.date2Type >= 0)
        stored.date2Type = static_cast<int16_t>(form.date2Type);
    const std::vector<int16_t*> fields = categoryFields(stored);
    for (size_t k = 0; k < fields.size(); ++k)
        *fields[k] = form.categories[k];
    stored.imgName = form.imgName;
    stored.imgSize1 = storedNumber(form.imgSize1);
    stored.imgSize2 = storedNumber(form.imgSize2);
    stored.url = form.url;
    stored.desc = form.desc;
    return stored;
}

} // namespace tess
