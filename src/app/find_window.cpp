#include "app/find_window.h"

#include "core/dataset_change.h"
#include "core/numbers.h"
#include "core/year_text.h"
#include "ui/named.h"
#include "ui/tab_order.h"
#include "ui/text_codec.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tess {

std::string foundEntryRow(const Dataset& ds, const FoundEntry& entry, YearStyle style) {
    auto row = [&](const char* kind, const auto& r) {
        return std::string(kind) + "  " +
               spanText(r.date1, r.date1Type, r.date2, r.date2Type, style) + "  " +
               captionName(r.name, ds.encoding);
    };
    const size_t i = static_cast<size_t>(entry.index);
    if (entry.isEvent)
        return i < ds.events.size() ? row("Event", ds.events[i]) : std::string();
    return i < ds.people.size() ? row("Person", ds.people[i]) : std::string();
}

FindWindow::FindWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("Find"));
    ui::tabInReadingOrderWhenShown(*this);
    setWindowTitle(QStringLiteral("Find"));
    auto* layout = new QVBoxLayout(this);
    queryBox_ = ui::named(new QLineEdit(this), "txtFind");
    queryBox_->setPlaceholderText(QStringLiteral("Part of a name or description"));
    queryBox_->setClearButtonEnabled(true);
    matchList_ = ui::named(new QListWidget(this), "lstFound");
    matchList_->setUniformItemSizes(true);
    countLabel_ = ui::named(new QLabel(this), "lblCount");
    layout->addWidget(queryBox_);
    layout->addWidget(matchList_);
    layout->addWidget(countLabel_);
    resize(480, 360);
    connect(queryBox_, &QLineEdit::textChanged, this, &FindWindow::search);
    connect(queryBox_, &QLineEdit::returnPressed, this, &FindWindow::choose);
    connect(matchList_, &QListWidget::itemActivated, this, &FindWindow::choose);
    queryBox_->installEventFilter(this);
}

void FindWindow::showForTyping() {
    show();
    raise();
    activateWindow();
    queryBox_->setFocus();
    queryBox_->selectAll();
}

void FindWindow::search() {
    const Dataset& ds = state_.dataset;
    result_ = findEntries(ds, ui::fromQString(queryBox_->text(), ds.encoding));
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(result_.shown.size()));
    for (const FoundEntry& e : result_.shown)
        rows.append(QString::fromUtf8(foundEntryRow(ds, e, state_.choices.yearStyle())));
    // The same text looked for again keeps the row the user went to.
    const int keep = queryBox_->text() == lastQuery_ ? matchList_->currentRow() : 0;
    lastQuery_ = queryBox_->text();
    matchList_->clear();
    matchList_->addItems(rows);
    if (!rows.isEmpty())
        matchList_->setCurrentRow(std::clamp(keep, 0, static_cast<int>(rows.size()) - 1));
    if (queryBox_->text().isEmpty())
        countLabel_->clear();
    else if (result_.matches > static_cast<int>(result_.shown.size()))
        countLabel_->setText(QStringLiteral("%1 found; the first %2 are listed")
                                 .arg(result_.matches)
                                 .arg(result_.shown.size()));
    else
        countLabel_->setText(QStringLiteral("%1 found").arg(result_.matches));
}

void FindWindow::choose() {
    const int row = std::max(0, matchList_->currentRow());
    if (static_cast<size_t>(row) >= result_.shown.size())
        return;
    const FoundEntry e = result_.shown[static_cast<size_t>(row)];
    emit entryChosen(e.isEvent, e.index);
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
    // Up and Down in the text box move through the list, so the hands stay on the keys.
    if (watched == queryBox_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(matchList_, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // The dataset may have changed while another window was in front.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        search();
}

} // namespace tess
