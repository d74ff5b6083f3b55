#include "entry/entry_window.h"

#include "core/category_table.h"
#include "core/field_rules.h"
#include "core/find.h"
#include "core/merge.h"
#include "core/numbers.h"
#include "core/picture_paths.h"
#include "core/text_encoding.h"
#include "entry/entry_changes.h"
#include "entry/entry_form.h"
#include "entry/entry_records.h"
#include "state/category_changes.h"
#include "state/file_choice.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"
#include "ui/named.h"
#include "ui/picture.h"
#include "ui/tab_order.h"
#include "ui/text_codec.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <memory>
#include <type_traits>

namespace tess {

namespace {

// Runs f on the window's entry array, people or events.
template <typename F> decltype(auto) withArray(Dataset& ds, bool people, F f) {
    if (people) {
        auto a = peopleArray(ds);
        return f(a);
    }
    auto a = eventsArray(ds);
    return f(a);
}

QString number(long long n) {
    return QString::fromStdString(plainNumber(n));
}

} // namespace

void DropDownCombo::showPopup() {
    emit droppingDown();
    QComboBox::showPopup();
    // A list of long names is cut, never wider than half the screen.
    QWidget* popup = view()->window();
    if (const QScreen* screen = this->screen(); screen && popup != window()) {
        const int most = std::max(width(), screen->availableGeometry().width() / 2);
        if (popup->width() > most)
            popup->resize(most, popup->height());
    }
}

namespace {
// A button that Enter in a field does not press: only OK is pressed by its own click.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = ui::named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

EntryWindow::EntryWindow(AppState& state, Side side, QWidget* parent)
    : QDialog(parent), state_(state), side_(side) {
    setObjectName(people() ? QStringLiteral("PEntry") : QStringLiteral("eEntry"));
    ui::tabInReadingOrderWhenShown(*this);
    setWindowTitle(people() ? QStringLiteral("People Entry") : QStringLiteral("Events Entry"));
    buildNameRow();
    buildCategoryBoxes();
    buildDates();
    buildDescriptionAndLink();
    QWidget* pictureArea = buildPictureArea();
    nextButton_ = makeButton(this, "cmdNext", QStringLiteral("Next"));
    previousButton_ = makeButton(this, "cmdPrev", QStringLiteral("Prev"));
    newButton_ = makeButton(this, "cmdNew", QStringLiteral("New"));
    deleteButton_ = makeButton(this, "cmdDelete", QStringLiteral("Delete"));
    okButton_ = makeButton(this, "cmdOK", QStringLiteral("OK"));
    layOut(pictureArea);
    connectFields();
    Form_Load();
}

void EntryWindow::buildNameRow() {
    const bool p = people();
    // The name box lies over the edit area of the list, so that only the list's drop-down
    // button shows beside it.
    nameRow_ = new QWidget(this);
    nameList_ = ui::named(new DropDownCombo(nameRow_), p ? "cmbP" : "Combo1");
    nameList_->setToolTip(QStringLiteral("Select from list, or enter new name"));
    nameList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    nameList_->setMinimumContentsLength(30);
    nameList_->setMaxVisibleItems(20);
    nameList_->installEventFilter(this);
    if (auto* view = qobject_cast<QListView*>(nameList_->view()))
        view->setUniformItemSizes(true); // thousands of names are laid out at once
    nameBox_ = ui::named(new QLineEdit(QStringLiteral("Text1"), nameRow_), "Text1");
    // Where a field has no room for a label of its own, its empty box says what it is.
    nameBox_->setPlaceholderText(QStringLiteral("Name"));
    nameBox_->setToolTip(p ? QStringLiteral("The person's name")
                           : QStringLiteral("The event's name"));
    nameRow_->setMinimumHeight(nameList_->sizeHint().height());
    nameRow_->installEventFilter(this);
    priorityBox_ = ui::named(new QLineEdit(QStringLiteral(" "), this), "txtPriority");
    priorityBox_->setToolTip(p ? QStringLiteral("Priority: 1-9")
                               : QStringLiteral("Priority (1-9)"));
    priorityBox_->setMaximumWidth(40);
}

void EntryWindow::buildCategoryBoxes() {
    auto category = [this](const char* name, const QString& initial, const QString& label) {
        auto* c = ui::named(new QComboBox(this), name);
        c->setEditable(true);
        c->lineEdit()->setPlaceholderText(label);
        c->setToolTip(label + QStringLiteral(": choose from the list, or type a new one"));
        c->setInsertPolicy(QComboBox::NoInsert); // typed text never becomes a category
        c->setEditText(initial);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(16);
        c->setMaxVisibleItems(20);
        c->installEventFilter(this);
        categoryBoxes_.push_back(c);
        return c;
    };
    if (people()) {
        category("cmbFaction", QStringLiteral("Faction"), QStringLiteral("Faction"));
        category("cmbOccupation", QStringLiteral("Occupation"), QStringLiteral("Occupation"));
    } else {
        category("cmbNation1", QStringLiteral("Nation1"), QStringLiteral("Nation 1"));
        category("cmbGroup", QStringLiteral("Group"), QStringLiteral("Group"));
        category("cmbNation2", QStringLiteral("Nation2"), QStringLiteral("Nation 2"));
    }
}

void EntryWindow::buildDates() {
    firstDateLabel_ = ui::named(new QLabel(QStringLiteral("Date 1"), this), "Label1");
    firstDateBox_ = ui::named(new QLineEdit(this), "date1");
    lastDateLabel_ = ui::named(new QLabel(QStringLiteral("Date 2"), this), "Label2");
    lastDateBox_ = ui::named(new QLineEdit(this), "date2");
    const char* optionNames[] = {"Option1", "Option2", "Option3", "Option4", "Option5", "Option6"};
    const QString kinds[] = {QStringLiteral("Known"), QStringLiteral("Approx"),
                             QStringLiteral("Reign")};
    for (int f = 0; f < 2; ++f) {
        QGroupBox* frame =
            ui::named(new QGroupBox(QStringLiteral("Type"), this), f == 0 ? "Frame1" : "Frame2");
        (f == 0 ? firstTypeFrame_ : lastTypeFrame_) = frame;
        auto* row = new QHBoxLayout(frame);
        types_[f] = new QButtonGroup(this);
        for (int k = 0; k < 3; ++k) {
            auto* o = ui::named(new QRadioButton(kinds[k], frame), optionNames[3 * f + k]);
            typeOptions_[static_cast<size_t>(3 * f + k)] = o;
            types_[f]->addButton(o, k);
            row->addWidget(o);
            connect(o, &QRadioButton::clicked, this, &EntryWindow::fieldChanged);
        }
    }
}

void EntryWindow::buildDescriptionAndLink() {
    const bool p = people();
    descriptionBox_ = ui::named(new QPlainTextEdit(QStringLiteral(" "), this), "desc");
    descriptionBox_->setMinimumHeight(70);
    descriptionBox_->setPlaceholderText(QStringLiteral("Description"));
    descriptionBox_->setToolTip(p ? QStringLiteral("A line about the person")
                                  : QStringLiteral("A line about the event"));
    // A description is one line: Tab moves on and Enter adds no line break.
    descriptionBox_->setTabChangesFocus(true);
    descriptionBox_->installEventFilter(this);
    linkButton_ = makeButton(this, "cmdLink", QStringLiteral("Web Link:"));
    if (!p)
        linkButton_->setToolTip(QStringLiteral("Click to link to further info"));
    linkBox_ = ui::named(new QLineEdit(this), "url");
    linkBox_->setToolTip(QStringLiteral("URL for further information"));
    pictureNameBox_ =
        ui::named(new QLineEdit(QStringLiteral(" "), this), p ? "pImgName" : "eImgName");
    pictureNameBox_->setToolTip(p ? QStringLiteral("Select image to display")
                                  : QStringLiteral("Associated image"));
    pictureNameBox_->setPlaceholderText(QStringLiteral("Picture"));
    pictureNameBox_->installEventFilter(this);
    browseButton_ = makeButton(this, "cmdBrowse", QStringLiteral("Browse..."));
    browseButton_->setToolTip(QStringLiteral("Choose a BMP, PNG or JPEG picture from any folder"));
}

QWidget* EntryWindow::buildPictureArea() {
    const bool p = people();
    // The picture and the file list share one place of a fixed size, so that showing or
    // hiding either moves nothing else.
    auto* pictureArea = new QWidget(this);
    pictureArea->setFixedSize(160, 140);
    pictureLabel_ = ui::named(new QLabel(pictureArea), p ? "Pimage" : "Eimage");
    pictureLabel_->setScaledContents(true);
    pictureLabel_->setGeometry(pictureArea->rect());
    pictureLabel_->installEventFilter(this);
    pictureLabel_->hide();
    pictureList_ = ui::named(new QListWidget(pictureArea), "File1");
    pictureList_->setGeometry(pictureArea->rect());
    pictureList_->hide();
    sizeLabel_ = ui::named(new QLabel(QStringLiteral("Size"), this), "Label3");
    sizeLabel_->hide();
    widthBox_ = ui::named(new QLineEdit(this), "Text2");
    heightBox_ = ui::named(new QLineEdit(this), "Text3");
    for (QLineEdit* size : {widthBox_, heightBox_})
        size->setMaximumWidth(50);
    return pictureArea;
}

void EntryWindow::layOut(QWidget* pictureArea) {
    const bool p = people();
    // Layout: the name row on top, the category lists, the dates with their types, the
    // description, the web link at the bottom; the picture and its size at the right, the
    // buttons in a column.
    auto* grid = new QGridLayout(this);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameRow_, 1);
    nameRow->addWidget(priorityBox_);
    grid->addLayout(nameRow, 0, 0, 1, 2);
    auto* lists = new QGridLayout;
    auto* size = new QHBoxLayout;
    size->addWidget(sizeLabel_);
    size->addWidget(widthBox_);
    size->addWidget(heightBox_);
    size->addStretch();
    if (p) {
        lists->addWidget(categoryBoxes_[0], 0, 0);
        lists->addWidget(categoryBoxes_[1], 0, 1);
    } else {
        // The nations one above the other at the left, the group at the right with the two
        // size boxes below it.
        lists->addWidget(categoryBoxes_[0], 0, 0);
        lists->addWidget(categoryBoxes_[2], 1, 0);
        lists->addWidget(categoryBoxes_[1], 0, 1);
        lists->addLayout(size, 1, 1);
    }
    grid->addLayout(lists, 1, 0, 1, 2);
    auto* dates = new QGridLayout;
    dates->addWidget(firstDateLabel_, 0, 0);
    dates->addWidget(firstDateBox_, 0, 1);
    dates->addWidget(firstTypeFrame_, 0, 2);
    dates->addWidget(lastDateLabel_, 1, 0);
    dates->addWidget(lastDateBox_, 1, 1);
    dates->addWidget(lastTypeFrame_, 1, 2);
    grid->addLayout(dates, 2, 0, 1, 2);
    grid->addWidget(descriptionBox_, 3, 0, 1, 2);
    auto* link = new QHBoxLayout;
    link->addWidget(linkButton_);
    link->addWidget(linkBox_, 1);
    grid->addLayout(link, 4, 0, 1, 2);
    auto* right = new QVBoxLayout;
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(pictureNameBox_, 1);
    pictureRow->addWidget(browseButton_);
    right->addLayout(pictureRow);
    right->addWidget(pictureArea);
    if (p)
        right->addLayout(size);
    right->addStretch();
    grid->addLayout(right, 0, 2, 5, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {nextButton_, previousButton_, newButton_, deleteButton_, okButton_})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 3, 5, 1);
}

