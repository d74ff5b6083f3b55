#pragma once

#include "core/dataset.h"

namespace tess {

// Sets every person's selected flag from the selection state and counts them into
// numSelPeople. A person with no faction (below 1) is given faction 1 on the way.
void applyPeopleSelection(Dataset& ds);
// The same for events: either nation included, the group included, priority and dates.
void applyEventSelection(Dataset& ds);

// Sets the include flags 1..count of one table to one value.
void setAllIncluded(CategoryTable& table, bool included);

} // namespace tess
