#include "app/zemmain.h"
#include "entry/entry_window.h"
#include "timeline/timeline_window.h"
#include "ui/geometry.h"

#include "support/gui_test.h"

namespace {

class EntryTest : public ::testing::TestWithParam<Side> {
protected:
    EntryTest() : state(dialogs, folder.path().string()) {
        DatasetBuilder b;
        b.category(kindFactions, "F1", 1).category(kindFactions, "F2", 2);
        b.category(kindOccupations, "O1", 3).category(kindGroups, "G1", 6);
        b.category(kindNations, "N1", 4).category(kindNations, "N2", 5);
        for (const auto& [name, from, to] :
             {std::tuple{"Ann", 1800, 1850}, {"Bob", 1900, 1950}, {"Cy", 2000, 2010}})
            b.person(name, from, to).event(name, from, to);
        state.dataset = b.build();
        state.shellOpen = [this](const std::string& target) { opened.push_back(target); };
    }
    bool people() const { return GetParam() == Side::people; }
    int count() const { return people() ? state.dataset.numPeople : state.dataset.numEvents; }
    int current() const { return people() ? state.dataset.curPerson : state.dataset.curEvent; }
    void setCurrent(int i) {
        (people() ? state.dataset.curPerson : state.dataset.curEvent) = static_cast<int16_t>(i);
    }
    std::string name(int i) const {
        return people() ? state.dataset.people[static_cast<size_t>(i)].name
                        : state.dataset.events[static_cast<size_t>(i)].name;
    }
    std::string descOf(int i) const {
        return people() ? state.dataset.people[static_cast<size_t>(i)].desc
                        : state.dataset.events[static_cast<size_t>(i)].desc;
    }
    // Types into a field as the user does and leaves it.
    void type(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->setText(text);
        field->clearFocus();
    }

    TempDir folder;
    ScriptedDialogs dialogs;
    AppState state;
    std::vector<std::string> opened;
};

} // namespace

TEST_P(EntryTest, BrowsingStoresChangesAndKeepsDateOrder) {
    EntryWindow w(state, GetParam());
    EntryControls wc(w);
    // Every field says what it is, emptied as well as by its tooltip.
    std::vector<std::pair<QWidget*, QString>> fields = {
        {wc.Text1, wc.Text1->placeholderText()},
        {wc.desc, wc.desc->placeholderText()},
        {wc.imgName, wc.imgName->placeholderText()}};
    for (QComboBox* c : wc.categoryLists)
        fields.emplace_back(c, c->lineEdit()->placeholderText());
    for (const auto& [field, placeholder] : fields)
        EXPECT_FALSE(placeholder.isEmpty() || field->toolTip().isEmpty())
            << field->objectName().toStdString();
    // Only the description changed: Next stores it and shows the next entry.
    wc.desc->setPlainText(QStringLiteral("edited"));
    wc.cmdNext->click();
    EXPECT_EQ(descOf(0), "edited");
    EXPECT_EQ(wc.Text1->text(), QStringLiteral("Bob"));

    // A size number alone is not a change.
    wc.Text2->setText(QStringLiteral("77"));
    wc.cmdPrev->click();
    wc.cmdNext->click();
    EXPECT_EQ(wc.Text2->text(), QStringLiteral("0"));

    // Bob re-dated from 1900 to 1500 moves to the front; Next shows his follower, Ann.
    type(wc.date1, QStringLiteral("1500"));
    wc.cmdNext->click();
    EXPECT_EQ(wc.nameList->itemText(0), QStringLiteral("1500 Bob"));
    EXPECT_EQ(wc.Text1->text(), QStringLiteral("Ann"));
    wc.nameList->showPopup(); // the list drops down on the entry shown
    EXPECT_EQ(wc.nameList->currentIndex(), 1);
    wc.nameList->hidePopup();

    // Next on the last entry disables Next; Prev on the first disables Prev.
    wc.cmdNext->click();
    wc.cmdNext->click();
    EXPECT_FALSE(wc.cmdNext->isEnabled());
    for (int i = 0; i < 3; ++i)
        wc.cmdPrev->click();
    EXPECT_FALSE(wc.cmdPrev->isEnabled());
}

