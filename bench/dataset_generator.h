#pragma once

#include "core/dataset.h"

#include <cstdint>

namespace bench_support {

// A realistic dataset of the largest size the format allows: 32767 people and 32767 events
// with names and descriptions of natural length, dates over about 6000 years (BCE included),
// all three date kinds, priorities 1 to 9, pictures and links on some entries, and 50 to 200
// categories per table. The same seed always gives the same dataset.
tess::Dataset makeMaximalDataset(uint32_t seed = 20261206, int people = tess::maxEntries,
                                 int events = tess::maxEntries);

// The widest charts the format allows: 32767 people and 32767 events whose dates spread over
// the whole 16-bit year range, -32768 to 32767, many spanning tens of thousands of years, with
// short names and no descriptions (about 4.6 MB on disk). Its chart lines run to 65,000
// characters, so it shows whether chart memory grows with line width.
tess::Dataset makeWideSpanDataset(uint32_t seed = 20261206);

// Gives every category table `count` categories, the include flags alternating so that a list
// of them has as many separate runs of selected entries as it can.
void setCategoryTables(tess::Dataset& ds, int count);

} // namespace bench_support