void EntryWindow::connectFields() {
    connect(nameBox_, &QLineEdit::textChanged, this, &EntryWindow::Text1_Change);
    for (QLineEdit* field : {firstDateBox_, lastDateBox_, priorityBox_, linkBox_})
        connect(field, &QLineEdit::textChanged, this, &EntryWindow::fieldChanged);
    connect(descriptionBox_, &QPlainTextEdit::textChanged, this, &EntryWindow::fieldChanged);
    firstDateBox_->installEventFilter(this);
    lastDateBox_->installEventFilter(this);
    for (int k = 0; k < static_cast<int>(categoryBoxes_.size()); ++k) {
        connect(categoryBoxes_[static_cast<size_t>(k)], &QComboBox::activated, this,
                [this, k](int item) { category_Click(k, item); });
        connect(categoryBoxes_[static_cast<size_t>(k)], &QComboBox::editTextChanged, this,
                &EntryWindow::fieldChanged);
    }
    connect(nameList_, &DropDownCombo::droppingDown, this, &EntryWindow::nameList_DropDown);
    connect(nameList_, &QComboBox::activated, this, &EntryWindow::nameList_Click);
    connect(pictureNameBox_, &QLineEdit::textChanged, this, &EntryWindow::imgName_Change);
    connect(browseButton_, &QPushButton::clicked, this, &EntryWindow::cmdBrowse_Click);
    pictureList_->installEventFilter(this);
    connect(pictureList_, &QListWidget::itemClicked, this, &EntryWindow::File1_Click);
    connect(pictureList_, &QListWidget::itemActivated, this, &EntryWindow::File1_Click);
    setTabOrder(firstDateBox_, typeOptions_[0]);
    setTabOrder(typeOptions_[0], lastDateBox_);
    setTabOrder(lastDateBox_, typeOptions_[3]);
    connect(linkButton_, &QPushButton::clicked, this, &EntryWindow::cmdLink_Click);
    connect(nextButton_, &QPushButton::clicked, this, &EntryWindow::cmdNext_Click);
    connect(previousButton_, &QPushButton::clicked, this, &EntryWindow::cmdPrev_Click);
    connect(newButton_, &QPushButton::clicked, this, &EntryWindow::cmdNew_Click);
    connect(deleteButton_, &QPushButton::clicked, this, &EntryWindow::cmdDelete_Click);
    connect(okButton_, &QPushButton::clicked, this, &EntryWindow::cmdOK_Click);
}

