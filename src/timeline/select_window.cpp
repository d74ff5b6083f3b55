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
    Label1 = new QLabel(QStringLiteral("Priority"), this);
    named(Label1, "Label1");
    Text1 = new QLineEdit(this);
    named(Text1, "Text1");
    Text1->setToolTip(QStringLiteral("Select priority up to this level"));
    Text1->setMaximumWidth(60);
    date1 = new QLineEdit(this);
    named(date1, "date1");
    date1->setToolTip(QStringLiteral("Earliest date to show"));
    date2 = new QLineEdit(this);
    named(date2, "date2");
    date2->setToolTip(QStringLiteral("Last date to show"));

    Frame1 = new QGroupBox(QStringLiteral("Use color of"), this);
    named(Frame1, "Frame1");
    if (people)
        Frame1->setToolTip(QStringLiteral("Select item for color "));
    Option1 =
        new QRadioButton(people ? QStringLiteral("Faction") : QStringLiteral("Group"), Frame1);
    named(Option1, "Option1");
    Option2 =
        new QRadioButton(people ? QStringLiteral("Occupation") : QStringLiteral("Nation"), Frame1);
    named(Option2, "Option2");
    auto* frameLayout = new QHBoxLayout(Frame1);
    frameLayout->addWidget(Option1);
    frameLayout->addWidget(Option2);

    List2 = new QListWidget(this);
    named(List2, "List2");
    List1 = new QListWidget(this);
    named(List1, "List1");
    for (QListWidget* list : {List1, List2}) {
        list->setSelectionMode(QAbstractItemView::MultiSelection);
        list->setUniformItemSizes(true); // thousands of categories are laid out at once
        list->setMinimumSize(200, 220);
    }
    if (people) {
        List2->setToolTip(QStringLiteral("Factions to include"));
        List1->setToolTip(QStringLiteral("Occupations to include"));
    }

    cmdAll2 = button(people ? "cmdallFactions" : "cmdallNations",
                     people ? QStringLiteral("All Factions") : QStringLiteral("All Nations"));
    cmdNo2 = button(people ? "cmdNoFactions" : "cmdNoNations",
                    people ? QStringLiteral("No Factions") : QStringLiteral("No Nations"));
    cmdAll1 = button(people ? "cmdallocc" : "cmdallgroup",
                     people ? QStringLiteral("All Occupations") : QStringLiteral("All Groups"));
    cmdNo1 = button(people ? "cmdnoocc" : "cmdNoGroups",
                    people ? QStringLiteral("No Occupations") : QStringLiteral("No Groups"));
    cmdReset = button("cmdReset", QStringLiteral("Reset"));
    cmdOK = button("cmdOK", QStringLiteral("OK"));
    cmdOK->setDefault(true);
    Command1 = button("Command1", QStringLiteral("Cancel"));

    auto* grid = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(Text1);
    top->addSpacing(16);
    top->addWidget(new QLabel(QStringLiteral("Dates"), this));
    top->addWidget(date1);
    top->addWidget(new QLabel(QStringLiteral("to"), this));
    top->addWidget(date2);
    top->addSpacing(16);
    top->addWidget(Frame1);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addWidget(List2, 1, 0);
    grid->addWidget(List1, 1, 1);
    auto pair = [](QPushButton* a, QPushButton* b) {
        auto* row = new QHBoxLayout;
        row->addWidget(a);
        row->addWidget(b);
        return row;
    };
    grid->addLayout(pair(cmdAll2, cmdNo2), 2, 0);
    grid->addLayout(pair(cmdAll1, cmdNo1), 2, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdReset);
    bottom->addStretch();
    bottom->addWidget(cmdOK);
    bottom->addWidget(Command1);
    grid->addLayout(bottom, 3, 0, 1, 2);

    connect(Option1, &QRadioButton::clicked, this, &SelectWindow::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &SelectWindow::Option2_Click);
    connect(Text1, &QLineEdit::textChanged, this, &SelectWindow::Text1_Change);
    date1->installEventFilter(this);
    date2->installEventFilter(this);
    connect(cmdAll2, &QPushButton::clicked, this, [this] { setAll(List2, table2(), true); });
    connect(cmdNo2, &QPushButton::clicked, this, [this] { setAll(List2, table2(), false); });
    connect(cmdAll1, &QPushButton::clicked, this, [this] { setAll(List1, table1(), true); });
    connect(cmdNo1, &QPushButton::clicked, this, [this] { setAll(List1, table1(), false); });
    connect(cmdReset, &QPushButton::clicked, this, &SelectWindow::cmdReset_Click);
    connect(cmdOK, &QPushButton::clicked, this, &SelectWindow::cmdOK_Click);
    connect(Command1, &QPushButton::clicked, this, &SelectWindow::Command1_Click);
    Form_Load();
}

CategoryTable& SelectWindow::table1() {
    return side_ == Side::people ? state_.dataset.occupations : state_.dataset.groups;
}

CategoryTable& SelectWindow::table2() {
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
    Text1->setText(number(ds.selPriority));
    const int first = side_ == Side::people ? kindFactions : kindGroups;
    (colorBy() == first ? Option1 : Option2)->setChecked(true);
    date1->setText(number(ds.earliestDate));
    date2->setText(number(ds.latestDate));
    fillList(List1, table1());
    fillList(List2, table2());
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
    const std::optional<int16_t> priority = selectPriorityRule(Text1->text().toStdString());
    if (!priority)
        return; // an emptied box waits for the next digit
    state_.dataset.selPriority = *priority;
    const QString text = number(*priority);
    if (Text1->text() != text)
        Text1->setText(text);
}

void SelectWindow::date1_LostFocus() {
    date1->setText(number(firstDateRule(date1->text().toStdString())));
}

void SelectWindow::date2_LostFocus() {
    date2->setText(
        number(secondDateRule(date2->text().toStdString(), date1->text().toStdString())));
}

bool SelectWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == date1)
            date1_LostFocus();
        else if (watched == date2)
            date2_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void SelectWindow::cmdReset_Click() {
    const Dataset& ds = state_.dataset;
    date1->setText(number(ds.earliestDate));
    date2->setText(number(ds.latestDate));
    setAll(List1, table1(), true);
    setAll(List2, table2(), true);
}

void SelectWindow::cmdOK_Click() {
    // Enter in a date box presses OK without the box losing the focus; its rule runs first.
    if (date1->hasFocus())
        date1_LostFocus();
    if (date2->hasFocus())
        date2_LostFocus();
    Dataset& ds = state_.dataset;
    takeList(List1, table1());
    takeList(List2, table2());
    ds.selStart = toInt16Rounded(readLeadingNumber(date1->text().toStdString()));
    ds.selEnd = toInt16Rounded(readLeadingNumber(date2->text().toStdString()));
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
