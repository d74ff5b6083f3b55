#pragma once

#include "core/dataset_change.h"

#include <QObject>
#include <QUndoStack>

#include <memory>
#include <string>
#include <vector>

namespace tess {

// The undo history of the dataset: every change to it is pushed here and made by its command,
// the first time as on every redo, and undo and redo run through it. The dataset counts as modified
// exactly when it differs from the state last opened or saved.
class EditHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int limit = 100;

    explicit EditHistory(Dataset& dataset);

    QUndoStack& stack() { return stack_; }
    // Makes the change and keeps it for undo; it counts as unsaved. Nothing for a null change.
    void push(std::unique_ptr<DatasetChange> change);
    // The changes pushed between these are one step to undo, under the caption given.
    void beginGroup(const std::string& caption);
    void endGroup();
    // Typed texts (UTF-8) that the dataset's Windows-1252 cannot hold are not cut to question
    // marks: when there are any, this begins a group under the caption and pushes into it the
    // change that makes the whole dataset UTF-8, every text kept, and returns true; the caller
    // then makes its edit and ends the group, so that the two are one step to undo.
    bool makeRoomFor(const std::vector<std::string>& texts, const std::string& caption);
    void undo();
    void redo();
    // A dataset was opened (or converted): no history, and it is in its saved state unless it
    // starts modified (recovered changes).
    void startAfresh();
    // The whole dataset reached its file.
    void markSaved();

signals:
    // Every change to the dataset passes here: one recorded, undone or redone. Windows showing
    // the dataset show it again; stepped is true for an undo or a redo, which no window made.
    void datasetChanged(bool stepped);

private:
    // A change made outside the history (the back colour, say) means no undo reaches the saved
    // state again.
    void noteChangesOutside();
    void step(bool back);

    Dataset& dataset_;
    QUndoStack stack_;
    int groups_ = 0;
};

} // namespace tess
