#include "app/zemmain.h"
#include "categories/category_windows.h"
#include "core/qd3_file.h"
#include "entry/entry_window.h"
#include "ui/chart_view.h"

#include "support/gui_test.h"

namespace {

// Everything a change may touch: the file text (entries, selections, tables) and what the
// file does not hold. (The current entries are where the user went, not part of a change.)
struct State {
    std::string text;
    int16_t selPeople, selEvents;
    CategoryTable factions, occupations, groups, nations;
    TextEncoding encoding;
    bool operator==(const State&) const = default;
};
void PrintTo(const State& s, std::ostream* os) {
    *os << "sel " << s.selPeople << "/" << s.selEvents << " factions " << s.factions.count << "/"
        << s.factions.names.size() << " nations " << s.nations.count << "\n"
        << s.text;
}
State stateOf(const Dataset& ds) {
    return {formatDataset(ds), ds.numSelPeople, ds.numSelEvents, ds.factions,
            ds.occupations,    ds.groups,       ds.nations,      ds.encoding};
}

class UndoTest : public ::testing::Test {
public:
    UndoTest() : state(dialogs, folder.path().string()) {
        // The people are not in date order, as a file may have them: a re-sort moves others too.
        DatasetBuilder b;
        b.category(kindFactions, "Romans", 255).category(kindFactions, "Greeks", 65280);
        b.category(kindFactions, "Unused", 7).category(kindOccupations, "Writer", 3);
        b.category(kindNations, "Rome", 1).category(kindNations, "Egypt", 2);
        b.category(kindGroups, "Wars", 6);
        b.person("Plato", -428, -348, 2).person("Caesar", -100, -44, 1);
        b.person("Homer", -750, -700, 2).person("Cicero", -106, -43, 1);
        b.event("Actium", -31, -31, 1, 1, 2).event("Marathon", -490, -490, 1, 2, 1);
        state.dataset = b.build();
        state.dataset.people[3].selected = 0;
        state.dataset.numSelPeople = 3;
        state.history.startAfresh();
    }
    // Folds the named category into the first of its table (nations, or factions).
    static void consolidate(AppState& s, ScriptedDialogs& d, bool nations, const char* replace) {
        EditGroupings w(s);
        w.show();
        if (nations)
            child<QRadioButton>(w, "Option4")->click();
        d.answerModal([replace](QDialog& dialog) {
            auto& c = dynamic_cast<Consolidate&>(dialog);
            child<QComboBox>(c, "Combo2")->lineEdit()->setText(QString::fromUtf8(replace));
            QFocusEvent out(QEvent::FocusOut);
            QCoreApplication::sendEvent(child<QComboBox>(c, "Combo2")->lineEdit(), &out);
            child<QPushButton>(c, "cmdOK")->click();
            return c.result();
        });
        child<QPushButton>(w, "cmdConsolidate")->click();
        EXPECT_TRUE(d.messages().back().startsWith(QStringLiteral("Replace ")));
    }
    static void clickLine(EditGroupings& w, int line) {
        QTest::mouseClick(child<ChartView>(w, "rtbox1")->viewport(), Qt::LeftButton, {},
                          QPoint(1, line * child<ChartView>(w, "rtbox1")->lineHeight() + 1));
    }

    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
};

} // namespace

