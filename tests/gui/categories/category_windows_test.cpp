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
    static void clickLine(EditGroupings& w, int line, int column = 0) {
        ChartView* v = list(w);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {},
                          QPoint(column * v->charWidth() + 1, line * v->lineHeight() + 1));
    }
    static ChartView* list(const EditGroupings& w) { return child<ChartView>(w, "rtbox1"); }
    static std::string text(const EditGroupings& w, size_t n) { return list(w)->lines()[n].text(); }
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
    // A click on a line renames it; below the last, a new one, left unnamed when cancelled.
    dialogs.answerInput(QStringLiteral("Latins")).answerInput(std::nullopt);
    clickLine(w, 0, 5);
    clickLine(w, 5);
    EXPECT_EQ(text(w, 0), "Latins  1");
    EXPECT_EQ(text(w, 2), "  0");
    // A name Windows-1252 has no letters for makes the dataset UTF-8, in the same undo step.
    dialogs.answerInput(QString::fromUtf8("\u0412\u043E\u0439\u0441\u043A\u043E"));
    clickLine(w, 2);
    EXPECT_EQ(text(w, 2), "\u0412\u043E\u0439\u0441\u043A\u043E  0");
    state.history.undo();
    EXPECT_EQ(state.dataset.encoding, TextEncoding::windows1252);
    EXPECT_EQ(state.dataset.factions.names[3], "");

    // Colour mode: the clicked line takes the chosen colour.
    child<QRadioButton>(w, "Option6")->click();
    dialogs.answerColor(0x0000FF);
    clickLine(w, 1);
    EXPECT_EQ(state.dataset.factions.colors[2], 0x0000FF);

    // Nations: the events' side, its background; Backcolor paints that side's colour.
    child<QRadioButton>(w, "Option4")->click();
    EXPECT_EQ(text(w, 0), "Rome  2"); // one event naming it twice
    EXPECT_EQ(background(w), QColor(0x66, 0x55, 0x44));
    dialogs.answerColor(0x010203);
    child<QPushButton>(w, "cmdBkg")->click();
    EXPECT_EQ(background(w), QColor(0x03, 0x02, 0x01));
    EXPECT_EQ(state.settings.eventsBackColor, 0x010203);
}

TEST_F(CategoryWindowTest, PruneAndConsolidate) {
    EditGroupings w(state);
    w.show();
    // A few typed letters of a name are not completed to it: they name no category and change
    // nothing. Typed with the focus in the field, as completion only follows keys typed there.
    auto type = [](QDialog& d, const QString& text) {
        QLineEdit* edit = child<QComboBox>(d, "Combo2")->lineEdit();
        edit->clear();
        QApplication::setActiveWindow(&d);
        edit->setFocus();
        QTest::keyClicks(edit, text);
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(edit, &out);
        child<QPushButton>(d, "cmdOK")->click();
    };
    for (const bool whole : {false, true}) {
        dialogs.answerModal([&](QDialog& d) {
            type(d, whole ? QStringLiteral("Greeks") : QStringLiteral("Gre"));
            return d.result();
        });
        child<QPushButton>(w, "cmdConsolidate")->click();
        EXPECT_EQ(state.dataset.people[1].faction, whole ? 1 : 2);
    }
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Replace Greeks with Romans"));

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
        EXPECT_TRUE(child<QPushButton>(d, "cmdOK")->isDefault()); // Enter closes it
        replaceGroup(state.dataset, kindFactions, 2, 1);
        return int(QDialog::Accepted);
    });
    child<QAction>(main, "mnuGroupings")->setEnabled(true); // as an open leaves it
    child<QAction>(main, "mnuGroupings")->trigger();
    EXPECT_EQ(child<QComboBox>(*entry, "cmbFaction")->itemText(0), QStringLiteral(" "));
    child<QPlainTextEdit>(*entry, "desc")->setPlainText(QStringLiteral("Dictator"));
    entry->savePending();
    EXPECT_EQ(state.dataset.people[0].faction, 2);
}