int16_t& EntryWindow::current() {
    return people() ? state_.dataset.curPerson : state_.dataset.curEvent;
}

int EntryWindow::count() const {
    return people() ? state_.dataset.numPeople : state_.dataset.numEvents;
}

std::vector<CategoryKind> EntryWindow::kinds() const {
    if (people())
        return {kindFactions, kindOccupations};
    return {kindNations, kindGroups, kindNations};
}

std::vector<const CategoryTable*> EntryWindow::tables() const {
    std::vector<const CategoryTable*> t;
    for (const CategoryKind kind : kinds())
        t.push_back(&state_.dataset.table(kind));
    return t;
}

void EntryWindow::showCategory(size_t list, int index) {
    const CategoryTable& t = *tables()[list];
    QComboBox* box = categoryBoxes_[list];
    box->setCurrentIndex(t.valid(index) ? index - 1 : -1);
    box->setEditText(t.valid(index) ? text(t.names[static_cast<size_t>(index)]) : QString());
    // A long name shows its beginning, as the other boxes do.
    box->lineEdit()->setCursorPosition(0);
}

void EntryWindow::fillCategoryLists() {
    const std::vector<const CategoryTable*> t = tables();
    for (size_t k = 0; k < categoryBoxes_.size(); ++k) {
        QStringList names;
        for (int j = 1; j <= t[k]->count; ++j)
            names.append(text(t[k]->names[static_cast<size_t>(j)]));
        const QString shown = categoryBoxes_[k]->currentText();
        const bool wasDirty = dirty_;
        categoryBoxes_[k]->clear();
        categoryBoxes_[k]->addItems(names);
        categoryBoxes_[k]->setEditText(shown);
        categoryBoxes_[k]->lineEdit()->setCursorPosition(0);
        dirty_ = wasDirty;
    }
}

