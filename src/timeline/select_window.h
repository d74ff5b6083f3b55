#pragma once

#include "state/app_state.h"
#include "timeline/timeline_window.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tess {

// pselect ("Select People") and eselect ("Select Events"): the date range, priority limit,
// included categories and colouring of one timeline. Changes made with the colouring options,
// the priority box and the All, No and Reset buttons take effect at once, Cancel or not.
class SelectWindow : public QDialog {
    Q_OBJECT
public:
    SelectWindow(AppState& state, Side side, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* date1 = nullptr;
    QLineEdit* date2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QListWidget* List1 = nullptr;   // occupations or groups
    QListWidget* List2 = nullptr;   // factions or nations
    QPushButton* cmdAll2 = nullptr; // cmdallFactions / cmdallNations
    QPushButton* cmdNo2 = nullptr;  // cmdNoFactions / cmdNoNations
    QPushButton* cmdAll1 = nullptr; // cmdallocc / cmdallgroup
    QPushButton* cmdNo1 = nullptr;  // cmdnoocc / cmdNoGroups
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* Command1 = nullptr;

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
    CategoryTable& table1(); // shown in List1
    CategoryTable& table2(); // shown in List2
    void fillList(QListWidget* list, const CategoryTable& table);
    void setAll(QListWidget* list, CategoryTable& table, bool included);
    // The include flags from a list's selection.
    void takeList(QListWidget* list, CategoryTable& table);
    int16_t& colorBy();

    AppState& state_;
    Side side_;
};

} // namespace tess
