#pragma once

#include "core/find.h"
#include "state/app_state.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

namespace tess {

// Find: as the user types, the people and events whose name or description holds the text,
// with their kind and years; Enter or a double click chooses one.
class FindWindow : public QDialog {
    Q_OBJECT
public:
    explicit FindWindow(AppState& state, QWidget* parent = nullptr);

    const FindResult& result() const { return result_; }
    // Brought forward to be typed into, the last text selected so that typing replaces it.
    void showForTyping();

signals:
    void entryChosen(bool isEvent, int index);

public slots:
    // The list again for the text in the box (after the dataset changed, say).
    void search();
    // The highlighted row, or the first when none is, is chosen.
    void choose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    AppState& state_;
    QLineEdit* queryBox_ = nullptr;
    QListWidget* matchList_ = nullptr;
    QLabel* countLabel_ = nullptr;
    FindResult result_;
    QString lastQuery_;
};

// One row of the list: "Person  1451 – 1506  Christopher Columbus", in UTF-8, the years in
// the style chosen.
std::string foundEntryRow(const Dataset& ds, const FoundEntry& entry, YearStyle style);

} // namespace tess