QString EntryWindow::text(const std::string& b) const {
    return ui::toQString(b, state_.dataset.encoding);
}

std::string EntryWindow::bytes(const QString& t) const {
    return ui::fromQString(t, state_.dataset.encoding);
}

void EntryWindow::Form_Load() {
    withArray(state_.dataset, people(), [](auto& a) { a.ensureSpare(); });
    // The program's folder is the current one: its pictures are the ones to choose from.
    pictureList_->clear();
    pictureList_->addItems(QDir(QFile::decodeName(QByteArray::fromStdString(state_.programFolder)))
                               .entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name));
    fillNameList();
    fillCategoryLists();
    showEntry(current());
    adjustSize();
    ui::centerForm(*this);
}

void EntryWindow::categoriesChanged() {
    fillCategoryLists();
    showEntry(current());
}

void EntryWindow::datasetChanged() {
    isNew_ = false;
    dirty_ = false;
    withArray(state_.dataset, people(), [](auto& a) {
        // The current entry may be one an undo took away.
        a.current = static_cast<int16_t>(std::clamp<int>(a.current, 0, std::max(0, a.count - 1)));
    });
    fillNameList();
    categoriesChanged();
}

void EntryWindow::fillNameList() {
    QStringList items;
    listPositions_.clear();
    withArray(state_.dataset, people(), [&](auto& a) {
        for (int i = 0; i < a.count; ++i) {
            if (a.at(i).selected == 0)
                continue;
            items.append(text(nameListItem(a.at(i))));
            listPositions_.push_back(i);
        }
    });
    // One batch: thousands of names are not added one by one.
    nameList_->clear();
    nameList_->addItems(items);
    nameList_->setCurrentIndex(-1);
    const int cur = current();
    if (cur >= 0)
        withArray(state_.dataset, people(), [&](auto& a) {
            if (static_cast<size_t>(cur) < a.records.size())
                nameBox_->setText(text(a.at(cur).name));
        });
}

void EntryWindow::showEntry(int position) {
    if (position < 0)
        return;
    withArray(state_.dataset, people(), [&](auto& a) {
        a.ensureSpare();
        if (static_cast<size_t>(position) >= a.records.size())
            return;
        shown_ = position;
        auto& r = a.at(position);
        nameBox_->setText(text(r.name));
        priorityBox_->setText(number(r.priority));
        firstDateBox_->setText(number(r.date1));
        lastDateBox_->setText(number(r.date2));
        shownDate1_ = storedYear(firstDateBox_->text().toStdString());
        const std::vector<int16_t*> fields = categoryFields(r);
        // A form with no entry behind it (an empty list's first) starts in each list's first
        // category, since the charts show no entry without one; an event's second nation may
        // stay none.
        const bool blank = !a.holdsEntry(position);
        for (size_t k = 0; k < fields.size(); ++k) {
            chosen_[k] = *fields[k];
            if (blank && chosen_[k] == 0 && (people() || k != 2) &&
                state_.dataset.table(kinds()[k]).count > 0)
                chosen_[k] = 1;
            showCategory(k, chosen_[k]);
        }
        descriptionBox_->setPlainText(text(r.desc));
        linkBox_->setText(text(r.url));
        pictureNameBox_->setText(text(r.imgName));
        widthBox_->setText(number(r.imgSize1));
        heightBox_->setText(number(r.imgSize2));
        const int16_t typeOf[2] = {r.date1Type, r.date2Type};
        for (int f = 0; f < 2; ++f) {
            // An unknown kind shows no option set.
            types_[f]->setExclusive(false);
            for (QAbstractButton* b : types_[f]->buttons())
                b->setChecked(types_[f]->id(b) == typeOf[f]);
            types_[f]->setExclusive(true);
        }
    });
    showEntryImage();
    dirty_ = false;
}

