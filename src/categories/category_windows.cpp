#include "categories/category_windows.h"

#include "categories/categories.h"
#include "state/category_changes.h"
#include "ui/chart_view.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"
#include "ui/named.h"
#include "ui/option_frame.h"
#include "ui/tab_order.h"
#include "ui/text_codec.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tess {

EditGroupings::EditGroupings(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("editgrp"));
    ui::tabInReadingOrderWhenShown(*this);
    auto* layout = new QHBoxLayout(this);
    auto* side = new QVBoxLayout();
    layout->addLayout(side);

    const ui::OptionFrame tables = ui::optionFrame(this, QStringLiteral("Grouping"), "Frame1",
                                                   {{"Option1", QStringLiteral("Faction")},
                                                    {"Option2", QStringLiteral("Occupation")},
                                                    {"Option3", QStringLiteral("Group")},
                                                    {"Option4", QStringLiteral("Nation")}});
    tables.frame->setToolTip(QStringLiteral("Click at bottom to add new group"));
    factionsOption_ = tables.options[0];
    auto* occupationsOption = tables.options[1];
    auto* groupsOption = tables.options[2];
    auto* nationsOption = tables.options[3];
    side->addWidget(tables.frame);

    const ui::OptionFrame change = ui::optionFrame(
        this, QStringLiteral("Change"), "Frame2",
        {{"Option5", QStringLiteral("Name")}, {"Option6", QStringLiteral("Color")}});
    change.frame->setToolTip(QStringLiteral("Choose which to edit"));
    nameOption_ = change.options[0];
    auto* colourOption = change.options[1];
    side->addWidget(change.frame);

    auto* backgroundButton =
        ui::named(new QPushButton(QStringLiteral("Backcolor"), this), "cmdBkg");
    auto* consolidateButton =
        ui::named(new QPushButton(QStringLiteral("Consolidate"), this), "cmdConsolidate");
    auto* pruneButton = ui::named(new QPushButton(QStringLiteral("Prune"), this), "cmdPrune");
    auto* okButton = ui::named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    okButton->setDefault(true); // Enter closes the editor; it opens no dialog
    for (QPushButton* b : {backgroundButton, consolidateButton, pruneButton})
        side->addWidget(b);
    side->addStretch();
    side->addWidget(okButton);

    // Thousands of coloured lines: the chart view paints only those in sight.
    categoryView_ = ui::named(new ChartView(this), "rtbox1");
    layout->addWidget(categoryView_, 1);

    connect(factionsOption_, &QRadioButton::clicked, this, &EditGroupings::Option1_Click);
    connect(occupationsOption, &QRadioButton::clicked, this, &EditGroupings::Option2_Click);
    connect(groupsOption, &QRadioButton::clicked, this, &EditGroupings::Option3_Click);
    connect(nationsOption, &QRadioButton::clicked, this, &EditGroupings::Option4_Click);
    connect(nameOption_, &QRadioButton::clicked, this, &EditGroupings::Option5_Click);
    connect(colourOption, &QRadioButton::clicked, this, &EditGroupings::Option6_Click);
    connect(categoryView_, &ChartView::lineReleased, this, &EditGroupings::rtbox1_MouseUp);
    connect(backgroundButton, &QPushButton::clicked, this, &EditGroupings::cmdBkg_Click);
    connect(consolidateButton, &QPushButton::clicked, this, &EditGroupings::cmdConsolidate_Click);
    connect(pruneButton, &QPushButton::clicked, this, &EditGroupings::cmdPrune_Click);
    connect(okButton, &QPushButton::clicked, this, &EditGroupings::cmdOK_Click);

    const double dpi = ui::logicalDpi(this);
    resize(ui::twipsToPixels(7600, dpi), ui::twipsToPixels(6400, dpi));
    Form_Load();
}

void EditGroupings::Form_Load() {
    ui::centerForm(*this);
    colorMode_ = false;
    factionsOption_->setChecked(true);
    nameOption_->setChecked(true);
    showTable(kindFactions);
}

void EditGroupings::showTable(CategoryKind kind) {
    state_.editedKind = kind;
    drawList();
}

