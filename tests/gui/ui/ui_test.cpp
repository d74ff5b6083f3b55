#include "app/find_window.h"
#include "categories/category_windows.h"
#include "entry/entry_window.h"
#include "reports/report_windows.h"
#include "timeline/chart.h"
#include "timeline/print_window.h"
#include "timeline/select_window.h"
#include "ui/geometry.h"
#include "ui/qt_dialogs.h"
#include "ui/tab_order.h"

#include "support/gui_test.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

#include <sys/stat.h>

TEST(UiHelpers, FiltersTwipsCentringAndPlacement) {
    EXPECT_EQ(ui::qtFilter(QStringLiteral("Data files: | *.qd3;;Web page |*.html")),
              QStringLiteral("Data files: (*.qd3);;Web page (*.html)"));
    EXPECT_EQ(ui::twipsToPixels(650, 96), 43);

    QWidget w;
    w.resize(200, 100);
    ui::centerForm(w);
    const QRect screen = w.screen()->geometry();
    // Centred to within a pixel (an odd leftover is split downwards).
    EXPECT_LE((w.frameGeometry().center() - screen.center()).manhattanLength(), 2);
    // Only a window too narrow for its caption is widened, so that the caption shows whole.
    w.setWindowTitle(QStringLiteral("Edit Groupings of a long caption"));
    ui::centerForm(w);
    EXPECT_EQ(w.width(), ui::captionWidth(w));
    // One larger than the screen keeps its top left corner, caption and menus, on it.
    w.resize(screen.width() + 300, screen.height() + 300);
    ui::centerForm(w);
    EXPECT_EQ(w.frameGeometry().topLeft(), w.screen()->availableGeometry().topLeft());

    // Where a window asked for is placed, on the first screen or on both.
    const QList<QRect> screens{QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)};
    const std::tuple<QRect, int, QRect> rows[] = {
        {QRect(100, 50, 600, 400), 1, QRect(100, 50, 600, 400)},        // fits: unchanged
        {QRect(66666, 66666, 66666, 66666), 1, QRect(0, 0, 1280, 800)}, // screen-sized
        {QRect(500, 300, 1, 1), 1, QRect(500, 300, 240, 120)},          // grown to usable
        {QRect(1200, 100, 800, 400), 2, QRect(1280, 100, 800, 400)},    // mostly on screen 2
        {QRect(4000, 2000, 800, 400), 2, QRect(2400, 680, 800, 400)},   // nearest: screen 2
    };
    for (const auto& [asked, count, placed] : rows)
        EXPECT_EQ(ui::placeOnScreens(asked, screens.mid(0, count), QSize(240, 120)), placed);
}

