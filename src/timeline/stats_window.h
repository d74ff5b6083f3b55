#pragma once

#include "core/dataset.h"

#include <QDialog>

class QLabel;

namespace tess {

// curStats: what the open dataset holds, what is selected, and the chart range. Built afresh
// at every opening; it only reads.
class StatsWindow : public QDialog {
    Q_OBJECT
public:
    explicit StatsWindow(const Dataset& ds, QWidget* parent = nullptr);

public slots:
    void Form_Load();
    void Command1_Click() { accept(); }

private:
    const Dataset& ds_;

    QLabel* fileNameLabel_ = nullptr;
    QLabel* peopleLabel_ = nullptr;
    QLabel* eventsLabel_ = nullptr;
    QLabel* factionsLabel_ = nullptr;
    QLabel* occupationsLabel_ = nullptr;
    QLabel* groupsLabel_ = nullptr;
    QLabel* nationsLabel_ = nullptr;
    QLabel* dateRangeLabel_ = nullptr;
};

} // namespace tess
