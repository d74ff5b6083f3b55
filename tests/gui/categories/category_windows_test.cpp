#include "app/zemmain.h"
#include "categories/category_windows.h"
#include "entry/entry_window.h"
#include "ui/chart_view.h"

#include "support/dataset_builder.h"
#include "support/find_child.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tess;
using namespace testing_support;

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
        ChartView* v = w.rtbox1;
        QTest::mouseClick(v->viewport(), button, {},
                          QPoint(column * v->charWidth() + 1, line * v->lineHeight() + 1));
    }
    // Types into a list's field and leaves it.
    static void leave(QComboBox* combo, const QString& text) {
        combo->lineEdit()->setText(text);
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(combo->lineEdit(), &out);
    }
    static std::string text(const ChartView* v, int line) {
        return v->lines().at(static_cast<size_t>(line)).text();
    }
    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
};

} // namespace

TEST_F(CategoryWindowTest, TheEditorShowsATableAndEditsTheClickedLine) {
    EditGroupings w(state);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Edit Factions"));
    EXPECT_EQ(state.editedKind, kindFactions);
    EXPECT_TRUE(w.Option1->isChecked());
    EXPECT_TRUE(w.Option5->isChecked());
    EXPECT_EQ(w.Frame1->toolTip(), QStringLiteral("Click at bottom to add new group"));
    ASSERT_EQ(w.rtbox1->lineCount(), 3);
    EXPECT_EQ(text(w.rtbox1, 0), "Romans  1");
    EXPECT_EQ(text(w.rtbox1, 2), " ");
    EXPECT_EQ(w.rtbox1->backgroundColor(), QColor(0x33, 0x22, 0x11));

    // The first line's first column, with the right button: category 1. An empty answer keeps
    // the name but counts as a change.
    dialogs.answerInput(QString());
    clickLine(w, 0, 0, Qt::RightButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Enter changed text"));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Edit Groupings"));
    EXPECT_EQ(state.dataset.factions.names[1], "Romans");
    EXPECT_TRUE(state.dataset.modified);

    dialogs.answerInput(QStringLiteral("Latins"));
    clickLine(w, 0, 5);
    EXPECT_EQ(state.dataset.factions.names[1], "Latins");
    EXPECT_EQ(text(w.rtbox1, 0), "Latins  1");

    // Below the last category: a new one, left unnamed when the box is cancelled.
    dialogs.answerInput(std::nullopt);
    clickLine(w, 5);
    EXPECT_EQ(state.dataset.factions.count, 3);
    EXPECT_EQ(state.dataset.factions.names[3], "");
    EXPECT_EQ(text(w.rtbox1, 2), "  0");

    // Colour mode: the chosen colour; a cancelled dialog or the last line change nothing.
    w.Option6->click();
    dialogs.answerColor(0x0000FF).answerColor(std::nullopt).answerColor(0x00FF00);
    clickLine(w, 1);
    EXPECT_EQ(state.dataset.factions.colors[2], 0x0000FF);
    clickLine(w, 1);
    clickLine(w, 3);
    EXPECT_EQ(state.dataset.factions.colors[2], 0x0000FF);
    EXPECT_EQ(dialogs.shown.back().text, QString::number(0x0000FF)); // preset: the last chosen

    // Nations: the events' side, its background; Backcolor sets that side's colour.
    w.Option4->click();
    EXPECT_EQ(state.editedKind, kindNations);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Edit Nations"));
    EXPECT_EQ(text(w.rtbox1, 0), "Rome  2"); // one event naming it twice
    state.dataset.modified = false;
    dialogs.answerColor(std::nullopt).answerColor(0x010203);
    w.cmdBkg->click(); // cancelled: nothing changes
    EXPECT_FALSE(state.dataset.modified);
    w.cmdBkg->click();
    EXPECT_TRUE(state.dataset.modified);
    EXPECT_EQ(state.settings.eventsBackColor, 0x010203);
    EXPECT_EQ(state.settings.peopleBackColor, 0x112233);
}

TEST_F(CategoryWindowTest, AnEmptyTableAddsCategoryOne) {
    state.dataset.groups = CategoryTable();
    EditGroupings w(state);
    w.show();
    w.Option3->click();
    ASSERT_EQ(w.rtbox1->lineCount(), 1);
    dialogs.answerInput(QStringLiteral("Wars"));
    clickLine(w, 0);
    EXPECT_EQ(state.dataset.groups.count, 1);
    EXPECT_EQ(state.dataset.groups.names[1], "Wars");
    // The event's group 1 lay beyond the empty table: the first drawing took it away.
    EXPECT_EQ(text(w.rtbox1, 0), "Wars  0");
    EXPECT_EQ(state.dataset.events[0].group, 0);
}

