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
    fileNameLabel_ = label("Label1");
    QFont big = fileNameLabel_->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    big.setBold(true);
    fileNameLabel_->setFont(big);
    layout->addSpacing(6);
    peopleLabel_ = label("Label2");
    eventsLabel_ = label("Label3");
    layout->addSpacing(6);
    factionsLabel_ = label("Label5");
    occupationsLabel_ = label("Label6");
    groupsLabel_ = label("Label7");
    nationsLabel_ = label("Label8");
    layout->addSpacing(6);
    dateRangeLabel_ = label("Label4");
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setDefault(true);
    layout->addWidget(okButton, 0, Qt::AlignRight);
    connect(okButton, &QPushButton::clicked, this, &StatsWindow::Command1_Click);
    Form_Load();
}

void StatsWindow::Form_Load() {
    const StatisticsLines s = statisticsLines(ds_);
    fileNameLabel_->setText(QFile::decodeName(QByteArray::fromStdString(s.fileName)));
    peopleLabel_->setText(QString::fromStdString(s.people));
    eventsLabel_->setText(QString::fromStdString(s.events));
    factionsLabel_->setText(QString::fromStdString(s.factions));
    occupationsLabel_->setText(QString::fromStdString(s.occupations));
    groupsLabel_->setText(QString::fromStdString(s.groups));
    nationsLabel_->setText(QString::fromStdString(s.nations));
    dateRangeLabel_->setText(QString::fromStdString(s.dateRange));
    adjustSize();
    ui::centerForm(*this);
}

} // namespace tess
