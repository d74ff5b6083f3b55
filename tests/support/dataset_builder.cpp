#include "support/dataset_builder.h"

#include <algorithm>

namespace testing_support {

using namespace tess;

DatasetBuilder& DatasetBuilder::person(const std::string& name, int date1, int date2, int faction,
                                       int occupation, int priority, int date1Type, int date2Type) {
    PersonRecord p;
    p.name = name;
    p.date1 = static_cast<int16_t>(date1);
    p.date2 = static_cast<int16_t>(date2);
    p.date1Type = static_cast<int16_t>(date1Type);
    p.date2Type = static_cast<int16_t>(date2Type);
    p.faction = static_cast<int16_t>(faction);
    p.occupation = static_cast<int16_t>(occupation);
    p.priority = static_cast<int16_t>(priority);
    ds_.people.push_back(p);
    ds_.numPeople = static_cast<int>(ds_.people.size());
    return *this;
}

DatasetBuilder& DatasetBuilder::event(const std::string& name, int date1, int date2, int group,
                                      int nation1, int nation2, int priority, int date1Type,
                                      int date2Type) {
    EventRecord e;
    e.name = name;
    e.date1 = static_cast<int16_t>(date1);
    e.date2 = static_cast<int16_t>(date2);
    e.date1Type = static_cast<int16_t>(date1Type);
    e.date2Type = static_cast<int16_t>(date2Type);
    e.group = static_cast<int16_t>(group);
    e.nation1 = static_cast<int16_t>(nation1);
    e.nation2 = static_cast<int16_t>(nation2);
    e.priority = static_cast<int16_t>(priority);
    ds_.events.push_back(e);
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
    for (auto& p : ds.people) {
        p.selected = 1;
        ds.earliestDate = std::min<int>(ds.earliestDate, p.date1);
        ds.latestDate = std::max<int>(ds.latestDate, p.date2);
    }
    for (auto& e : ds.events) {
        e.selected = 1;
        ds.earliestDate = std::min<int>(ds.earliestDate, e.date1);
        ds.latestDate = std::max<int>(ds.latestDate, e.date2);
    }
    ds.numSelPeople = static_cast<int16_t>(ds.numPeople);
    ds.numSelEvents = static_cast<int16_t>(ds.numEvents);
    ds.selStart = ds.earliestDate;
    ds.selEnd = ds.latestDate;
    ds.selPriority = 9;
    ds.loaded = true;
    return ds;
}

} // namespace testing_support