TEST_F(CategoryWindowTest, PruneAndConsolidate) {
    EditGroupings w(state);
    w.show();
    dialogs.answerQuestion(false);
    w.cmdPrune->click();
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("Do you want to eliminate items with 0 count?"));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Prune "));
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("No changes")});
    EXPECT_FALSE(state.dataset.modified);

    // Typed text that names no category, a few letters of one included, closes without a
    // change: nothing completes it.
    for (const char* typed : {"Nobody", "Gre"}) {
        dialogs.answerModal([typed](QDialog& d) {
            auto& c = dynamic_cast<Consolidate&>(d);
            c.Combo2->lineEdit()->clear();
            // Typed with the focus in the field, as completion only follows keys typed there.
            QApplication::setActiveWindow(&c);
            c.Combo2->lineEdit()->setFocus();
            QTest::keyClicks(c.Combo2->lineEdit(), QString::fromLatin1(typed));
            leave(c.Combo2, c.Combo2->currentText());
            c.cmdOK->click();
            EXPECT_EQ(c.replace(), 0) << typed;
            return c.result();
        });
        w.cmdConsolidate->click();
    }

    // Consolidate: OK at once is no change; then Greeks into Romans.
    dialogs.answerModal([this](QDialog& d) {
        auto& c = dynamic_cast<Consolidate&>(d);
        EXPECT_EQ(c.Combo1->currentText(), QStringLiteral("Romans"));
        EXPECT_EQ(c.Combo2->currentText(), QStringLiteral("Greeks"));
        c.cmdOK->click();
        EXPECT_EQ(dialogs.messages().back(), QStringLiteral("No changes requested"));
        leave(c.Combo2, QStringLiteral("Greeks"));
        c.cmdOK->click();
        EXPECT_EQ(c.replace(), 2);
        EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Replace Greeks with Romans"));
        return c.result();
    });
    w.cmdConsolidate->click();
    EXPECT_EQ(state.dataset.people[1].faction, 1);
    EXPECT_EQ(state.dataset.factions.names[2], " ");
    EXPECT_TRUE(state.dataset.modified);
    EXPECT_EQ(text(w.rtbox1, 0), "Romans  2");

    dialogs.answerQuestion(true);
    w.cmdPrune->click();
    EXPECT_EQ(state.dataset.factions.count, 1);
}

TEST_F(CategoryWindowTest, GroupingsOpensTheEditorAndOpenEntryWindowsFollowIt) {
    ZemMain main(state);
    main.show();
    EditGroupings* editor = nullptr;
    main.showEntryWindow(Side::people); // as a chart click opens it, on Caesar
    EntryWindow* entry = testing_support::topLevel<EntryWindow>("PEntry");
    ASSERT_NE(entry, nullptr);
    dialogs.answerModal([&editor](QDialog& d) {
        editor = dynamic_cast<EditGroupings*>(&d);
        EXPECT_NE(editor, nullptr);
        EXPECT_TRUE(editor->cmdOK->isDefault()); // Enter closes it
        return int(QDialog::Accepted);
    });
    testing_support::child<QAction>(main, "mnuGroupings")->setEnabled(true); // as an open leaves it
    testing_support::child<QAction>(main, "mnuGroupings")->trigger();
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("editgrp"));

    // Romans folded into Greeks while Caesar's entry window stays open: storing from it keeps
    // the new category rather than putting back the old one.
    dialogs.answerModal([this](QDialog&) {
        dialogs.message(QStringLiteral("Replace Romans with Greeks"));
        replaceGroup(state.dataset, kindFactions, 2, 1);
        return int(QDialog::Accepted);
    });
    testing_support::child<QAction>(main, "mnuGroupings")->trigger();
    EXPECT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(state.dataset.people[0].faction, 2);
    EXPECT_EQ(testing_support::child<QComboBox>(*entry, "cmbFaction")->count(), 2);
    EXPECT_EQ(testing_support::child<QComboBox>(*entry, "cmbFaction")->itemText(0),
              QStringLiteral(" "));
    testing_support::child<QPlainTextEdit>(*entry, "desc")
        ->setPlainText(QStringLiteral("Dictator")); // an edit, then stored
    entry->savePending();
    EXPECT_EQ(state.dataset.people[0].desc, "Dictator");
    EXPECT_EQ(state.dataset.people[0].faction, 2);
}