TEST_F(UndoTest, EveryKindOfChangeIsUndoneAndRedoneExactly) {
    using Edit = std::function<void(EntryControls&)>;
    // An entry window on the entry at a position of the name list (-1: a New one), edited and
    // stored with OK.
    auto entry = [this](Side side, int position, Edit edit) {
        return [this, side, position, edit] {
            EntryWindow w(state, side);
            EntryControls c(w);
            position < 0 ? c.cmdNew->click() : w.nameList_Click(position);
            edit(c);
            c.cmdOK->click();
        };
    };
    auto editor = [this](std::function<void(EditGroupings&)> edit) {
        return [this, edit] {
            EditGroupings w(state);
            w.show();
            edit(w);
        };
    };
    auto text = [](QLineEdit* box, const char* value) { box->setText(QString::fromUtf8(value)); };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        // Re-dated to the front, past entries the one pass also swaps.
        {"Edit Homer", entry(Side::people, 2,
                             [&](EntryControls& c) {
                                 text(c.date1, "-2000");
                                 c.desc->setPlainText(QStringLiteral("blind poet"));
                             })},
        {"Edit Caesar the Great",
         entry(Side::people, 1, [&](EntryControls& c) { text(c.Text1, "Caesar the Great"); })},
        // A new occupation typed in, and added: one step with the entry that names it.
        {"Edit Plato", entry(Side::people, 0,
                             [&](EntryControls& c) {
                                 c.categoryLists[1]->setEditText(QStringLiteral("Philosopher"));
                                 dialogs.answerQuestion(true);
                             })},
        {"Add Thermopylae", entry(Side::events, -1,
                                  [&](EntryControls& c) {
                                      text(c.Text1, "Thermopylae");
                                      text(c.date1, "-480");
                                      text(c.date2, "-480");
                                  })},
        {"Delete Caesar", entry(Side::people, 1,
                                [&](EntryControls& c) {
                                    dialogs.answerQuestion(true);
                                    c.cmdDelete->click();
                                })},
        {"Add to Factions", editor([&](EditGroupings& w) {
             dialogs.answerInput(QStringLiteral("Persians"));
             clickLine(w, 3);
         })},
        {"Rename Greeks", editor([&](EditGroupings& w) {
             dialogs.answerInput(QStringLiteral("Hellenes"));
             clickLine(w, 1);
         })},
        {"Recolour Rome", editor([&](EditGroupings& w) {
             child<QRadioButton>(w, "Option4")->click();
             child<QRadioButton>(w, "Option6")->click();
             dialogs.answerColor(0x123456);
             clickLine(w, 0);
         })},
        {"Prune Factions", editor([&](EditGroupings& w) {
             dialogs.answerQuestion(true);
             child<QPushButton>(w, "cmdPrune")->click();
         })},
        {"Replace 2 Egypt with 1 Rome", [&] { consolidate(state, dialogs, true, "Egypt"); }},
        // People's fields pointed elsewhere come back too.
        {"Replace Greeks with Romans", [&] { consolidate(state, dialogs, false, "Greeks"); }},
        // Greek names do not fit Windows-1252: the whole dataset becomes UTF-8.
        {"Merge other.qd3",
         [&] {
             Dataset other = DatasetBuilder()
                                 .category(kindFactions, "Αιγύπτιοι", 9)
                                 .person("Κλεοπάτρα", -69, -30, 1)
                                 .build();
             other.encoding = TextEncoding::utf8;
             writeDataset(other, folder.file("other.qd3"));
             ZemMain w(state);
             dialogs.answerOpen(q(folder.file("other.qd3"))).acceptModal();
             w.mnumerge_Click();
             EXPECT_TRUE(
                 dialogs.messages().back().endsWith(QStringLiteral("1 people and 0 events ")));
         }},
    };
    for (const auto& [caption, make] : changes) {
        SCOPED_TRACE(caption);
        const Dataset original = state.dataset;
        const State before = stateOf(state.dataset);
        make();
        const State after = stateOf(state.dataset);
        ASSERT_NE(after, before);
        EXPECT_TRUE(state.dataset.modified);
        EXPECT_EQ(state.history.stack().undoText(), QString::fromUtf8(caption));
        for (int round = 0; round < 2; ++round) {
            state.history.undo();
            EXPECT_EQ(stateOf(state.dataset), before);
            EXPECT_FALSE(state.dataset.modified); // back where it was opened
            state.history.redo();
            EXPECT_EQ(stateOf(state.dataset), after);
            EXPECT_TRUE(state.dataset.modified);
        }
        state.dataset = original;
        state.history.startAfresh();
    }
}

