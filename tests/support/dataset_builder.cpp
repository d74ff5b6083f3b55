#include "support/dataset_builder.h"

#include <algorithm>
#include <tuple>

namespace testing_support {

using namespace tess;

namespace {
template <class... T> auto small(T... values) {
    return std::tuple(static_cast<int16_t>(values)...);
}
} // namespace

DatasetBuilder& DatasetBuilder::person(const std::string& name, int date1, int date2, int faction,
                                       int occupation, int priority, int date1Type, int date2Type) {
    PersonRecord& p = ds_.people.emplace_back();
    p.name = name;
    std::tie(p.date1, p.date2, p.date1Type, p.date2Type, p.faction, p.occupation, p.priority) =
        small(date1, date2, date1Type, date2Type, faction, occupation, priority);
    ds_.numPeople = static_cast<int>(ds_.people.size());
    return *this;
}

DatasetBuilder& DatasetBuilder::event(const std::string& name, int date1, int date2, int group,
                                      int nation1, int nation2, int priority, int date1Type,
                                      int date2Type) {
    EventRecord& e = ds_.events.emplace_back();
    e.name = name;
    std::tie(e.date1, e.date2, e.date1Type, e.date2Type, e.group, e.nation1, e.nation2,
             e.priority) =
        small(date1, date2, date1Type, date2Type, group, nation1, nation2, priority);
    ds_.numEvents = static_cast<int>(ds_.events.size());
    return *this;
}

DatasetBuilder& DatasetBuilder::category(CategoryKind kind, const std::string& name,
                                         int32_t color) {
    CategoryTable& t = ds_.table(kind);
    t.resize(static_cast<int16_t>(t.count + 1));
    t.names.back() = name;
    t.colors.back() = color;
    t.include.back() = boolTrue;
    return *this;
}

Dataset DatasetBuilder::build() const {
    Dataset ds = ds_;
    ds.earliestDate = 9999;
    ds.latestDate = -25000;
    auto selectAll = [&ds](auto& entries) {
        for (auto& e : entries) {
            e.selected = 1;
            ds.earliestDate = std::min<int>(ds.earliestDate, e.date1);
            ds.latestDate = std::max<int>(ds.latestDate, e.date2);
        }
    };
    selectAll(ds.people);
    selectAll(ds.events);
    ds.numSelPeople = static_cast<int16_t>(ds.numPeople);
    ds.numSelEvents = static_cast<int16_t>(ds.numEvents);
    ds.selStart = ds.earliestDate;
    ds.selEnd = ds.latestDate;
    ds.selPriority = 9;
    ds.loaded = true;
    return ds;
}

} // namespace testing_support
