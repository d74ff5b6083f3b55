#pragma once

#include "core/dataset.h"

#include <string>
#include <vector>

namespace tess {

// The texts of the statistics window, in the order it shows them.
struct StatisticsLines {
    std::string fileName;
    std::string people;
    std::string events;
    std::string factions;
    std::string occupations;
    std::string groups;
    std::string nations;
    std::string dateRange;

    // All lines, file name first.
    std::vector<std::string> all() const;
};

StatisticsLines statisticsLines(const Dataset& ds);

} // namespace tess
