#include "app/zemmain.h"
#include "categories/category_windows.h"
#include "entry/entry_window.h"
#include "ui/chart_view.h"

#include "support/gui_test.h"

namespace {

class CategoryWindowTest : public ::testing::Test {
protected:
    CategoryWindowTest() : state(dialogs, folder.path().string()) {
        state.dataset = DatasetBuilder()
                            .category(kindFactions, "Romans", 255)
                            .category(kindFactions, "Greeks", 65280)
                            .category(kindNations, "Rome", 1)
                            .person("Caesar", -100, -44, 1)
                            .person("Plato", -428, -348, 2)
                            .event("Actium", -31, -31, 1, 1, 1)
                            .build();
        state.settings.peopleBackColor = 0x112233;
        state.settings.eventsBackColor = 0x445566;
    }
    // A click (press and release) on the list, at a character cell of a line (both from 0).
    static void clickLine(EditGroupings& w, int line, int column = 0,
                          Qt::MouseButton button = Qt::LeftButton) {
        ChartView* v = list(w);
        QTest::mouseClick(v->viewport(), button, {},
                          QPoint(column * v->charWidth() + 1, line * v->lineHeight() + 1));
    }
    static ChartView* list(const EditGroupings& w) { return child<ChartView>(w, "rtbox1"); }
    static std::string text(const EditGroupings& w, int line) {
        return list(w)->lines().at(static_cast<size_t>(line)).text();
    }
    // The painted background, where no line reaches.
    static QColor background(const EditGroupings& w) {
        const QImage image = list(w)->viewport()->grab().toImage();
        return image.pixelColor(image.width() - 1, image.height() - 1);
    }
    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
};

} // namespace

TEST_F(CategoryWindowTest, TheEditorShowsATableAndEditsTheClickedLine) {
    EditGroupings w(state);
    w.show();
    EXPECT_EQ(background(w), QColor(0x33, 0x22, 0x11));

    // The first line's first column, with the right button: category 1. An empty answer keeps
    // the name but counts as a change.
    dialogs.answerInput(QString());
    clickLine(w, 0, 0, Qt::RightButton);
    EXPECT_EQ(state.dataset.factions.names[1], "Romans");
    EXPECT_TRUE(state.dataset.modified);
    dialogs.answerInput(QStringLiteral("Latins"));
    clickLine(w, 0, 5);
    EXPECT_EQ(text(w, 0), "Latins  1");

    // Below the last category: a new one, left unnamed when the box is cancelled.
    dialogs.answerInput(std::nullopt);
    clickLine(w, 5);
    EXPECT_EQ(state.dataset.factions.count, 3);
    EXPECT_EQ(text(w, 2), "  0");

    // Colour mode: the chosen colour; a cancelled dialog or the last line change nothing.
    child<QRadioButton>(w, "Option6")->click();
    dialogs.answerColor(0x0000FF).answerColor(std::nullopt).answerColor(0x00FF00);
    clickLine(w, 1);
    clickLine(w, 1);
    clickLine(w, 3);
    EXPECT_EQ(state.dataset.factions.colors[2], 0x0000FF);
    EXPECT_EQ(dialogs.shown.back().text, QString::number(0x0000FF)); // preset: the last chosen

    // Nations: the events' side, its background; Backcolor paints that side's colour.
    child<QRadioButton>(w, "Option4")->click();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Edit Nations"));
    EXPECT_EQ(text(w, 0), "Rome  2"); // one event naming it twice
    EXPECT_EQ(background(w), QColor(0x66, 0x55, 0x44));
    state.dataset.modified = false;
    dialogs.answerColor(std::nullopt).answerColor(0x010203);
    child<QPushButton>(w, "cmdBkg")->click(); // cancelled: nothing changes
    EXPECT_FALSE(state.dataset.modified);
    child<QPushButton>(w, "cmdBkg")->click();
    EXPECT_TRUE(state.dataset.modified);
    EXPECT_EQ(background(w), QColor(0x03, 0x02, 0x01));
    EXPECT_EQ(state.settings.eventsBackColor, 0x010203);
    EXPECT_EQ(state.settings.peopleBackColor, 0x112233);
}