void EditGroupings::drawList(bool keepPosition) {
    Dataset& ds = state_.dataset;
    const CategoryKind kind = state_.editedKind;
    counts_ = countUsage(ds);
    const Settings& s = state_.settings;
    categoryView_->setBackgroundColor(isPeopleKind(kind) ? s.peopleBackColor : s.eventsBackColor);
    setWindowTitle(QString::fromStdString(editorCaption(kind)));
    categoryView_->setChart(editorLines(ds.table(kind), counts_.of(kind), ds.encoding), ds.encoding,
                            keepPosition);
}

void EditGroupings::rtbox1_MouseUp(int L) {
    Dataset& ds = state_.dataset;
    CategorySnapshot before(ds, state_.editedKind);
    CategorySnapshot after = before;
    CategoryTable& t = after.table;
    const std::string tableName = editorCaption(state_.editedKind).substr(5);
    if (!colorMode_) {
        const bool adding = L > t.count;
        if (adding) {
            if (!addCategory(t)) {
                state_.dialogs.message(QString::fromLatin1(tableFullMessage));
                return;
            }
            L = t.count;
        }
        const size_t k = static_cast<size_t>(L);
        const std::optional<QString> answer = state_.dialogs.input(
            QStringLiteral("Enter changed text"), QStringLiteral("Edit Groupings"),
            ui::toQString(t.names[k], ds.encoding));
        const std::string caption =
            adding ? "Add to " + tableName
                   : "Rename " + captionName(before.table.names[k], ds.encoding);
        // A name Windows-1252 cannot hold makes the dataset UTF-8 first: the table is taken
        // again from the converted dataset.
        const bool grouped = answer && state_.history.makeRoomFor({answer->toStdString()}, caption);
        if (grouped) {
            before = CategorySnapshot(ds, state_.editedKind);
            after = before;
            if (adding)
                addCategory(t);
        }
        // An empty answer, or a cancelled box, keeps the name (a category just added stays,
        // unnamed).
        if (answer && !answer->isEmpty())
            t.names[k] = ui::fromQString(*answer, ds.encoding);
        // A name given again unchanged still counts as an edit, as it always has.
        ds.modified = true;
        state_.history.push(categoryChange(caption, before, after));
        if (grouped)
            state_.history.endGroup();
        drawList(true);
        return;
    }
    const std::optional<int32_t> color = state_.dialogs.color(lastColor_);
    if (!color)
        return;
    lastColor_ = *color;
    if (!t.valid(L))
        return;
    t.colors[static_cast<size_t>(L)] = *color;
    ds.modified = true;
    state_.history.push(categoryChange(
        "Recolour " + captionName(t.names[static_cast<size_t>(L)], ds.encoding), before, after));
    drawList(true);
}

void EditGroupings::cmdBkg_Click() {
    const std::optional<int32_t> color = state_.dialogs.color(lastColor_);
    if (!color)
        return;
    lastColor_ = *color;
    Settings& s = state_.settings;
    (isPeopleKind(state_.editedKind) ? s.peopleBackColor : s.eventsBackColor) = *color;
    categoryView_->setBackgroundColor(*color);
    state_.dataset.modified = true;
}

void EditGroupings::cmdConsolidate_Click() {
    Consolidate window(state_, this);
    state_.dialogs.showModal(window);
    drawList(true);
}

void EditGroupings::cmdPrune_Click() {
    if (state_.dialogs.question(QStringLiteral("Do you want to eliminate items with 0 count?"),
                                QStringLiteral("Prune "))) {
        const CategorySnapshot before(state_.dataset, state_.editedKind);
        CategorySnapshot after = before;
        pruneCategories(after.table, counts_.of(state_.editedKind));
        state_.dataset.modified = true;
        state_.history.push(
            categoryChange("Prune " + editorCaption(state_.editedKind).substr(5), before, after));
    } else {
        state_.dialogs.message(QStringLiteral("No changes"));
    }
    drawList(true);
}

