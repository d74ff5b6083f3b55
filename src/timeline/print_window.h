#pragma once

#include "state/app_state.h"
#include "timeline/chart.h"

#include <vector>

#include <QDialog>

class QLineEdit;

namespace tess {

// PrintTline: how many years each printed strip of a chart holds, and which years to print.
// Its fields go to the timeline print settings when it closes.
class PrintTimelineWindow : public QDialog {
    Q_OBJECT
public:
    explicit PrintTimelineWindow(AppState& state, QWidget* parent = nullptr);

public slots:
    void Form_Load();
    void Text1_LostFocus();
    void cmdOK_Click();
    void cmdCancel_Click();
    void Form_Unload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    AppState& state_;

    QLineEdit* yearsPerLineBox_ = nullptr;
    QLineEdit* startYearBox_ = nullptr;
    QLineEdit* endYearBox_ = nullptr;
};

// Prints a chart as the Timeline Print window left its fields, on the printer chosen, with a
// progress that can stop it between pages; then says how many strips went and why they are
// narrower than asked, or why nothing printed.
void printChartAsAsked(AppState& state, QWidget* parent, const std::vector<ChartLine>& lines);

} // namespace tess