TEST_P(EntryTest, NewDeleteAndTheNameList) {
    EntryWindow w(state, GetParam());
    EntryControls wc(w);
    // New carries the dates over and, its first date unchanged, is stored at the end.
    wc.cmdNew->click();
    EXPECT_EQ(wc.date1->text(), QStringLiteral("1800"));
    wc.Text1->setText(QStringLiteral("Dee"));
    wc.cmdOK->click();
    ASSERT_EQ(count(), 4);
    EXPECT_EQ(name(3), "Dee");

    // Delete at position 0 asks; Yes removes it and shows the entry that moved there.
    EntryWindow d(state, GetParam());
    EntryControls dc(d);
    setCurrent(0);
    d.showEntry(0);
    dialogs.answerQuestion(true);
    dc.cmdDelete->click();
    EXPECT_EQ(dialogs.shown.back().text, people() ? QStringLiteral("Delete this person?")
                                                  : QStringLiteral("Delete this event?"));
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(dc.Text1->text(), QStringLiteral("Bob"));

    // Delete while a new entry is pending removes nothing stored.
    dc.cmdNew->click();
    dc.cmdDelete->click();
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(name(0), "Bob");

    // Choosing a name while a new entry is pending drops it: it is never stored with the
    // chosen entry's fields.
    dc.cmdNew->click();
    dc.Text1->setText(QStringLiteral("Pending"));
    d.nameList_Click(1);
    dc.cmdOK->click();
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(name(1), "Cy");

    // A filtered list holds only the selected entries; an item shows the entry it names.
    (people() ? state.dataset.people[0].selected : state.dataset.events[0].selected) = 0;
    EntryWindow f(state, GetParam());
    EntryControls fc(f);
    EXPECT_EQ(fc.nameList->count(), 2);
    f.nameList_Click(0);
    EXPECT_EQ(fc.Text1->text(), QStringLiteral("Cy"));
}

TEST_P(EntryTest, TypedCategoriesAreMatchedAskedForOrPutBack) {
    EntryWindow w(state, GetParam());
    EntryControls wc(w);
    Dataset& ds = state.dataset;
    // The second list: occupations of people, groups of events, each holding one category.
    QComboBox* box = wc.categoryLists[1];
    const CategoryTable& table = people() ? ds.occupations : ds.groups;
    auto stored = [&](int i) {
        return people() ? ds.people[static_cast<size_t>(i)].occupation
                        : ds.events[static_cast<size_t>(i)].group;
    };
    // Case and surrounding blanks do not matter, and nothing is asked.
    box->setEditText(people() ? QStringLiteral("  o1 ") : QStringLiteral(" g1"));
    wc.Text3->setText(QStringLiteral("22"));
    wc.cmdNext->click();
    EXPECT_EQ(stored(0), 1);
    EXPECT_EQ((people() ? ds.people[0].imgSize2 : ds.events[0].imgSize2), 22);

    // A name the table lacks: No puts the box back and stores the rest.
    wc.cmdPrev->click();
    box->setEditText(QStringLiteral("Potter"));
    wc.desc->setPlainText(QStringLiteral("y"));
    dialogs.answerQuestion(false);
    wc.cmdOK->click();
    EXPECT_EQ(dialogs.shown.at(0).text, people() ? QStringLiteral("\u201CPotter\u201D is not an "
                                                                  "occupation yet. Add it?")
                                                 : QStringLiteral("\u201CPotter\u201D is not a "
                                                                  "group yet. Add it?"));
    EXPECT_EQ(stored(0), 1);
    EXPECT_EQ(descOf(0), "y");
    EXPECT_EQ(box->currentText(), people() ? QStringLiteral("O1") : QStringLiteral("G1"));

    // Yes adds it at the end, in a colour the table has nowhere else, and the entry names it.
    box->setEditText(QStringLiteral("Banker"));
    dialogs.answerQuestion(true);
    wc.cmdOK->click();
    ASSERT_EQ(table.count, 2);
    EXPECT_EQ(stored(0), 2);
    EXPECT_EQ(box->count(), 2);

    // New carries the shown entry's categories over, and the boxes show them.
    wc.cmdNew->click();
    EXPECT_EQ(box->currentText(), QStringLiteral("Banker"));
    wc.Text1->setText(QStringLiteral("Dee"));
    wc.cmdOK->click();
    ASSERT_EQ(count(), 4);
    EXPECT_EQ(stored(3), 2);

    if (!people()) {
        // One new nation typed into both boxes is asked for once and added once.
        wc.categoryLists[0]->setEditText(QStringLiteral("Gaul"));
        wc.categoryLists[2]->setEditText(QStringLiteral("gaul"));
        dialogs.answerQuestion(true);
        wc.cmdOK->click();
        EXPECT_EQ(ds.nations.count, 3);
        EXPECT_EQ(ds.events[static_cast<size_t>(current())].nation1, 3);
        EXPECT_EQ(ds.events[static_cast<size_t>(current())].nation2, 3);
        // Emptied, the first nation stays as it was; only the second may become none.
        wc.categoryLists[0]->setEditText(QString());
        wc.categoryLists[2]->setEditText(QString());
        wc.cmdOK->click();
        EXPECT_EQ(ds.events[static_cast<size_t>(current())].nation1, 3);
        EXPECT_EQ(ds.events[static_cast<size_t>(current())].nation2, 0);
    }
    // The name list's pop-up is never wider than half the screen, also in a style whose
    // pop-ups grow to their longest item (as desktop styles' do).
    struct WideningStyle : QProxyStyle {
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* data) const override {
            return hint == SH_ComboBox_Popup ? 1
                                             : QProxyStyle::styleHint(hint, option, widget, data);
        }
    };
    WideningStyle style;
    wc.nameList->setStyle(&style);
    wc.Text1->setText(QString(300, QLatin1Char('W')));
    wc.cmdOK->click();
    w.fillNameList();
    w.show();
    wc.nameList->showPopup();
    EXPECT_LE(wc.nameList->view()->window()->width(),
              std::max(wc.nameList->width(), w.screen()->availableGeometry().width() / 2));
    wc.nameList->hidePopup();
}

