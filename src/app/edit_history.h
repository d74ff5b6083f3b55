#pragma once

#include "core/dataset_change.h"

#include <QObject>
#include <QUndoStack>

#include <memory>

namespace tess {

// The undo history of the dataset: every change the windows make is recorded here after it is
// made, and undo and redo run through it. The dataset counts as modified exactly when it
// differs from the state last opened or saved.
class EditHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int limit = 100;

    explicit EditHistory(Dataset& dataset);

    QUndoStack& stack() { return stack_; }
    // A change already made to the dataset; it counts as unsaved.
    void record(std::unique_ptr<DatasetChange> change);
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
};

} // namespace tess
