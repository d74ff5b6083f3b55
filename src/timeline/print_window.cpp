#include "timeline/print_window.h"

#include "timeline/chart_printing.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"
#include "ui/named.h"
#include "ui/tab_order.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace tess {

PrintTimelineWindow::PrintTimelineWindow(AppState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("PrintTline"));
    ui::tabInReadingOrderWhenShown(*this);
    setWindowTitle(QStringLiteral("Timeline Print"));
    auto* layout = new QVBoxLayout(this);
    auto* years = new QHBoxLayout();
    auto* yearsLabel =
        ui::named(new QLabel(QStringLiteral("Number of years / line"), this), "Label1");
    yearsPerLineBox_ = ui::named(new QLineEdit(this), "Text1");
    years->addWidget(yearsLabel);
    years->addWidget(yearsPerLineBox_);
    layout->addLayout(years);
    auto* rangeFrame = ui::named(new QGroupBox(QStringLiteral(" "), this), "Frame1");
    auto* range = new QGridLayout(rangeFrame);
    auto* startLabel = ui::named(new QLabel(QStringLiteral("Start Year"), rangeFrame), "Label2");
    startYearBox_ = ui::named(new QLineEdit(rangeFrame), "Text4");
    auto* endLabel = ui::named(new QLabel(QStringLiteral("End Year"), rangeFrame), "Label3");
    endYearBox_ = ui::named(new QLineEdit(rangeFrame), "Text5");
    range->addWidget(startLabel, 0, 0);
    range->addWidget(startYearBox_, 0, 1);
    range->addWidget(endLabel, 1, 0);
    range->addWidget(endYearBox_, 1, 1);
    layout->addWidget(rangeFrame);
    auto* buttons = new QHBoxLayout();
    auto* okButton = ui::named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    auto* cancelButton = ui::named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    okButton->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    yearsPerLineBox_->installEventFilter(this);
    connect(okButton, &QPushButton::clicked, this, &PrintTimelineWindow::cmdOK_Click);
    connect(cancelButton, &QPushButton::clicked, this, &PrintTimelineWindow::cmdCancel_Click);
    Form_Load();
}

void PrintTimelineWindow::Form_Load() {
    startYearBox_->setText(QString::number(state_.dataset.earliestDate));
    endYearBox_->setText(QString::number(state_.dataset.latestDate));
    yearsPerLineBox_->setText(QStringLiteral("80"));
    adjustSize();
    ui::centerForm(*this);
}

void PrintTimelineWindow::Text1_LostFocus() {
    yearsPerLineBox_->setText(
        QString::fromStdString(yearsPerStripRule(yearsPerLineBox_->text().toStdString())));
}

bool PrintTimelineWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == yearsPerLineBox_ && event->type() == QEvent::FocusOut)
        Text1_LostFocus();
    return QDialog::eventFilter(watched, event);
}

void PrintTimelineWindow::cmdOK_Click() {
    const Dataset& ds = state_.dataset;
    const std::string problem =
        printRangeProblem({yearsPerLineBox_->text().toStdString(),
                           startYearBox_->text().toStdString(), endYearBox_->text().toStdString()},
                          ds.earliestDate, ds.latestDate);
    // Reversed years are a slip to correct here, not a range to guess at.
    if (!problem.empty()) {
        state_.dialogs.message(QString::fromStdString(problem));
        startYearBox_->setFocus();
        return;
    }
    accept();
}

void PrintTimelineWindow::cmdCancel_Click() {
    yearsPerLineBox_->setText(QStringLiteral("0"));
    reject();
}

void PrintTimelineWindow::done(int result) {
    // Enter in the years box presses OK without the box losing the focus; its rule runs first.
    if (result == Accepted && yearsPerLineBox_->hasFocus())
        Text1_LostFocus();
    // Closed by the window's frame or Escape, it counts as Cancel: nothing prints.
    if (result != Accepted)
        yearsPerLineBox_->setText(QStringLiteral("0"));
    Form_Unload();
    QDialog::done(result);
}

void PrintTimelineWindow::Form_Unload() {
    state_.timelinePrint.yearsPerLine = yearsPerLineBox_->text().toStdString();
    state_.timelinePrint.startYear = startYearBox_->text().toStdString();
    state_.timelinePrint.endYear = endYearBox_->text().toStdString();
}

void printChartAsAsked(AppState& state, QWidget* parent, const std::vector<ChartLine>& lines) {
    if (!state.openPrinter)
        return;
    const Dataset& ds = state.dataset;
    const TimelinePrintSettings& settings = state.timelinePrint;
    if (askedYearsPerStrip(settings.yearsPerLine) < 10) // cancelled
        return;
    // A long print can be stopped between pages. The progress is modal for the whole program:
    // nothing may close the window, replace its chart or start another print meanwhile.
    QProgressDialog progress(QStringLiteral("Printing the chart..."), QStringLiteral("Cancel"), 0,
                             0, parent);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    // A window closed meanwhile takes its chart with it.
    const QPointer<QWidget> alive(parent);
    auto keepPrinting = [&progress, &alive, parent](int pages) {
        progress.setLabelText(QStringLiteral("Printing the chart: page %1").arg(pages + 1));
        progress.setValue(0);
        QCoreApplication::processEvents();
        return (!parent || alive) && !progress.wasCanceled();
    };
    try {
        std::unique_ptr<Printer> printer = state.openPrinter(ds.encoding);
        if (!printer) // the choice of a PDF file's name was cancelled
            return;
        const TimelinePrintOutcome done = printTimeline(
            *printer, lines, ds.encoding, ds.earliestDate, ds.latestDate,
            {settings.yearsPerLine, settings.startYear, settings.endYear}, keepPrinting);
        progress.close();
        if (!done.stopped)
            state.dialogs.message(QString::fromStdString(stripsPrintedMessage(done, "\r\n")));
    } catch (const PrintError& e) {
        progress.close();
        state.dialogs.message(QString::fromUtf8(e.what()));
    }
}

} // namespace tess
