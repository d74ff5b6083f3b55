#include "timeline/select_window.h"

#include "core/field_rules.h"
#include "core/numbers.h"
#include "timeline/selection.h"
#include "ui/geometry.h"
#include "ui/tab_order.h"
#include "ui/text_codec.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tess {

namespace {
QString number(long long n) {
    return QString::fromStdString(plainNumber(n));
}
} // namespace

SelectWindow::SelectWindow(AppState& state, Side side, QWidget* parent)
    : QDialog(parent), state_(state), side_(side) {
    const bool people = side == Side::people;
    setObjectName(people ? QStringLiteral("pselect") : QStringLiteral("eselect"));
    ui::tabInReadingOrderWhenShown(*this);
    setWindowTitle(people ? QStringLiteral("Select People") : QStringLiteral("Select Events"));

    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        named(b, name);
        b->setAutoDefault(false);
        return b;
    };
    auto* priorityLabel = new QLabel(QStringLiteral("Priority"), this);
    named(priorityLabel, "Label1");
    priorityBox_ = new QLineEdit(this);
    named(priorityBox_, "Text1");
    priorityBox_->setToolTip(QStringLiteral("Select priority up to this level"));
    priorityBox_->setMaximumWidth(60);
    startYearBox_ = new QLineEdit(this);
    named(startYearBox_, "date1");
    startYearBox_->setToolTip(QStringLiteral("Earliest date to show"));
    endYearBox_ = new QLineEdit(this);
    named(endYearBox_, "date2");
    endYearBox_->setToolTip(QStringLiteral("Last date to show"));

    auto* colourFrame = new QGroupBox(QStringLiteral("Use color of"), this);
    named(colourFrame, "Frame1");
    if (people)
        colourFrame->setToolTip(QStringLiteral("Select item for color "));
    factionOrGroupOption_ =
        new QRadioButton(people ? QStringLiteral("Faction") : QStringLiteral("Group"), colourFrame);
    named(factionOrGroupOption_, "Option1");
    occupationOrNationOption_ = new QRadioButton(
        people ? QStringLiteral("Occupation") : QStringLiteral("Nation"), colourFrame);
    named(occupationOrNationOption_, "Option2");
    auto* frameLayout = new QHBoxLayout(colourFrame);
    frameLayout->addWidget(factionOrGroupOption_);
    frameLayout->addWidget(occupationOrNationOption_);

    factionOrNationList_ = new QListWidget(this);
    named(factionOrNationList_, "List2");
    occupationOrGroupList_ = new QListWidget(this);
    named(occupationOrGroupList_, "List1");
    for (QListWidget* list : {occupationOrGroupList_, factionOrNationList_}) {
        list->setSelectionMode(QAbstractItemView::MultiSelection);
        list->setUniformItemSizes(true); // thousands of categories are laid out at once
        list->setMinimumSize(200, 220);
    }
    if (people) {
        factionOrNationList_->setToolTip(QStringLiteral("Factions to include"));
        occupationOrGroupList_->setToolTip(QStringLiteral("Occupations to include"));
    }

    auto* allFactionsOrNations =
        button(people ? "cmdallFactions" : "cmdallNations",
               people ? QStringLiteral("All Factions") : QStringLiteral("All Nations"));
    auto* noFactionsOrNations =
        button(people ? "cmdNoFactions" : "cmdNoNations",
               people ? QStringLiteral("No Factions") : QStringLiteral("No Nations"));
    auto* allOccupationsOrGroups =
        button(people ? "cmdallocc" : "cmdallgroup",
               people ? QStringLiteral("All Occupations") : QStringLiteral("All Groups"));
    auto* noOccupationsOrGroups =
        button(people ? "cmdnoocc" : "cmdNoGroups",
               people ? QStringLiteral("No Occupations") : QStringLiteral("No Groups"));
    auto* resetButton = button("cmdReset", QStringLiteral("Reset"));
    auto* okButton = button("cmdOK", QStringLiteral("OK"));
    okButton->setDefault(true);
    auto* cancelButton = button("Command1", QStringLiteral("Cancel"));

    auto* grid = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(priorityLabel);
    top->addWidget(priorityBox_);
    top->addSpacing(16);
    top->addWidget(new QLabel(QStringLiteral("Dates"), this));
    top->addWidget(startYearBox_);
    top->addWidget(new QLabel(QStringLiteral("to"), this));
    top->addWidget(endYearBox_);
    top->addSpacing(16);
    top->addWidget(colourFrame);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addWidget(factionOrNationList_, 1, 0);
    grid->addWidget(occupationOrGroupList_, 1, 1);
    auto pair = [](QPushButton* a, QPushButton* b) {
        auto* row = new QHBoxLayout;
        row->addWidget(a);
        row->addWidget(b);
        return row;
    };
    grid->addLayout(pair(allFactionsOrNations, noFactionsOrNations), 2, 0);
    grid->addLayout(pair(allOccupationsOrGroups, noOccupationsOrGroups), 2, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(resetButton);
    bottom->addStretch();
    bottom->addWidget(okButton);
    bottom->addWidget(cancelButton);
    grid->addLayout(bottom, 3, 0, 1, 2);

    connect(factionOrGroupOption_, &QRadioButton::clicked, this, &SelectWindow::Option1_Click);
    connect(occupationOrNationOption_, &QRadioButton::clicked, this, &SelectWindow::Option2_Click);
    connect(priorityBox_, &QLineEdit::textChanged, this, &SelectWindow::Text1_Change);
    startYearBox_->installEventFilter(this);
    endYearBox_->installEventFilter(this);
    connect(allFactionsOrNations, &QPushButton::clicked, this,
            [this] { setAll(factionOrNationList_, factionsOrNations(), true); });
    connect(noFactionsOrNations, &QPushButton::clicked, this,
            [this] { setAll(factionOrNationList_, factionsOrNations(), false); });
    connect(allOccupationsOrGroups, &QPushButton::clicked, this,
            [this] { setAll(occupationOrGroupList_, occupationsOrGroups(), true); });
    connect(noOccupationsOrGroups, &QPushButton::clicked, this,
            [this] { setAll(occupationOrGroupList_, occupationsOrGroups(), false); });
    connect(resetButton, &QPushButton::clicked, this, &SelectWindow::cmdReset_Click);
    connect(okButton, &QPushButton::clicked, this, &SelectWindow::cmdOK_Click);
    connect(cancelButton, &QPushButton::clicked, this, &SelectWindow::Command1_Click);
    Form_Load();
}