TEST_F(UndoTest, TheEditMenuSavesAndTheHistoryLimit) {
    const std::string path = folder.file("main.qd3");
    writeDataset(state.dataset, path);
    ZemMain w(state);
    dialogs.answerOpen(q(path)).acceptModal(); // and the statistics
    child<QAction>(w, "mnuopen")->trigger();
    QAction* undo = child<QAction>(w, "mnuUndo");
    QAction* redo = child<QAction>(w, "mnuRedo");

    // Edit sits between Files and People, its entries named by the change they would undo.
    EXPECT_EQ(w.menuBar()->actions().indexOf(child<QMenu>(w, "mnuedit")->menuAction()), 1);
    EXPECT_FALSE(undo->isEnabled());
    {
        EntryWindow e(state, Side::people);
        dialogs.answerQuestion(true);
        EntryControls(e).cmdDelete->click(); // Plato, the first
    }
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Delete Plato"));

    // Saved: undoing leaves unsaved changes, redoing comes back to the saved state.
    dialogs.answerSave(q(path));
    child<QAction>(w, "mnusave")->trigger();
    EXPECT_FALSE(state.dataset.modified);
    undo->trigger();
    EXPECT_TRUE(state.dataset.modified);
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo Delete Plato"));
    redo->trigger();
    EXPECT_FALSE(state.dataset.modified);

    // A change made outside the history (the back colour) keeps the dataset unsaved through
    // undo and redo.
    state.dataset.modified = true;
    undo->trigger();
    redo->trigger();
    EXPECT_TRUE(state.dataset.modified);

    // Only the last hundred changes are kept; opening a dataset forgets them all.
    {
        EntryWindow e(state, Side::events);
        EntryControls ec(e);
        for (int i = 0; i < 120; ++i) {
            ec.desc->setPlainText(QString::number(i));
            ec.cmdOK->click();
        }
    }
    EXPECT_EQ(state.history.stack().count(), 100);
    dialogs.answerChoice(ui::Choice::no).answerOpen(q(path)).acceptModal();
    child<QAction>(w, "mnuopen")->trigger();
    EXPECT_EQ(state.history.stack().count(), 0);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(dialogs.messages().size(), 1u); // "Saving ..."
}

TEST_F(UndoTest, FindListsMatchesAndShowsTheChosenOneOnItsChart) {
    DatasetBuilder b;
    b.category(kindFactions, "Romans", 255).category(kindOccupations, "Writer", 3);
    b.category(kindNations, "Rome", 1).category(kindGroups, "Wars", 6);
    b.person("Julius Caesar", -100, -44).person("Cicero", -106, -43);
    for (int i = 0; i < 250; ++i)
        b.event("Battle " + std::to_string(i), -300 + i, -300 + i);
    b.event("Caesarea founded", -22, -10);
    const std::string path = folder.file("find.qd3");
    Dataset built = b.build();
    writeDataset(built, path);
    ZemMain w(state);
    dialogs.answerOpen(q(path)).acceptModal();
    child<QAction>(w, "mnuopen")->trigger();
    child<QAction>(w, "mnuFind")->trigger();
    auto* f = w.findChild<FindWindow*>();
    ASSERT_NE(f, nullptr);
    QLineEdit* box = child<QLineEdit>(*f, "txtFind");
    QListWidget* found = child<QListWidget>(*f, "lstFound");

    // Each row with its kind and years; the count says how many more there are.
    QTest::keyClicks(box, QStringLiteral("cAESAR"));
    ASSERT_EQ(found->count(), 2);
    EXPECT_EQ(found->item(1)->text(),
              QStringLiteral("Event  22 BC \u2013 10 BC  Caesarea founded"));
    box->setText(QStringLiteral("battle"));
    EXPECT_EQ(child<QLabel>(*f, "lblCount")->text(),
              QStringLiteral("250 found; the first 200 are listed"));

    // Down and Enter in the box: the entry becomes current, the charts open, and its line is
    // highlighted in sight, also after an entry was deleted since the chart was drawn.
    state.dataset.curEvent = 0;
    {
        EntryWindow d(state, Side::events);
        dialogs.answerQuestion(true);
        EntryControls(d).cmdDelete->click(); // the first battle
    }
    w.showEntryWindow(Side::events); // the chart's entry window follows the choice
    box->setText(QStringLiteral("caesar"));
    QTest::keyClick(box, Qt::Key_Down); // to the second row, the event
    QTest::keyClick(box, Qt::Key_Return);
    ChartView* chart = child<ChartView>(*topLevel<TimelineWindow>("Etime"), "rtbox1");
    EXPECT_EQ(state.dataset.curEvent, 249);
    EXPECT_EQ(child<QLineEdit>(*topLevel<EntryWindow>("eEntry"), "Text1")->text(),
              QStringLiteral("Caesarea founded"));
    EXPECT_EQ(chart->currentLine(), 249);
    const int top = chart->verticalScrollBar()->value();
    EXPECT_TRUE(top <= 249 && 249 < top + chart->visibleRows());

    // An entry Select leaves out is made current, and the user told why no line is marked.
    state.dataset.people[1].selected = 0;
    topLevel<TimelineWindow>("Ptime")->Form_Load();
    box->setText(QStringLiteral("cicero"));
    emit found->itemActivated(found->item(0));
    EXPECT_EQ(state.dataset.curPerson, 1);
    EXPECT_EQ(dialogs.messages().back(),
              QStringLiteral("\"Cicero\" is not on the chart: Select leaves it out."));
}

