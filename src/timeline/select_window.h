#pragma once

#include "state/app_state.h"
#include "timeline/timeline_window.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QRadioButton;

namespace tess {

// pselect ("Select People") and eselect ("Select Events"): the date range, priority limit,
// included categories and colouring of one timeline. Changes made with the colouring options,
// the priority box and the All, No and Reset buttons take effect at once, Cancel or not.
class SelectWindow : public QDialog {
    Q_OBJECT
public:
    SelectWindow(AppState& state, Side side, QWidget* parent = nullptr);

public slots:
    void Form_Load();
    void Option1_Click();
    void Option2_Click();
    void Text1_Change();
    void date1_LostFocus();
    void date2_LostFocus();
    void cmdReset_Click();
    void cmdOK_Click();
    void Command1_Click() { reject(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CategoryTable& occupationsOrGroups();
    CategoryTable& factionsOrNations();
    void fillList(QListWidget* list, const CategoryTable& table);
    void setAll(QListWidget* list, CategoryTable& table, bool included);
    // The include flags from a list's selection.
    void takeList(QListWidget* list, CategoryTable& table);
    int16_t& colorBy();

    AppState& state_;
    Side side_;

    QLineEdit* priorityBox_ = nullptr;
    QLineEdit* startYearBox_ = nullptr;
    QLineEdit* endYearBox_ = nullptr;
    QRadioButton* factionOrGroupOption_ = nullptr;
    QRadioButton* occupationOrNationOption_ = nullptr;
    QListWidget* occupationOrGroupList_ = nullptr;
    QListWidget* factionOrNationList_ = nullptr;
};

} // namespace tess
