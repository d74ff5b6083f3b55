#pragma once

#include "entry/entry_form.h"
#include "state/app_state.h"

#include <QComboBox>
#include <QDialog>
#include <QPixmap>

#include <array>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tess {

// A drop-down list that says when it is about to drop down.
class DropDownCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
signals:
    void droppingDown();
};

// PEntry ("People Entry") and eEntry ("Events Entry"): one entry at a time in its fields,
// Prev and Next through the array, a list of names to jump to, New, Delete and OK. One class,
// two sides; only the category lists, names and a few texts differ.
class EntryWindow : public QDialog {
    Q_OBJECT
public:
    EntryWindow(AppState& state, Side side, QWidget* parent = nullptr);

    Side side() const { return side_; }

    // True while the fields hold a New entry not yet stored.
    bool isNew() const { return isNew_; }

    void fillNameList();
    void showEntry(int position);
    void storeEntry(int position);
    void savePending();
    // A New form nothing was typed into (still named "?", no description or picture) is
    // dropped rather than stored; true when there was one.
    bool dropUntouchedNew();

    // Before the window closes with edits not yet stored: Yes stores them, No puts the entry
    // back as the window showed it, Cancel keeps the window open (false).
    bool confirmClose();
    void reject() override;

public slots:
    void Form_Load();
    void Text1_Change();
    void fieldChanged() { dirty_ = true; }
    void date1_LostFocus();
    void date2_LostFocus();
    void category_Click(int list, int item);
    void nameList_DropDown();
    void nameList_Click(int item);
    void imgName_Change();
    void imgName_LostFocus();
    void File1_Click();
    void picture_Click();
    void cmdBrowse_Click();
    void cmdLink_Click();
    void cmdNext_Click();
    void cmdPrev_Click();
    void cmdNew_Click();
    void cmdDelete_Click();
    void cmdOK_Click();
    // The timeline made another entry current while this window is open: the entry shown is
    // stored first if it has changes, then the clicked one is shown.
    void followCurrent();
    // The category lists are filled again and the entry shown afresh, after the category editor
    // changed the tables (pending edits were stored before it opened).
    void categoriesChanged();
    // An undo or redo changed the dataset: the names, the lists and the current entry afresh.
    // Pending edits were stored before it.
    void datasetChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool people() const { return side_ == Side::people; }
    // The constructor's parts: the controls of each area, then their layout and wiring.
    void buildNameRow();
    void buildCategoryBoxes();
    void buildDates();
    void buildDescriptionAndLink();
    QWidget* buildPictureArea();
    void layOut(QWidget* pictureArea);
    void connectFields();
    int16_t& current();
    int count() const;
    // The fields as the user left them, for the store to make a record of.
    EntryForm form() const;
    std::vector<CategoryKind> kinds() const;
    std::vector<const CategoryTable*> tables() const;
    // A list's box shows a category (none for 0 or a number past the table), from its start.
    void showCategory(size_t list, int index);
    // The lists hold the tables' names again; the texts in the boxes stay.
    void fillCategoryLists();
    // Before a store: each box's text names a category of its table, or the user is asked
    // whether to add it (Yes) or to keep the entry's own (No). The changes of the categories
    // added, for undo together with the store.
    std::vector<std::unique_ptr<DatasetChange>> takeTypedCategories();
    // The store itself, in the dataset's encoding.
    void storeFields(int position);
    void showEntryImage();
    void placeNameBox();
    // The New form goes unstored and the entry shown before it is current again.
    void dropNew();
    QString text(const std::string& bytes) const;
    std::string bytes(const QString& text) const;

    AppState& state_;
    Side side_;
    QWidget* nameRow_ = nullptr;
    QButtonGroup* types_[2] = {nullptr, nullptr};
    std::vector<int> listPositions_; // the entry each name-list item stands for
    int shown_ = 0;                  // the position the fields belong to
    int beforeNew_ = 0;              // the position shown when New was pressed

    // Controls; their object names are the names the help and the tests use.
    QLineEdit* nameBox_ = nullptr;
    DropDownCombo* nameList_ = nullptr; // cmbP / Combo1
    QLineEdit* priorityBox_ = nullptr;
    // cmbFaction, cmbOccupation / cmbNation1, cmbGroup, cmbNation2
    std::vector<QComboBox*> categoryBoxes_;
    QLabel* firstDateLabel_ = nullptr;
    QLineEdit* firstDateBox_ = nullptr;
    QGroupBox* firstTypeFrame_ = nullptr;
    QLabel* lastDateLabel_ = nullptr;
    QLineEdit* lastDateBox_ = nullptr;
    QGroupBox* lastTypeFrame_ = nullptr;
    std::array<QRadioButton*, 6> typeOptions_{}; // Option1..Option6
    QPlainTextEdit* descriptionBox_ = nullptr;
    QPushButton* linkButton_ = nullptr;
    QLineEdit* linkBox_ = nullptr;
    QLineEdit* pictureNameBox_ = nullptr; // pImgName / eImgName
    QPushButton* browseButton_ = nullptr; // cmdBrowse
    QListWidget* pictureList_ = nullptr;
    QLabel* pictureLabel_ = nullptr; // Pimage / Eimage
    QLabel* sizeLabel_ = nullptr;
    QLineEdit* widthBox_ = nullptr;
    QLineEdit* heightBox_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* previousButton_ = nullptr;
    QPushButton* newButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* okButton_ = nullptr;

    bool dirty_ = false;
    bool isNew_ = false;
    std::array<int16_t, 3> chosen_{}; // the category indices the fields stand for
    int16_t shownDate1_ = 0;
};

// The picture window: the named picture of the program folder, scaled to the window.
class ImageWindow : public QDialog {
    Q_OBJECT
public:
    ImageWindow(AppState& state, QWidget* parent = nullptr);
    // The rule for a window of this outer size in twips: the picture fills it less 60 twips
    // across and 100 down, unless the window is too small.
    void applyResize(const QRect& outerTwips);
public slots:
    void Form_Load();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    AppState& state_;
    QLabel* picture_ = nullptr;
};

// Shows the picture window for a picture name, modally.
// The picture window for a picture name (UTF-8) as an entry gives it.
void showImageWindow(AppState& state, const std::string& name, QWidget* parent);
// The picture an entry names (UTF-8): a full path, a path from the dataset's folder, or a bare
// name beside the dataset or in the program folder. Null when none can be shown.
QPixmap loadEntryPicture(const AppState& state, const std::string& name);
// Opens an entry's web link: a help message for an empty one, a refusal for anything that is
// neither a web address nor a document, else the system's program for it.
void openWebLink(AppState& state, const QString& link);

} // namespace tess