TEST_F(UndoTest, ASelectionMadeBetweenAChangeAndItsUndoIsKept) {
    Dataset& ds = state.dataset;
    auto selectedPeople = [&ds] {
        int n = 0;
        for (int i = 0; i < ds.numPeople; ++i)
            n += ds.people[static_cast<size_t>(i)].selected != 0;
        return n;
    };
    EntryWindow w(state, Side::people);
    EntryControls wc(w);
    w.nameList_Click(1); // Caesar
    wc.desc->setPlainText(QStringLiteral("dictator"));
    wc.cmdNew->click(); // stores Caesar, then a new person
    wc.Text1->setText(QStringLiteral("Brutus"));
    wc.cmdNext->click(); // stores Brutus
    w.nameList_Click(0); // Plato
    dialogs.answerQuestion(true);
    wc.cmdDelete->click();
    // Select leaves out Caesar and Brutus (the last) meanwhile.
    for (int i : {0, ds.numPeople - 1}) {
        ds.people[static_cast<size_t>(i)].selected = 0;
        --ds.numSelPeople;
    }
    ASSERT_EQ(ds.people[0].name, "Caesar");
    ASSERT_EQ(ds.numSelPeople, selectedPeople());
    for (int round = 0; round < 2; ++round) {
        for (const char* name : {"Plato", "Brutus", "Caesar"}) {
            SCOPED_TRACE(name);
            state.history.undo();
            EXPECT_EQ(ds.numSelPeople, selectedPeople());
        }
        EXPECT_EQ(ds.people[1].desc, "");
        EXPECT_EQ(ds.people[1].selected, 0); // Caesar, still left out
        for (int i = 0; i < 3; ++i) {
            state.history.redo();
            EXPECT_EQ(ds.numSelPeople, selectedPeople());
        }
    }
}

TEST_F(UndoTest, UndoTakesBackTheChangeItNames) {
    ZemMain w(state);
    state.history.startAfresh();
    // A name's "&" is shown as itself in the menu.
    {
        EditGroupings e(state);
        e.show();
        dialogs.answerInput(QStringLiteral("Rome & Latium"));
        clickLine(e, 0);
        dialogs.answerInput(QStringLiteral("Rome"));
        clickLine(e, 0);
    }
    EXPECT_EQ(child<QAction>(w, "mnuUndo")->text(), QStringLiteral("&Undo Rename Rome && Latium"));
    // A New form with nothing typed into it, in an entry window a chart opened, is not what
    // Undo takes back.
    w.showEntryWindow(Side::people);
    EntryWindow* e = topLevel<EntryWindow>("PEntry");
    ASSERT_NE(e, nullptr);
    child<QPushButton>(*e, "cmdNew")->click();
    child<QAction>(w, "mnuUndo")->trigger();
    EXPECT_EQ(state.dataset.factions.names[1], "Rome & Latium");
    EXPECT_EQ(state.dataset.numPeople, 4);
    EXPECT_EQ(child<QAction>(w, "mnuRedo")->text(), QStringLiteral("&Redo Rename Rome && Latium"));
    EXPECT_FALSE(e->isNew());
    e->close();
}
