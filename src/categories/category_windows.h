#pragma once

#include "categories/categories.h"
#include "state/app_state.h"

#include <QDialog>

class QComboBox;
class QRadioButton;

namespace tess {

class ChartView;

// editgrp, the category editor: one of the four tables as a coloured list with usage counts;
// a click on a line renames or recolours it, a click on the last line adds a category.
class EditGroupings : public QDialog {
    Q_OBJECT
public:
    explicit EditGroupings(AppState& state, QWidget* parent = nullptr);

    // The counts of the last drawing of the list.
    const UsageCounts& counts() const { return counts_; }

public slots:
    void Form_Load();
    void Option1_Click() { showTable(kindFactions); }
    void Option2_Click() { showTable(kindOccupations); }
    void Option3_Click() { showTable(kindGroups); }
    void Option4_Click() { showTable(kindNations); }
    void Option5_Click() { colorMode_ = false; }
    void Option6_Click() { colorMode_ = true; }
    // L is the clicked line, 1 for the first category, count + 1 for the last line.
    void rtbox1_MouseUp(int L);
    void cmdBkg_Click();
    void cmdConsolidate_Click();
    void cmdPrune_Click();
    void cmdOK_Click() { accept(); }

private:
    void showTable(CategoryKind kind);
    void drawList(bool keepPosition = false);

    AppState& state_;
    bool colorMode_ = false;
    int32_t lastColor_ = 0;
    UsageCounts counts_;

    QRadioButton* factionsOption_ = nullptr;
    QRadioButton* nameOption_ = nullptr;
    ChartView* categoryView_ = nullptr;
};

// Consol: joins two categories of the table the editor shows, keeping one and replacing the
// other in every entry.
class Consolidate : public QDialog {
    Q_OBJECT
public:
    explicit Consolidate(AppState& state, QWidget* parent = nullptr);

    int keep() const { return keep_; }
    int replace() const { return replace_; }

public slots:
    void Form_Load();
    void Combo1_Click(int index) { keep_ = index + 1; }
    void Combo1_LostFocus();
    void Combo2_LostFocus();
    void cmdOK_Click();
    void cmdCancel_Click() { reject(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppState& state_;
    int keep_ = 1;
    int replace_ = 1;

    QComboBox* keepBox_ = nullptr;
    QComboBox* replaceBox_ = nullptr;
};

} // namespace tess