Consolidate::Consolidate(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("Consol"));
    ui::tabInReadingOrderWhenShown(*this);
    setWindowTitle(QStringLiteral("Consolidate"));
    auto* layout = new QGridLayout(this);
    auto* keepLabel = ui::named(new QLabel(QStringLiteral("Keep this "), this), "Label1");
    keepBox_ = ui::named(new QComboBox(this), "Combo1");
    keepBox_->setToolTip(QStringLiteral("If this is blank, other caption will be used"));
    auto* replaceLabel = ui::named(new QLabel(QStringLiteral("Replace this"), this), "Label2");
    replaceBox_ = ui::named(new QComboBox(this), "Combo2");
    for (QComboBox* c : {keepBox_, replaceBox_}) {
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        // A few typed letters must name no category until they spell one: no completion.
        c->setCompleter(nullptr);
        c->setMinimumContentsLength(30);
        c->installEventFilter(this);
        c->lineEdit()->installEventFilter(this);
    }
    keepBox_->setEditText(QStringLiteral("Combo1"));
    replaceBox_->setEditText(QStringLiteral("Combo2"));
    auto* okButton = ui::named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    auto* cancelButton = ui::named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    layout->addWidget(keepLabel, 0, 0);
    layout->addWidget(keepBox_, 1, 0);
    layout->addWidget(replaceLabel, 2, 0);
    layout->addWidget(replaceBox_, 3, 0);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons, 4, 0);
    connect(keepBox_, &QComboBox::activated, this, &Consolidate::Combo1_Click);
    connect(okButton, &QPushButton::clicked, this, &Consolidate::cmdOK_Click);
    connect(cancelButton, &QPushButton::clicked, this, &Consolidate::cmdCancel_Click);
    Form_Load();
}

void Consolidate::Form_Load() {
    keep_ = 1;
    replace_ = 1;
    const Dataset& ds = state_.dataset;
    const CategoryTable& t = ds.table(state_.editedKind);
    QStringList names;
    names.reserve(t.count);
    for (int i = 1; i <= t.count; ++i)
        names.append(ui::toQString(t.names[static_cast<size_t>(i)], ds.encoding));
    for (QComboBox* c : {keepBox_, replaceBox_}) {
        const QString text = c->currentText();
        c->clear();
        c->addItems(names);
        c->setEditText(text); // a table too short for it leaves the field as it was
    }
    if (t.count >= 1)
        keepBox_->setCurrentIndex(0);
    if (t.count >= 2)
        replaceBox_->setCurrentIndex(1);
    keepBox_->setFocus();
}

namespace {
// The position (from 1) of the entry the field names: the one chosen, or else the first whose
// text it holds; 0 when it names none.
int positionIn(const QComboBox& combo) {
    const QString text = combo.currentText();
    if (combo.currentIndex() >= 0 && combo.itemText(combo.currentIndex()) == text)
        return combo.currentIndex() + 1;
    return combo.findText(text, Qt::MatchExactly) + 1;
}
} // namespace

void Consolidate::Combo1_LostFocus() {
    keep_ = positionIn(*keepBox_);
}

void Consolidate::Combo2_LostFocus() {
    replace_ = positionIn(*replaceBox_);
}

bool Consolidate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == keepBox_ || watched == keepBox_->lineEdit())
            Combo1_LostFocus();
        else if (watched == replaceBox_ || watched == replaceBox_->lineEdit())
            Combo2_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void Consolidate::cmdOK_Click() {
    // OK takes the focus from a field before it is pressed; pressed by Enter, it does not.
    if (keepBox_->hasFocus() || keepBox_->lineEdit()->hasFocus())
        Combo1_LostFocus();
    if (replaceBox_->hasFocus() || replaceBox_->lineEdit()->hasFocus())
        Combo2_LostFocus();
    if (keep_ == replace_) {
        state_.dialogs.message(QStringLiteral("No changes requested"));
        return;
    }
    if (keep_ >= 1 && replace_ >= 1) {
        const CategoryKind kind = state_.editedKind;
        const std::string message = replaceGroupMessage(state_.dataset, kind, keep_, replace_);
        state_.dialogs.message(QString::fromUtf8(message));
        const CategorySnapshot before(state_.dataset, kind);
        CategorySnapshot after = before;
        replaceGroup(after, keep_, replace_);
        // "Replace Gauls with Romans" is the change's own name.
        state_.history.push(categoryChange(message, before, after));
    }
    accept();
}

} // namespace tess