TEST_P(EntryTest, ClosingWithPendingEditsAsks) {
    auto w = std::make_unique<EntryWindow>(state, GetParam());
    EntryControls wc(*w);
    w->show();
    // Escape in the picture list closes the list alone.
    QTest::mouseClick(wc.imgName, Qt::LeftButton);
    ASSERT_TRUE(wc.File1->isVisible());
    QTest::keyClick(wc.File1, Qt::Key_Escape);
    EXPECT_FALSE(wc.File1->isVisible());
    QTest::mouseClick(wc.imgName, Qt::LeftButton);
    QTest::keyClick(wc.imgName, Qt::Key_Escape);
    EXPECT_FALSE(wc.File1->isVisible());
    EXPECT_TRUE(w->isVisible());

    wc.Text1->setText(QStringLiteral("Anne"));
    dialogs.answerChoice(ui::Choice::cancel);
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_EQ(dialogs.shown.at(0).text, QStringLiteral("Keep the changes to Anne?"));
    EXPECT_TRUE(w->isVisible());
    // No: the entry is as the window showed it, the name typed through included.
    dialogs.answerChoice(ui::Choice::no);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(name(0), "Ann");
    // Yes stores them.
    w = std::make_unique<EntryWindow>(state, GetParam());
    wc = EntryControls(*w);
    w->show();
    wc.desc->setPlainText(QStringLiteral("kept"));
    dialogs.answerChoice(ui::Choice::yes);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(descOf(0), "kept");
    // An untouched window, or an untouched New form, closes without a word.
    w = std::make_unique<EntryWindow>(state, GetParam());
    wc = EntryControls(*w);
    w->show();
    wc.cmdNew->click();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(dialogs.shown.size(), 3u);
}

TEST_P(EntryTest, AnEmptyArrayTakesItsFirstEntry) {
    state.dataset.people.clear();
    state.dataset.events.clear();
    state.dataset.numPeople = state.dataset.numEvents = 0;
    EntryWindow w(state, GetParam());
    EntryControls wc(w);
    wc.cmdDelete->click(); // nothing stored to delete: nothing asked, nothing removed
    EXPECT_EQ(count(), 0);
    wc.Text1->setText(QStringLiteral("First"));
    wc.cmdOK->click();
    ASSERT_EQ(count(), 1);
    EXPECT_EQ(name(0), "First");
    // In the first category of each list, so that the charts show it; no second nation.
    const Dataset& ds = state.dataset;
    const std::vector<int> got =
        people() ? std::vector<int>{ds.people[0].faction, ds.people[0].occupation}
                 : std::vector<int>{ds.events[0].nation1, ds.events[0].group, ds.events[0].nation2};
    const std::vector<int> first = people() ? std::vector<int>{1, 1} : std::vector<int>{1, 1, 0};
    EXPECT_EQ(got, first);
}

