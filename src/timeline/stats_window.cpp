#include "timeline/stats_window.h"

#include "timeline/statistics.h"
#include "ui/geometry.h"
#include "ui/tab_order.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tess {

StatsWindow::StatsWindow(const Dataset& ds, QWidget* parent) : QDialog(parent), ds_(ds) {
    setObjectName(QStringLiteral("curStats"));
    ui::tabInReadingOrderWhenShown(*this);
    setWindowTitle(QStringLiteral("Current Timeline Statistics"));
    auto* layout = new QVBoxLayout(this);
    auto label = [&](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(l);
        return l;
    };
    Label1 = label("Label1");
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    big.setBold(true);
    Label1->setFont(big);
    layout->addSpacing(6);
    Label2 = label("Label2");
    Label3 = label("Label3");
    layout->addSpacing(6);
    Label5 = label("Label5");
    Label6 = label("Label6");
    Label7 = label("Label7");
    Label8 = label("Label8");
    layout->addSpacing(6);
    Label4 = label("Label4");
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    connect(Command1, &QPushButton::clicked, this, &StatsWindow::Command1_Click);
    Form_Load();
}

void StatsWindow::Form_Load() {
    const StatisticsLines s = statisticsLines(ds_);
    Label1->setText(QFile::decodeName(QByteArray::fromStdString(s.fileName)));
    Label2->setText(QString::fromStdString(s.people));
    Label3->setText(QString::fromStdString(s.events));
    Label5->setText(QString::fromStdString(s.factions));
    Label6->setText(QString::fromStdString(s.occupations));
    Label7->setText(QString::fromStdString(s.groups));
    Label8->setText(QString::fromStdString(s.nations));
    Label4->setText(QString::fromStdString(s.dateRange));
    adjustSize();
    ui::centerForm(*this);
}

} // namespace tess
