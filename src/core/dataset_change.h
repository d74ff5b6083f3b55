#pragma once

#include "core/dataset.h"

#include <memory>
#include <string>
#include <vector>

namespace tess {

// One change to the dataset that can be taken back and made again. A change is recorded after
// the command that made it has run, holding what it needs to go either way; undo and redo are
// only ever called in turn, undo first.
class DatasetChange {
public:
    explicit DatasetChange(std::string caption) : caption_(std::move(caption)) {}
    virtual ~DatasetChange() = default;
    DatasetChange(const DatasetChange&) = delete;
    DatasetChange& operator=(const DatasetChange&) = delete;

    virtual void undo(Dataset& ds) = 0;
    virtual void redo(Dataset& ds) = 0;
    // What the change did, for the Edit menu ("Delete Caesar"), in UTF-8.
    const std::string& caption() const { return caption_; }

private:
    std::string caption_;
};

// A change whose other side is the whole dataset (a merge, which may also bring every text to
// another encoding): the dataset before it is kept, and undo and redo trade places with it.
// The file name and whether the dataset counts as loaded stay with the dataset in memory.
class WholeDatasetChange : public DatasetChange {
public:
    WholeDatasetChange(std::string caption, Dataset other)
        : DatasetChange(std::move(caption)), other_(std::move(other)) {}
    void undo(Dataset& ds) override { trade(ds); }
    void redo(Dataset& ds) override { trade(ds); }

private:
    void trade(Dataset& ds);
    Dataset other_;
};

// Several changes made by one command (a category added for the entry being stored, and the
// entry), taken back and made again as one: undone last first.
class ChangeGroup : public DatasetChange {
public:
    ChangeGroup(std::string caption, std::vector<std::unique_ptr<DatasetChange>> parts)
        : DatasetChange(std::move(caption)), parts_(std::move(parts)) {}
    void undo(Dataset& ds) override {
        for (auto it = parts_.rbegin(); it != parts_.rend(); ++it)
            (*it)->undo(ds);
    }
    void redo(Dataset& ds) override {
        for (auto& part : parts_)
            part->redo(ds);
    }

private:
    std::vector<std::unique_ptr<DatasetChange>> parts_;
};

// A name from the dataset, in UTF-8 and cut short, for a change's caption.
std::string captionName(const std::string& bytes, TextEncoding encoding);

} // namespace tess
