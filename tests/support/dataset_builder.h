#pragma once

#include "core/dataset.h"

#include <string>

namespace testing_support {

// Builds small datasets in code: entries are appended with the fields a test cares about,
// categories with a name and colour, and the counts kept in step.
class DatasetBuilder {
public:
    DatasetBuilder& person(const std::string& name, int date1, int date2, int faction = 1,
                           int occupation = 1, int priority = 1, int date1Type = 0,
                           int date2Type = 0);
    DatasetBuilder& event(const std::string& name, int date1, int date2, int group = 1,
                          int nation1 = 1, int nation2 = 0, int priority = 1, int date1Type = 0,
                          int date2Type = 0);
    DatasetBuilder& category(tess::CategoryKind kind, const std::string& name, int32_t color);
    // Marks everything selected and included and sets the range, as a fresh load does.
    tess::Dataset build() const;

private:
    tess::Dataset ds_;
};

} // namespace testing_support
