#pragma once

#include "core/dataset.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tess {

// curStats: what the open dataset holds, what is selected, and the chart range. Built afresh
// at every opening; it only reads.
class StatsWindow : public QDialog {
    Q_OBJECT
public:
    explicit StatsWindow(const Dataset& ds, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Command1 = nullptr;

public slots:
    void Form_Load();
    void Command1_Click() { accept(); }

private:
    const Dataset& ds_;
};

} // namespace tess