TEST_P(EntryTest, LinksPicturesAndTheirMends) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.save(q(folder.file("pic.bmp")), "BMP");
    EntryWindow w(state, GetParam());
    EntryControls wc(w);
    wc.imgName->setText(QStringLiteral("pic.bmp"));
    EXPECT_TRUE(wc.picture->isVisibleTo(&w));

    // Browse takes a PNG from any folder, by its full path for a dataset without a folder; a
    // path Windows-1252 cannot hold makes the dataset UTF-8 when stored, in the same undo step.
    std::filesystem::create_directory(folder.file("\xD0\x96"));
    const std::string png = folder.file("\xD0\x96/p.png");
    image.fill(Qt::blue);
    image.save(q(png), "PNG");
    dialogs.answerOpen(q(png));
    child<QPushButton>(w, "cmdBrowse")->click();
    EXPECT_EQ(wc.imgName->text(), q(png));
    EXPECT_EQ(wc.picture->pixmap().toImage().pixel(0, 0), QColor(Qt::blue).rgb());
    wc.cmdNext->click();
    const auto stored = [&] {
        return people() ? state.dataset.people[0].imgName : state.dataset.events[0].imgName;
    };
    EXPECT_EQ(stored() + (state.dataset.encoding == TextEncoding::utf8 ? " utf8" : ""),
              png + " utf8");
    state.history.undo();
    EXPECT_EQ(state.dataset.encoding, TextEncoding::windows1252);

    wc.url->setText(QString());
    wc.cmdLink->click();
    wc.url->setText(QStringLiteral("https://example.org/a"));
    wc.cmdLink->click();
    wc.url->setText(QStringLiteral("/usr/bin/xterm"));
    wc.cmdLink->click();
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/a"}));
    EXPECT_TRUE(dialogs.messages().at(1).startsWith(QStringLiteral("This link is not opened")));

    // The picture window: "image not found" for a missing file, and its resize rule.
    dialogs.acceptModal();
    showImageWindow(state, "missing.bmp", &w);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("image not found"));
    ImageWindow image1(state);
    image1.applyResize(QRect(0, 0, 1000, 800));
    const double dpi = ui::logicalDpi(&image1);
    EXPECT_EQ(child<QLabel>(image1, "Image1")->size(),
              QSize(ui::twipsToPixels(940, dpi), ui::twipsToPixels(700, dpi)));
}

TEST_P(EntryTest, ATimelineClickStoresTheEntryShownFirst) {
    ZemMain main(state);
    main.showEntryWindow(people() ? Side::people : Side::events);
    EntryWindow* w = topLevel<EntryWindow>(people() ? "PEntry" : "eEntry");
    ASSERT_NE(w, nullptr);
    EntryControls wc(*w);
    // Ann is edited and re-dated past Cy; then the timeline makes Bob (position 1) current.
    wc.desc->setPlainText(QStringLiteral("moved"));
    type(wc.date1, QStringLiteral("2100"));
    setCurrent(1);
    main.showEntryWindow(people() ? Side::people : Side::events);
    EXPECT_EQ(descOf(2), "moved");
    EXPECT_EQ(wc.Text1->text(), QStringLiteral("Bob")); // Bob, now at position 0

    // Keys and the wheel edit nothing by accident: Tab leaves the description, Enter adds no
    // line break, and a wheel turn over the closed name list chooses no other entry.
    wc.desc->setFocus();
    QTest::keyClick(wc.desc, Qt::Key_Return);
    QTest::keyClick(wc.desc, Qt::Key_Tab);
    EXPECT_EQ(wc.desc->toPlainText(), QString());
    QWheelEvent wheel(QPointF(5, 5), wc.nameList->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(wc.nameList, &wheel);
    EXPECT_EQ(wc.Text1->text(), QStringLiteral("Bob"));

    // Opening another file stores what is pending and closes the window: it can never store
    // into the next dataset.
    wc.desc->setPlainText(QStringLiteral("kept"));
    dialogs.acceptModal();
    writeBytes(folder.file("next.qd3"), readBytes(dataFile("golden/basic/input.qd3")));
    main.document().openPath(q(folder.file("next.qd3")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(topLevel<EntryWindow>(people() ? "PEntry" : "eEntry"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothWindows, EntryTest, ::testing::Values(Side::people, Side::events));