TEST_F(CategoryWindowTest, AnEmptyTableAddsCategoryOne) {
    state.dataset.groups = CategoryTable();
    EditGroupings w(state);
    w.show();
    child<QRadioButton>(w, "Option3")->click();
    dialogs.answerInput(QStringLiteral("Wars"));
    clickLine(w, 0);
    // The event's group 1 lay beyond the empty table: the first drawing took it away.
    EXPECT_EQ(text(w, 0), "Wars  0");
    EXPECT_EQ(state.dataset.events[0].group, 0);
}

TEST_F(CategoryWindowTest, PruneAndConsolidate) {
    EditGroupings w(state);
    w.show();
    dialogs.answerQuestion(false);
    child<QPushButton>(w, "cmdPrune")->click();
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("No changes")});
    EXPECT_FALSE(state.dataset.modified);

    // Typed text that names no category, a few letters of one included, closes without a
    // change: nothing completes it. Typed with the focus in the field, as completion only
    // follows keys typed there.
    auto type = [](QDialog& d, const char* box, const QString& text) {
        QLineEdit* edit = child<QComboBox>(d, box)->lineEdit();
        edit->clear();
        QApplication::setActiveWindow(&d);
        edit->setFocus();
        QTest::keyClicks(edit, text);
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(edit, &out);
    };
    for (const char* typed : {"Nobody", "Gre"}) {
        dialogs.answerModal([&type, typed](QDialog& d) {
            type(d, "Combo2", QString::fromLatin1(typed));
            child<QPushButton>(d, "cmdOK")->click();
            EXPECT_EQ(dynamic_cast<Consolidate&>(d).replace(), 0) << typed;
            return d.result();
        });
        child<QPushButton>(w, "cmdConsolidate")->click();
    }

    // Consolidate: OK at once is no change; then Greeks into Romans.
    dialogs.answerModal([&](QDialog& d) {
        child<QPushButton>(d, "cmdOK")->click();
        EXPECT_EQ(dialogs.messages().back(), QStringLiteral("No changes requested"));
        type(d, "Combo2", QStringLiteral("Greeks"));
        child<QPushButton>(d, "cmdOK")->click();
        EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Replace Greeks with Romans"));
        return d.result();
    });
    child<QPushButton>(w, "cmdConsolidate")->click();
    EXPECT_EQ(state.dataset.people[1].faction, 1);
    EXPECT_TRUE(state.dataset.modified);
    EXPECT_EQ(text(w, 0), "Romans  2");

    dialogs.answerQuestion(true);
    child<QPushButton>(w, "cmdPrune")->click();
    EXPECT_EQ(state.dataset.factions.count, 1);
}

TEST_F(CategoryWindowTest, GroupingsOpensTheEditorAndOpenEntryWindowsFollowIt) {
    ZemMain main(state);
    main.show();
    main.showEntryWindow(Side::people); // as a chart click opens it, on Caesar
    EntryWindow* entry = topLevel<EntryWindow>("PEntry");
    ASSERT_NE(entry, nullptr);
    // Romans folded into Greeks while Caesar's entry window stays open: storing from it keeps
    // the new category rather than putting back the old one.
    dialogs.answerModal([this](QDialog& d) {
        EXPECT_NE(dynamic_cast<EditGroupings*>(&d), nullptr);
        EXPECT_TRUE(child<QPushButton>(d, "cmdOK")->isDefault()); // Enter closes it
        replaceGroup(state.dataset, kindFactions, 2, 1);
        return int(QDialog::Accepted);
    });
    QAction* groupings = child<QAction>(main, "mnuGroupings");
    groupings->setEnabled(true); // as an open leaves it
    groupings->trigger();
    EXPECT_EQ(child<QComboBox>(*entry, "cmbFaction")->itemText(0), QStringLiteral(" "));
    child<QPlainTextEdit>(*entry, "desc")->setPlainText(QStringLiteral("Dictator"));
    entry->savePending();
    EXPECT_EQ(state.dataset.people[0].desc, "Dictator");
    EXPECT_EQ(state.dataset.people[0].faction, 2);
}
