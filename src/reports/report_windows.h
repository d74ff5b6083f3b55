#pragma once

#include "reports/report_text.h"
#include "state/app_state.h"
#include "ui/chart_view.h"

#include <QDialog>

#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace tess {

// rpt1, the report writer: a listing of the people or the events within a range of years, in
// fixed-width columns chosen with check boxes. It only reads the dataset.
class ReportWriter : public QDialog {
    Q_OBJECT
public:
    explicit ReportWriter(AppState& state, QWidget* parent = nullptr);

    // The resize rule for a window of this outer size in twips.
    void fitText(const QRect& outerTwips);

public slots:
    void Form_Load();
    void Form_Resize();
    void date1_LostFocus();
    void date2_LostFocus();
    void cmdOK_Click();
    void cmdCancel_Click() { reject(); }
    void mnuPrint_Click();

    // Puts the whole report on the clipboard (Ctrl+C in the report, or its context menu).
    void copyReport();

    // The report as last built, as it is printed.
    const std::string& text() const { return text_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppState& state_;
    std::string text_;

    QAction* printAction_ = nullptr;
    QAction* exportAction_ = nullptr; // the text as a .txt file, shown with Print
    // The listing can run to 32767 lines of hundreds of characters: it is shown by the view
    // that paints only the rows in sight.
    ChartView* reportView_ = nullptr;
    QWidget* optionsStrip_ = nullptr;
    QCheckBox* datesCheck_ = nullptr;
    QCheckBox* groupingsCheck_ = nullptr;
    QCheckBox* descriptionsCheck_ = nullptr;
    QCheckBox* imageCheck_ = nullptr;
    QCheckBox* urlCheck_ = nullptr;
    QCheckBox* urlOnlyCheck_ = nullptr;
    QRadioButton* peopleOption_ = nullptr;
    QLineEdit* startYearBox_ = nullptr;
    QLineEdit* endYearBox_ = nullptr;
};

// AgeReport and inMyLife: a list of the selected events (or people) to choose from, and the
// report on the chosen one. One class, two kinds.
class ChoiceReport : public QDialog {
    Q_OBJECT
public:
    enum class Kind { age, inMyLife };
    ChoiceReport(AppState& state, Kind kind, QWidget* parent = nullptr);

    void fitText(const QRect& outerTwips);
    // The position in its array of the entry behind list entry k.
    int recordOf(int k) const { return indexes_.at(static_cast<size_t>(k)); }
    // The report last built, as the dataset's bytes.
    const std::string& text() const { return text_; }

public slots:
    void Form_Load();
    void Form_Resize();
    void Combo1_Click(int k);
    void mnuPrint_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    AppState& state_;
    Kind kind_;
    std::vector<int> indexes_;
    std::string text_;

    QAction* printAction_ = nullptr;
    QAction* exportAction_ = nullptr; // the text as a .txt file, shown with Print
    QLabel* promptLabel_ = nullptr;
    QComboBox* choiceBox_ = nullptr;
    QPlainTextEdit* reportView_ = nullptr;
};

} // namespace tess
