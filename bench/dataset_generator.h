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

} // namespace bench_support