CategoryTable& SelectWindow::occupationsOrGroups() {
    return side_ == Side::people ? state_.dataset.occupations : state_.dataset.groups;
}

CategoryTable& SelectWindow::factionsOrNations() {
    return side_ == Side::people ? state_.dataset.factions : state_.dataset.nations;
}

int16_t& SelectWindow::colorBy() {
    return side_ == Side::people ? state_.settings.peopleColorBy : state_.settings.eventsColorBy;
}

void SelectWindow::fillList(QListWidget* list, const CategoryTable& table) {
    QStringList names;
    names.reserve(table.count);
    for (int k = 1; k <= table.count; ++k)
        names.append(ui::toQString(table.names[static_cast<size_t>(k)], state_.dataset.encoding));
    list->clear();
    list->addItems(names);
    // The included categories are selected as one selection of runs: selecting them one by one
    // costs time in proportion to what is already selected, minutes for a full table.
    QItemSelection selection;
    const QAbstractItemModel* model = list->model();
    for (int k = 1; k <= table.count;) {
        if (table.include[static_cast<size_t>(k)] == 0) {
            ++k;
            continue;
        }
        int last = k;
        while (last < table.count && table.include[static_cast<size_t>(last + 1)] != 0)
            ++last;
        selection.append(QItemSelectionRange(model->index(k - 1, 0), model->index(last - 1, 0)));
        k = last + 1;
    }
    list->selectionModel()->select(selection, QItemSelectionModel::Select);
}