std::vector<std::unique_ptr<DatasetChange>> EntryWindow::takeTypedCategories() {
    const Dataset& ds = state_.dataset;
    // The tables with the categories the user agreed to add, not yet in the dataset.
    std::vector<std::pair<CategorySnapshot, CategorySnapshot>> grown;
    auto tableOf = [&](CategoryKind kind) -> const CategoryTable& {
        for (const auto& [before, after] : grown)
            if (after.kind == kind)
                return after.table;
        return ds.table(kind);
    };
    std::vector<std::string> declined;
    const std::vector<CategoryKind> k = kinds();
    for (size_t list = 0; list < categoryBoxes_.size(); ++list) {
        const std::string typed = bytes(categoryBoxes_[list]->currentText());
        // An emptied box keeps the entry's category; only an event's second nation may be none.
        if (categoryBoxes_[list]->currentText().trimmed().isEmpty()) {
            if (!people() && list == 2)
                chosen_[list] = 0;
            continue;
        }
        int index = findCategory(tableOf(k[list]), typed, ds.encoding);
        const std::string folded = foldCase(typed, ds.encoding);
        const bool wasDeclined =
            std::find(declined.begin(), declined.end(), folded) != declined.end();
        if (index == 0 && !wasDeclined &&
            state_.dialogs.question(
                QStringLiteral("\u201C") +
                QString::fromStdString(captionName(typed, ds.encoding)).trimmed() +
                QStringLiteral("\u201D is not ") +
                QString::fromStdString((k[list] == kindOccupations ? "an " : "a ") +
                                       categoryNoun(k[list])) +
                QStringLiteral(" yet. Add it?"))) {
            if (&tableOf(k[list]) == &ds.table(k[list]))
                grown.emplace_back(CategorySnapshot(ds, k[list]), CategorySnapshot(ds, k[list]));
            for (auto& [before, after] : grown)
                if (after.kind == k[list])
                    index = addNamedCategory(after.table, typed);
            if (index == 0)
                state_.dialogs.message(QString::fromUtf8(tableFullMessage));
        }
        if (index == 0) {
            // Declined: the entry keeps what it has, and the box shows it after the store.
            if (!wasDeclined)
                declined.push_back(folded);
            continue;
        }
        chosen_[list] = static_cast<int16_t>(index);
    }
    std::vector<std::unique_ptr<DatasetChange>> added;
    for (const auto& [before, after] : grown)
        added.push_back(categoryChange(
            "Add " +
                captionName(after.table.names[static_cast<size_t>(after.table.count)], ds.encoding),
            before, after));
    return added;
}

EntryForm EntryWindow::form() const {
    EntryForm f;
    f.name = bytes(nameBox_->text());
    f.priority = priorityBox_->text().toStdString();
    f.date1 = firstDateBox_->text().toStdString();
    f.date2 = lastDateBox_->text().toStdString();
    f.date1Type = types_[0]->checkedId();
    f.date2Type = types_[1]->checkedId();
    std::copy(chosen_.begin(), chosen_.end(), f.categories.begin());
    f.imgName = bytes(pictureNameBox_->text());
    f.imgSize1 = widthBox_->text().toStdString();
    f.imgSize2 = heightBox_->text().toStdString();
    f.url = bytes(linkBox_->text());
    f.desc = bytes(descriptionBox_->toPlainText());
    return f;
}

void EntryWindow::storeEntry(int position) {
    // A typed text (a picture's path, a name) that Windows-1252 cannot hold makes the dataset
    // UTF-8 first, in the same step to undo.
    std::vector<std::string> texts;
    for (const QString& t : {nameBox_->text(), pictureNameBox_->text(), linkBox_->text(),
                             descriptionBox_->toPlainText()})
        texts.push_back(t.toStdString());
    for (const QComboBox* box : categoryBoxes_)
        texts.push_back(box->currentText().toStdString());
    const bool grouped =
        state_.history.makeRoomFor(texts, "Edit " + nameBox_->text().left(40).toStdString());
    storeFields(position);
    if (grouped)
        state_.history.endGroup();
}

void EntryWindow::storeFields(int position) {
    priorityBox_->setText(number(entryPriorityRule(priorityBox_->text().toStdString())));
    std::vector<std::unique_ptr<DatasetChange>> added = takeTypedCategories();
    Dataset& ds = state_.dataset;
    std::unique_ptr<DatasetChange> change;
    bool resorted = false;
    withArray(ds, people(), [&](auto& a) {
        using Record = std::decay_t<decltype(a.at(0))>;
        typename EntryStoredChange<Record>::Facts facts;
        facts.currentBefore = a.current;
        const bool adding = position >= a.count;
        if (adding)
            position = a.count;
        else
            facts.before = a.at(position);
        facts.position = position;
        // The record as the form has it; the dataset changes only when the change is pushed.
        const Record r = recordFromForm(adding ? Record() : a.at(position), form());
        facts.after = r;
        facts.resorted = resorted = shownDate1_ != r.date1;
        facts.currentAfter = static_cast<int16_t>(position);
        // Stored unchanged: nothing to undo, though it counts as a change as it always has.
        if (facts.before && *facts.before == facts.after && !facts.resorted)
            return;
        const std::string caption =
            (facts.before ? "Edit " : "Add ") + captionName(facts.after.name, ds.encoding);
        change = std::make_unique<EntryStoredChange<Record>>(caption, std::move(facts));
    });
    dirty_ = false;
    ds.modified = true;
    if (added.empty()) {
        state_.history.push(std::move(change));
    } else {
        // The new categories and the entry that names them are one step to undo.
        state_.history.beginGroup(change ? change->caption() : added.front()->caption());
        for (auto& part : added)
            state_.history.push(std::move(part));
        state_.history.push(std::move(change));
        state_.history.endGroup();
        fillCategoryLists();
    }
    // Where the store put the entry: a new first date moves it to its place in date order.
    shown_ = current();
    if (resorted) {
        shownDate1_ = storedYear(firstDateBox_->text().toStdString());
        fillNameList();
    }
    for (size_t k = 0; k < categoryBoxes_.size(); ++k)
        showCategory(k, chosen_[k]);
}

