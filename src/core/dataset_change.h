#pragma once

#include "core/dataset.h"

#include <string>

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

// A name from the dataset, in UTF-8 and cut short, for a change's caption.
std::string captionName(const std::string& bytes, TextEncoding encoding);

} // namespace tess