TEST(UiHelpers, MessageBoxesArePlainAndUnattendedOnesAskNobody) {
    // Plain boxes: no icon, the program's name where the caller gives no title.
    const auto box = ui::makeMessageBox(nullptr, QStringLiteral("Saved"), {}, QMessageBox::Ok);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Varelta: Tessaline"));

    // While the program ends on a signal, nothing waits for an answer: messages go to standard
    // error on one line, questions are answered No, a choice is cancelled.
    ui::QtDialogs dialogs;
    dialogs.setUnattended(true);
    testing::internal::CaptureStderr();
    dialogs.message(QStringLiteral("The settings could not be saved.\r\nNo room"));
    EXPECT_FALSE(dialogs.question(QStringLiteral("Save changes?")));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Varelta: Tessaline: The settings could not be saved. No room\n"
              "Varelta: Tessaline: Save changes?\n");
    EXPECT_EQ(dialogs.choose(QStringLiteral("Save?"), ui::ChoiceButtons::saveDiscardCancel),
              ui::Choice::cancel);

    // Attended, the three-way box offers Save, Discard and Cancel, Save the default, and Escape
    // is Cancel. The modal boxes below are answered from the event loop.
    dialogs.setUnattended(false);
    QStringList seen;
    auto answer = [&seen](Qt::Key key) {
        QTimer::singleShot(0, [&seen, key] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            for (const QAbstractButton* b : shown->buttons())
                seen.append(b == shown->defaultButton() ? b->text() + QStringLiteral(" (default)")
                                                        : b->text());
            seen.append(shown->text());
            QTest::keyClick(shown, key);
        });
    };
    answer(Qt::Key_Escape);
    EXPECT_EQ(dialogs.choose(QStringLiteral("Save changes to a.qd3?"),
                             ui::ChoiceButtons::saveDiscardCancel),
              ui::Choice::cancel);
    seen.sort();
    EXPECT_EQ(seen,
              QStringList({QStringLiteral("&Discard"), QStringLiteral("&Save (default)"),
                           QStringLiteral("Cancel"), QStringLiteral("Save changes to a.qd3?")}));

    // A box shown while no window is active (a modal window just closed) belongs to the window
    // the user was last in, not to the main window it would bring up over it.
    QWidget main, chart;
    ui::QtDialogs parented(&main);
    auto* field = new QLineEdit(&chart);
    chart.show();
    QApplication::setActiveWindow(&chart);
    field->setFocus();
    QApplication::setActiveWindow(nullptr);
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&owner] {
        owner = QApplication::activeModalWidget()->parentWidget();
        QApplication::activeModalWidget()->close();
    });
    parented.message(QStringLiteral("3 of 5 selected"));
    EXPECT_EQ(owner, &chart);

    // The Open and Save dialogs show each file's size and date whole, however long the name.
    TempDir files;
    writeBytes(files.file(std::string(120, 'n') + ".qd3"), std::string(123456, 'x'));
    for (const bool save : {false, true}) {
        QTimer::singleShot(0, [&seen] {
            auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            auto* view = shown->findChild<QTreeView*>(QStringLiteral("treeView"));
            ASSERT_NE(view, nullptr);
            QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 1);
            // A dialog made narrow leaves less room, but not for the size and the date.
            shown->resize(480, 320);
            QCoreApplication::processEvents();
            for (int column : {1, 3})
                seen.append(QString::number(
                                view->header()->sectionSize(column) >=
                                static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column)) +
                            view->model()->index(0, column, view->rootIndex()).data().toString());
            shown->reject();
        });
        seen.clear();
        if (save)
            dialogs.saveFile(QStringLiteral("Dataset | *.qd3"), QStringLiteral(".qd3"),
                             q(files.file("x.qd3")));
        else
            dialogs.openFile(QStringLiteral("Dataset | *.qd3"), q(files.path().string()));
        ASSERT_EQ(seen.size(), 2) << save;
        EXPECT_TRUE(seen[0].startsWith(QStringLiteral("1120"))) << seen[0].toStdString();
        EXPECT_TRUE(seen[1].startsWith(QLatin1Char('1'))) << seen[1].toStdString();
    }

    // A FIFO named as a print's file is refused before Qt's dialog opens it, which would wait
    // for a reader for ever.
    TempDir dir;
    const QString fifo = q(dir.file("fifo.pdf"));
    ASSERT_EQ(::mkfifo(dir.file("fifo.pdf").c_str(), 0600), 0);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    ui::PrintDialog print(&printer);
    print.show();
    child<QLineEdit>(print, "filename")->setText(fifo);
    seen.clear();
    answer(Qt::Key_Return);
    print.accept();
    EXPECT_TRUE(
        seen.join(QString()).endsWith(QStringLiteral(" is not a regular file.\nPlease choose a "
                                                     "different file name.")));
    EXPECT_NE(print.result(), QDialog::Accepted);
}

TEST(UiHelpers, TabGoesTopToBottomAndLeftToRightInEveryWindow) {
    ScriptedDialogs dialogs;
    AppState state(dialogs);
    DatasetBuilder data;
    data.category(kindFactions, "F", 1).category(kindOccupations, "O", 2);
    data.category(kindNations, "N", 3).category(kindGroups, "G", 4);
    state.dataset = data.person("Ann", 1800, 1850).event("War", 1801, 1802).build();
    computeChartRange(state.dataset);
    // Around the chain of controls, each next one is further right on the same row, or lower,
    // but once: where Tab goes from the last back to the first. (A list that drops down over
    // its field stands where the field does.)
    auto check = [](QWidget&& w) {
        SCOPED_TRACE(w.objectName().toStdString());
        w.show();
        const QList<QWidget*> controls = ui::tabControls(w);
        ASSERT_GE(controls.size(), 2);
        QList<QWidget*> chain{controls.front()};
        for (QWidget* c = chain.front()->nextInFocusChain(); c != chain.front();
             c = c->nextInFocusChain())
            if (controls.contains(c) && !chain.contains(c))
                chain.append(c);
        EXPECT_EQ(chain.size(), controls.size());
        int wraps = 0;
        for (qsizetype k = 0; k < chain.size(); ++k) {
            QWidget *from = chain[k], *to = chain[(k + 1) % chain.size()];
            const QRect a(from->mapTo(&w, QPoint()), from->size());
            const QRect b(to->mapTo(&w, QPoint()), to->size());
            if (!(ui::level(a, b) ? b.x() >= a.x() : b.y() > a.y())) {
                EXPECT_LE(++wraps, 1) << from->objectName().toStdString() << " then "
                                      << to->objectName().toStdString();
            }
        }
        EXPECT_EQ(wraps, 1);
    };
    check(EntryWindow(state, Side::people));
    check(EntryWindow(state, Side::events));
    check(SelectWindow(state, Side::people));
    check(PrintTimelineWindow(state));
    check(EditGroupings(state));
    check(Consolidate(state));
    check(ReportWriter(state));
    check(ChoiceReport(state, ChoiceReport::Kind::age));
    check(FindWindow(state));
}