void EntryWindow::savePending() {
    if (isNew_) {
        const bool full = count() >= maxEntries;
        if (full) {
            state_.dialogs.message(people() ? QStringLiteral("The dataset holds 32767 people, "
                                                             "the most it can; this one is not "
                                                             "added.")
                                            : QStringLiteral("The dataset holds 32767 events, "
                                                             "the most it can; this one is not "
                                                             "added."));
        } else {
            storeEntry(count());
        }
        isNew_ = false;
        if (full)
            showEntry(current() = static_cast<int16_t>(std::max(0, count() - 1)));
        else
            fillNameList();
    } else if (dirty_) {
        storeEntry(shown_);
    }
    dirty_ = false;
}

bool EntryWindow::dropUntouchedNew() {
    if (!isNew_ || nameBox_->text() != QStringLiteral("?") ||
        !descriptionBox_->toPlainText().isEmpty() || !pictureNameBox_->text().isEmpty())
        return false;
    dropNew();
    dirty_ = false;
    showEntry(current());
    return true;
}

void EntryWindow::dropNew() {
    isNew_ = false;
    withArray(state_.dataset, people(), [&](auto& a) {
        a.ensureSpare();
        a.at(a.count) = {};
        // Back to the entry shown before New.
        a.current = static_cast<int16_t>(std::max(0, std::min(beforeNew_, a.count - 1)));
    });
}

void EntryWindow::Text1_Change() {
    // The name list follows the typing; the entry itself changes only when it is stored.
    const auto it = std::find(listPositions_.begin(), listPositions_.end(), shown_);
    if (!isNew_ && it != listPositions_.end())
        withArray(state_.dataset, people(), [&](auto& a) {
            if (a.holdsEntry(shown_)) {
                auto typed = a.at(shown_);
                typed.name = bytes(nameBox_->text());
                nameList_->setItemText(static_cast<int>(it - listPositions_.begin()),
                                       text(nameListItem(typed)));
            }
        });
    dirty_ = true;
}

void EntryWindow::date1_LostFocus() {
    firstDateBox_->setText(QString::fromStdString(
        people() ? personFirstDateText(firstDateBox_->text().toStdString())
                 : plainNumber(firstDateRule(firstDateBox_->text().toStdString()))));
}

void EntryWindow::date2_LostFocus() {
    const std::string d1 = firstDateBox_->text().toStdString();
    const std::string d2 = lastDateBox_->text().toStdString();
    lastDateBox_->setText(QString::fromStdString(people() ? personSecondDateText(d2, d1)
                                                          : plainNumber(secondDateRule(d2, d1))));
}

void EntryWindow::category_Click(int list, int item) {
    chosen_[static_cast<size_t>(list)] = static_cast<int16_t>(item + 1);
    categoryBoxes_[static_cast<size_t>(list)]->lineEdit()->setCursorPosition(0);
    dirty_ = true;
}

void EntryWindow::nameList_DropDown() {
    const auto it = std::find(listPositions_.begin(), listPositions_.end(), current());
    nameList_->setCurrentIndex(
        it == listPositions_.end() ? -1 : static_cast<int>(it - listPositions_.begin()));
}

void EntryWindow::nameList_Click(int item) {
    if (item < 0 || static_cast<size_t>(item) >= listPositions_.size())
        return;
    if (isNew_) {
        // The new entry is dropped, never stored later with the chosen entry's fields.
        isNew_ = false;
        withArray(state_.dataset, people(), [](auto& a) { a.at(a.count) = {}; });
    }
    current() = static_cast<int16_t>(listPositions_[static_cast<size_t>(item)]);
    showEntry(current());
}

void EntryWindow::showEntryImage() {
    const std::string name = bytes(pictureNameBox_->text());
    if (!textPresent(name)) {
        for (QWidget* w : {static_cast<QWidget*>(widthBox_), static_cast<QWidget*>(heightBox_),
                           static_cast<QWidget*>(pictureLabel_), static_cast<QWidget*>(sizeLabel_)})
            w->hide();
        return;
    }
    sizeLabel_->show();
    widthBox_->show();
    heightBox_->show();
    // A missing picture says nothing here; the picture box keeps what it had.
    const QPixmap pixmap = loadEntryPicture(state_, pictureNameBox_->text().toStdString());
    if (pixmap.isNull())
        return;
    pictureLabel_->setPixmap(pixmap);
    pictureLabel_->show();
}

