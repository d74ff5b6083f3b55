#pragma once

#include "core/dataset.h"

#include <string>

namespace tess {

// One change to the dataset that can be made, taken back and made again. A window builds it
// from what the user asked for, without touching the dataset; its first redo makes it, and
// after that undo and redo are only ever called in turn.
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
// another encoding): it holds the dataset as it is to become, and undo and redo trade places
// with it.
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