void SelectWindow::setAll(QListWidget* list, CategoryTable& table, bool included) {
    setAllIncluded(table, included);
    // The names are unchanged: only the selection follows the flags.
    if (included)
        list->selectAll();
    else
        list->clearSelection();
}

void SelectWindow::takeList(QListWidget* list, CategoryTable& table) {
    // Read back run by run, as the selection keeps it, never list entry by list entry.
    const int shown = std::min<int>(table.count, list->count());
    std::fill_n(table.include.begin() + 1, shown, boolFalse);
    for (const QItemSelectionRange& range : list->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom() && row < shown; ++row)
            table.include[static_cast<size_t>(row) + 1] = boolTrue;
}

void SelectWindow::Form_Load() {
    const Dataset& ds = state_.dataset;
    priorityBox_->setText(number(ds.selPriority));
    const int first = side_ == Side::people ? kindFactions : kindGroups;
    (colorBy() == first ? factionOrGroupOption_ : occupationOrNationOption_)->setChecked(true);
    startYearBox_->setText(number(ds.earliestDate));
    endYearBox_->setText(number(ds.latestDate));
    fillList(occupationOrGroupList_, occupationsOrGroups());
    fillList(factionOrNationList_, factionsOrNations());
    adjustSize();
    ui::centerForm(*this);
}

void SelectWindow::Option1_Click() {
    colorBy() = side_ == Side::people ? kindFactions : kindGroups;
}

void SelectWindow::Option2_Click() {
    colorBy() = side_ == Side::people ? kindOccupations : kindNations;
}

void SelectWindow::Text1_Change() {
    const std::optional<int16_t> priority = selectPriorityRule(priorityBox_->text().toStdString());
    if (!priority)
        return; // an emptied box waits for the next digit
    state_.dataset.selPriority = *priority;
    const QString text = number(*priority);
    if (priorityBox_->text() != text)
        priorityBox_->setText(text);
}

void SelectWindow::date1_LostFocus() {
    startYearBox_->setText(number(firstDateRule(startYearBox_->text().toStdString())));
}

void SelectWindow::date2_LostFocus() {
    endYearBox_->setText(number(
        secondDateRule(endYearBox_->text().toStdString(), startYearBox_->text().toStdString())));
}

bool SelectWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == startYearBox_)
            date1_LostFocus();
        else if (watched == endYearBox_)
            date2_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void SelectWindow::cmdReset_Click() {
    const Dataset& ds = state_.dataset;
    startYearBox_->setText(number(ds.earliestDate));
    endYearBox_->setText(number(ds.latestDate));
    setAll(occupationOrGroupList_, occupationsOrGroups(), true);
    setAll(factionOrNationList_, factionsOrNations(), true);
}

void SelectWindow::cmdOK_Click() {
    // Enter in a date box presses OK without the box losing the focus; its rule runs first.
    if (startYearBox_->hasFocus())
        date1_LostFocus();
    if (endYearBox_->hasFocus())
        date2_LostFocus();
    Dataset& ds = state_.dataset;
    takeList(occupationOrGroupList_, occupationsOrGroups());
    takeList(factionOrNationList_, factionsOrNations());
    ds.selStart = toInt16Rounded(readLeadingNumber(startYearBox_->text().toStdString()));
    ds.selEnd = toInt16Rounded(readLeadingNumber(endYearBox_->text().toStdString()));
    const bool people = side_ == Side::people;
    if (people)
        applyPeopleSelection(ds);
    else
        applyEventSelection(ds);
    if (ds.earliestDate != ds.selStart || ds.latestDate != ds.selEnd) {
        if (people)
            applyEventSelection(ds);
        else
            applyPeopleSelection(ds);
        ds.earliestDate = ds.selStart - 10;
        ds.latestDate = ds.selEnd + 10;
    }
    accept();
}

} // namespace tess
