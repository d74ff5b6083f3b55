#include "state/edit_history.h"

#include "core/merge.h"
#include "core/text_encoding.h"

#include <QUndoCommand>

#include <algorithm>

namespace tess {

namespace {

class ChangeCommand : public QUndoCommand {
public:
    ChangeCommand(Dataset& dataset, std::unique_ptr<DatasetChange> change)
        : dataset_(dataset), change_(std::move(change)) {
        setText(QString::fromStdString(change_->caption()));
    }
    void undo() override { change_->undo(dataset_); }
    // Also the first time, when the command is pushed: the change is made here and nowhere else.
    void redo() override { change_->redo(dataset_); }

private:
    Dataset& dataset_;
    std::unique_ptr<DatasetChange> change_;
};

} // namespace

EditHistory::EditHistory(Dataset& dataset) : dataset_(dataset) {
    stack_.setUndoLimit(limit);
}

void EditHistory::push(std::unique_ptr<DatasetChange> change) {
    if (!change)
        return;
    stack_.push(new ChangeCommand(dataset_, std::move(change)));
    dataset_.modified = true;
    if (groups_ == 0)
        emit datasetChanged(false);
}

void EditHistory::beginGroup(const std::string& caption) {
    stack_.beginMacro(QString::fromStdString(caption));
    ++groups_;
}

bool EditHistory::makeRoomFor(const std::vector<std::string>& texts, const std::string& caption) {
    if (dataset_.encoding == TextEncoding::utf8 ||
        std::all_of(texts.begin(), texts.end(),
                    [](const std::string& t) { return utf8ToWindows1252Exactly(t).has_value(); }))
        return false;
    beginGroup(caption);
    Dataset wide = dataset_;
    convertToUtf8(wide);
    push(std::make_unique<WholeDatasetChange>("Texts in UTF-8", std::move(wide)));
    return true;
}

void EditHistory::endGroup() {
    stack_.endMacro();
    if (--groups_ == 0)
        emit datasetChanged(false);
}

void EditHistory::undo() {
    step(true);
}

void EditHistory::redo() {
    step(false);
}

void EditHistory::step(bool back) {
    if (!(back ? stack_.canUndo() : stack_.canRedo()))
        return;
    noteChangesOutside();
    if (back)
        stack_.undo();
    else
        stack_.redo();
    dataset_.modified = !stack_.isClean();
    emit datasetChanged(true);
}

void EditHistory::startAfresh() {
    stack_.clear();
    if (dataset_.modified)
        stack_.resetClean();
}

void EditHistory::markSaved() {
    stack_.setClean();
}

void EditHistory::noteChangesOutside() {
    if (dataset_.modified && stack_.isClean())
        stack_.resetClean();
}

} // namespace tess