void EntryWindow::imgName_Change() {
    dirty_ = true;
    showEntryImage();
}

void EntryWindow::imgName_LostFocus() {
    pictureList_->hide();
    const QString t = pictureNameBox_->text();
    if (t.size() > 1) {
        qsizetype first = 0;
        while (first < t.size() && t[first] == QLatin1Char(' '))
            ++first;
        if (first > 0)
            pictureNameBox_->setText(t.mid(first));
    }
}

void EntryWindow::File1_Click() {
    if (QListWidgetItem* item = pictureList_->currentItem())
        pictureNameBox_->setText(item->text());
    pictureList_->hide();
}

void EntryWindow::picture_Click() {
    showImageWindow(state_, pictureNameBox_->text().toStdString(), this);
}

void EntryWindow::cmdBrowse_Click() {
    const std::optional<QString> chosen =
        chooseFileToOpen(state_, FileKind::picture,
                         QStringLiteral("Pictures | *.bmp;*.png;*.jpg;*.jpeg;;All files | *"));
    if (!chosen)
        return;
    pictureNameBox_->setText(QString::fromStdString(
        pictureNameFor(QFile::encodeName(*chosen).toStdString(), state_.dataset.fileName)));
}

QPixmap loadEntryPicture(const AppState& state, const std::string& name) {
    for (const std::string& path :
         pictureCandidates(name, state.dataset.fileName, state.programFolder)) {
        if (QPixmap pixmap = ui::loadPicture(path); !pixmap.isNull())
            return pixmap;
    }
    return {};
}

void EntryWindow::cmdLink_Click() {
    openWebLink(state_, linkBox_->text());
}

void EntryWindow::cmdNext_Click() {
    savePending();
    previousButton_->setEnabled(true);
    if (current() < count() - 1) {
        ++current();
        showEntry(current());
    } else {
        nextButton_->setEnabled(false);
    }
}

void EntryWindow::cmdPrev_Click() {
    savePending();
    nextButton_->setEnabled(true);
    if (current() < 1) {
        previousButton_->setEnabled(false);
    } else {
        --current();
        showEntry(current());
    }
}

void EntryWindow::cmdNew_Click() {
    savePending();
    beforeNew_ = current();
    withArray(state_.dataset, people(), [&](auto& a) {
        if (a.holdsEntry(a.current)) {
            firstDateBox_->setText(number(a.at(a.current).date1));
            lastDateBox_->setText(number(a.at(a.current).date2));
        }
        a.ensureSpare();
        a.at(a.count) = {};
        a.current = static_cast<int16_t>(std::min(a.count, maxEntries));
    });
    // The shown entry's categories carry over, and the boxes say so: what they show is what
    // the new entry gets.
    for (size_t k = 0; k < categoryBoxes_.size(); ++k)
        showCategory(k, chosen_[k]);
    shown_ = current();
    descriptionBox_->setPlainText(QString());
    pictureNameBox_->setText(QString());
    nameBox_->setText(QStringLiteral("?"));
    dirty_ = true;
    isNew_ = true;
}

void EntryWindow::cmdDelete_Click() {
    const int position = current();
    bool stored = false;
    withArray(state_.dataset, people(),
              [&](auto& a) { stored = !isNew_ && a.holdsEntry(position); });
    // Nothing stored is shown (a new entry, an empty array): there is nothing to delete, and
    // the new entry is simply dropped.
    if (stored && state_.dialogs.question(people() ? QStringLiteral("Delete this person?")
                                                   : QStringLiteral("Delete this event?"),
                                          QStringLiteral("Delete"))) {
        std::unique_ptr<DatasetChange> change;
        withArray(state_.dataset, people(), [&](auto& a) {
            using Record = std::decay_t<decltype(a.at(0))>;
            const int16_t before = a.current;
            // The one shown before it becomes current, as a removal has always left it.
            const int16_t after = static_cast<int16_t>(before > 0 ? before - 1 : before);
            change = std::make_unique<EntryDeletedChange<Record>>(
                "Delete " + captionName(a.at(position).name, state_.dataset.encoding), position,
                a.at(position), before, after);
        });
        state_.history.push(std::move(change));
    } else if (!stored) {
        dropNew();
    }
    fillNameList();
    showEntry(current());
}

bool EntryWindow::confirmClose() {
    if (dropUntouchedNew() || (!dirty_ && !isNew_))
        return true;
    const QString name =
        QString::fromStdString(captionName(bytes(nameBox_->text()), state_.dataset.encoding));
    switch (
        state_.dialogs.choose(QStringLiteral("Keep the changes to ") + name + QStringLiteral("?"),
                              ui::ChoiceButtons::yesNoCancel)) {
    case ui::Choice::yes:
        savePending();
        return true;
    case ui::Choice::no:
        if (isNew_)
            dropNew();
        else
            fillNameList(); // the typed name it shows goes too
        dirty_ = false;
        showEntry(current());
        return true;
    case ui::Choice::cancel:
        break;
    }
    return false;
}

void EntryWindow::reject() {
    // Escape and the close button come here; a window closed with edits pending asks first.
    if (confirmClose())
        QDialog::reject();
}

