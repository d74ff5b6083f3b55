#include "timeline/print_window.h"

#include "timeline/chart_printing.h"
#include "ui/geometry.h"
#include "ui/named.h"
#include "ui/tab_order.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
    Label1 = ui::named(new QLabel(QStringLiteral("Number of years / line"), this), "Label1");
    Text1 = ui::named(new QLineEdit(this), "Text1");
    years->addWidget(Label1);
    years->addWidget(Text1);
    layout->addLayout(years);
    Frame1 = ui::named(new QGroupBox(QStringLiteral(" "), this), "Frame1");
    auto* range = new QGridLayout(Frame1);
    Label2 = ui::named(new QLabel(QStringLiteral("Start Year"), Frame1), "Label2");
    Text4 = ui::named(new QLineEdit(Frame1), "Text4");
    Label3 = ui::named(new QLabel(QStringLiteral("End Year"), Frame1), "Label3");
    Text5 = ui::named(new QLineEdit(Frame1), "Text5");
    range->addWidget(Label2, 0, 0);
    range->addWidget(Text4, 0, 1);
    range->addWidget(Label3, 1, 0);
    range->addWidget(Text5, 1, 1);
    layout->addWidget(Frame1);
    auto* buttons = new QHBoxLayout();
    cmdOK = ui::named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdCancel = ui::named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    cmdOK->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    Text1->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &PrintTimelineWindow::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &PrintTimelineWindow::cmdCancel_Click);
    Form_Load();
}

void PrintTimelineWindow::Form_Load() {
    Text4->setText(QString::number(state_.dataset.earliestDate));
    Text5->setText(QString::number(state_.dataset.latestDate));
    Text1->setText(QStringLiteral("80"));
    adjustSize();
    ui::centerForm(*this);
}

void PrintTimelineWindow::Text1_LostFocus() {
    Text1->setText(QString::fromStdString(yearsPerStripRule(Text1->text().toStdString())));
}

bool PrintTimelineWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::FocusOut)
        Text1_LostFocus();
    return QDialog::eventFilter(watched, event);
}

void PrintTimelineWindow::cmdCancel_Click() {
    Text1->setText(QStringLiteral("0"));
    reject();
}

void PrintTimelineWindow::done(int result) {
    // Enter in the years box presses OK without the box losing the focus; its rule runs first.
    if (result == Accepted && Text1->hasFocus())
        Text1_LostFocus();
    // Closed by the window's frame or Escape, it counts as Cancel: nothing prints.
    if (result != Accepted)
        Text1->setText(QStringLiteral("0"));
    Form_Unload();
    QDialog::done(result);
}

void PrintTimelineWindow::Form_Unload() {
    state_.timelinePrint.yearsPerLine = Text1->text().toStdString();
    state_.timelinePrint.startYear = Text4->text().toStdString();
    state_.timelinePrint.endYear = Text5->text().toStdString();
}

} // namespace tess
