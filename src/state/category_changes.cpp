#include "state/category_changes.h"

namespace tess {

namespace {

// Calls f with every entry field that names a category of the kind, in a fixed order.
template <typename DatasetRef, typename F>
void forEachField(DatasetRef& ds, CategoryKind kind, F f) {
    const bool people = kind == kindFactions || kind == kindOccupations;
    const size_t n =
        people ? std::min(static_cast<size_t>(std::max(ds.numPeople, 0)), ds.people.size())
               : std::min(static_cast<size_t>(std::max(ds.numEvents, 0)), ds.events.size());
    for (size_t i = 0; i < n; ++i) {
        switch (kind) {
        case kindFactions:
            f(ds.people[i].faction);
            break;
        case kindOccupations:
            f(ds.people[i].occupation);
            break;
        case kindGroups:
            f(ds.events[i].group);
            break;
        case kindNations:
            f(ds.events[i].nation1);
            f(ds.events[i].nation2);
            break;
        }
    }
}

std::vector<int16_t> fieldsOf(const Dataset& ds, CategoryKind kind) {
    std::vector<int16_t> fields;
    forEachField(ds, kind, [&](int16_t v) { fields.push_back(v); });
    return fields;
}

class CategoryChange : public DatasetChange {
public:
    CategoryChange(std::string caption, const CategorySnapshot& before,
                   const CategorySnapshot& after)
        : DatasetChange(std::move(caption)), kind_(before.kind), countBefore_(before.table.count),
          countAfter_(after.table.count),
          names_(VectorDiff<std::string>::between(before.table.names, after.table.names)),
          colors_(VectorDiff<int32_t>::between(before.table.colors, after.table.colors)),
          include_(VectorDiff<int16_t>::between(before.table.include, after.table.include)),
          fields_(VectorDiff<int16_t>::between(before.fields, after.fields)) {}

    bool empty() const {
        return countBefore_ == countAfter_ && names_.empty() && colors_.empty() &&
               include_.empty() && fields_.empty();
    }
    void undo(Dataset& ds) override { apply(ds, false); }
    void redo(Dataset& ds) override { apply(ds, true); }

private:
    void apply(Dataset& ds, bool forward) {
        CategoryTable& t = ds.table(kind_);
        t.count = forward ? countAfter_ : countBefore_;
        names_.apply(t.names, forward);
        colors_.apply(t.colors, forward);
        include_.apply(t.include, forward);
        // The entries are the same ones on both sides; only some of their fields differ.
        std::vector<int16_t> fields = fieldsOf(ds, kind_);
        fields_.apply(fields, forward);
        size_t i = 0;
        forEachField(ds, kind_, [&](int16_t& v) { v = fields[i++]; });
    }

    CategoryKind kind_;
    int16_t countBefore_, countAfter_;
    VectorDiff<std::string> names_;
    VectorDiff<int32_t> colors_;
    VectorDiff<int16_t> include_, fields_;
};

} // namespace

CategorySnapshot::CategorySnapshot(const Dataset& ds, CategoryKind of)
    : kind(of), table(ds.table(of)), fields(fieldsOf(ds, of)) {}

void CategorySnapshot::applyTo(Dataset& ds) const {
    ds.table(kind) = table;
    size_t i = 0;
    forEachField(ds, kind, [&](int16_t& v) {
        if (i < fields.size())
            v = fields[i++];
    });
}

std::unique_ptr<DatasetChange> categoryChange(std::string caption, const CategorySnapshot& before,
                                              const CategorySnapshot& after) {
    auto change = std::make_unique<CategoryChange>(std::move(caption), before, after);
    if (change->empty())
        return nullptr;
    return change;
}

} // namespace tess