void EntryWindow::cmdOK_Click() {
    savePending();
    accept();
}

void EntryWindow::followCurrent() {
    const int clicked = current();
    const int before = shown_;
    const bool wasNew = isNew_;
    // The pending changes belong to the entry shown; a re-sort moves it, and the clicked
    // entry's position with it.
    current() = static_cast<int16_t>(shown_);
    savePending();
    int target = clicked;
    if (!wasNew && shown_ != before)
        target = positionAfterMove(clicked, before, shown_);
    else if (wasNew && shown_ != count() - 1)
        target = positionAfterMove(clicked, count() - 1, shown_);
    current() = static_cast<int16_t>(target);
    showEntry(target);
    raise();
    activateWindow();
}

bool EntryWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == nameRow_ && type == QEvent::Resize) {
        placeNameBox();
    } else if (type == QEvent::FocusOut) {
        if (watched == firstDateBox_)
            date1_LostFocus();
        else if (watched == lastDateBox_)
            date2_LostFocus();
        else if (watched == pictureNameBox_)
            imgName_LostFocus();
    } else if (watched == pictureNameBox_ && type == QEvent::MouseButtonPress) {
        pictureList_->setVisible(!pictureList_->isVisible());
        pictureList_->raise();
    } else if ((watched == pictureNameBox_ || watched == pictureList_) &&
               type == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
               pictureList_->isVisible()) {
        // Escape closes the open picture list, not the window.
        pictureList_->hide();
        pictureNameBox_->setFocus();
        return true;
    } else if (watched == pictureNameBox_ && type == QEvent::KeyPress) {
        pictureList_->hide();
    } else if (watched == pictureLabel_ && type == QEvent::MouseButtonPress) {
        picture_Click();
        return true;
    } else if (watched == descriptionBox_ && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    } else if (qobject_cast<QComboBox*>(watched) &&
               (type == QEvent::Wheel || type == QEvent::KeyPress)) {
        // A turn of the wheel or an arrow key over a closed list would choose another entry or
        // category by accident, throwing away what is being edited: a choice is made in the
        // dropped-down list.
        if (type == QEvent::Wheel)
            return true;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            if (!(static_cast<QKeyEvent*>(event)->modifiers() & Qt::AltModifier))
                return true;
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EntryWindow::placeNameBox() {
    nameList_->setGeometry(nameRow_->rect());
    const int narrower = ui::twipsToPixels(240, ui::logicalDpi(this));
    nameBox_->setGeometry(0, 0, std::max(20, nameRow_->width() - narrower), nameRow_->height());
    nameBox_->raise();
}

void EntryWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeNameBox();
}

ImageWindow::ImageWindow(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("ImgDisp"));
    setWindowTitle(QStringLiteral(" ")); // the window has no caption of its own
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Image1"));
    picture_->setScaledContents(true);
    const double dpi = ui::logicalDpi(this);
    picture_->setGeometry(0, 0, ui::twipsToPixels(4815, dpi), ui::twipsToPixels(4575, dpi));
    resize(picture_->size());
}

void ImageWindow::Form_Load() {
    ui::centerForm(*this);
    const QPixmap pixmap = loadEntryPicture(state_, state_.imageToShow);
    if (pixmap.isNull()) {
        state_.dialogs.message(QStringLiteral("image not found"));
        return;
    }
    picture_->setPixmap(pixmap);
}

void ImageWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    applyResize(ui::outerRectTwips(*this));
}

void ImageWindow::applyResize(const QRect& outer) {
    if (outer.height() <= 100 || outer.width() <= 60)
        return;
    const double dpi = ui::logicalDpi(this);
    picture_->hide();
    picture_->resize(ui::twipsToPixels(outer.width() - 60, dpi),
                     ui::twipsToPixels(outer.height() - 100, dpi));
    picture_->show();
}

void showImageWindow(AppState& state, const std::string& name, QWidget* parent) {
    state.imageToShow = name;
    ImageWindow window(state, parent);
    window.Form_Load();
    state.dialogs.showModal(window);
}

void openWebLink(AppState& state, const QString& link) {
    const std::string target = link.toStdString();
    switch (classifyLink(target)) {
    case LinkKind::empty:
        state.dialogs.message(QStringLiteral("Enter a URL in the form: \r\n"
                                             "   'https://www.example.com/index.htm'\r\n"
                                             "for an internet link, or \r\n"
                                             "    'mypage.htm' for a local link"));
        return;
    case LinkKind::refused:
        state.dialogs.message(
            QStringLiteral("This link is not opened: \"") +
            QString::fromStdString(displayText(target, TextEncoding::utf8, messageTextLimit)) +
            QStringLiteral("\"\r\nOnly web addresses (http, https, ftp) and documents (pages, "
                           "text, PDF and picture files) are opened, so that a link can never "
                           "start a program."));
        return;
    case LinkKind::webAddress:
    case LinkKind::localDocument:
        if (state.shellOpen)
            state.shellOpen(target);
        return;
    }
}

} // namespace tess
