#include "app/find_window.h"
#include "categories/category_windows.h"
#include "core/text_encoding.h"
#include "entry/entry_window.h"
#include "reports/report_windows.h"
#include "timeline/chart.h"
#include "timeline/print_window.h"
#include "timeline/select_window.h"
#include "ui/geometry.h"
#include "ui/qt_dialogs.h"
#include "ui/tab_order.h"
#include "ui/text_codec.h"

#include "support/gui_test.h"

#include <sys/stat.h>

using tess::TextEncoding;

TEST(TextCodec, ConvertsInTheDatasetsEncoding) {
    const QString text = QString::fromUtf8("\u00E9\u00FC\u00DF\u20AC\u201C\u201D");
    EXPECT_EQ(ui::fromQString(text, TextEncoding::windows1252), "\xE9\xFC\xDF\x80\x93\x94");
    EXPECT_EQ(ui::toQString("\xE9\xFC\xDF\x80\x93\x94", TextEncoding::windows1252), text);
    EXPECT_EQ(ui::fromQString(text, TextEncoding::utf8), text.toUtf8().toStdString());
    EXPECT_EQ(ui::toQString(text.toUtf8().toStdString(), TextEncoding::utf8), text);
    // A character Windows-1252 lacks cannot be saved in such a file.
    EXPECT_EQ(ui::fromQString(QString::fromUtf8("\u4E2D"), TextEncoding::windows1252), "?");
}

TEST(UiHelpers, FiltersTwipsAndCentring) {
    const std::pair<const char*, const char*> filters[] = {
        {"Data files: | *.qd3", "Data files: (*.qd3)"},
        {"Convert files |*.qd2", "Convert files (*.qd2)"},
        {"SVG picture | *.svg;;Web page | *.html", "SVG picture (*.svg);;Web page (*.html)"}};
    for (const auto& [ours, qts] : filters)
        EXPECT_EQ(ui::qtFilter(QString::fromLatin1(ours)), QString::fromLatin1(qts));
    EXPECT_EQ(ui::twipsToPixels(1440, 96), 96);
    EXPECT_EQ(ui::twipsToPixels(650, 96), 43);
    EXPECT_EQ(ui::pixelsToTwips(ui::twipsToPixels(9000, 120), 120), 9000);

    QWidget w;
    w.resize(200, 100);
    ui::centerForm(w);
    const QRect screen = w.screen()->geometry();
    // Centred to within a pixel (an odd leftover is split downwards).
    EXPECT_LE(std::abs(w.frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(w.frameGeometry().center().y() - screen.center().y()), 1);
    EXPECT_EQ(w.size(), QSize(200, 100));
    // Only a window too narrow for its caption is widened, so that the caption shows whole.
    w.setWindowTitle(QStringLiteral("Edit Groupings of a long caption"));
    ui::centerForm(w);
    EXPECT_EQ(w.width(), ui::captionWidth(w));
    EXPECT_GT(w.width(), w.fontMetrics().horizontalAdvance(w.windowTitle()));
    // One larger than the screen keeps its top left corner, caption and menus, on it.
    w.resize(screen.width() + 300, screen.height() + 300);
    ui::centerForm(w);
    EXPECT_EQ(w.frameGeometry().topLeft(), w.screen()->availableGeometry().topLeft());
}

TEST(UiHelpers, WindowsArePlacedWhereTheyCanBeUsed) {
    const QSize minimum(240, 120);
    const QList<QRect> one{QRect(0, 0, 1280, 800)};
    const QList<QRect> two{QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)};
    struct Row {
        QRect asked;
        QList<QRect> screens;
        QRect placed;
    } rows[] = {
        {QRect(100, 50, 600, 400), one, QRect(100, 50, 600, 400)},        // fits: unchanged
        {QRect(13333, 13333, 960, 480), one, QRect(320, 320, 960, 480)},  // far off: pulled in
        {QRect(-13333, -13333, 960, 480), one, QRect(0, 0, 960, 480)},    // off the other way
        {QRect(66666, 66666, 66666, 66666), one, QRect(0, 0, 1280, 800)}, // screen-sized
        {QRect(500, 300, 1, 1), one, QRect(500, 300, 240, 120)},          // grown to usable
        {QRect(1200, 100, 800, 400), two, QRect(1280, 100, 800, 400)},    // mostly on screen 2
        {QRect(4000, 2000, 800, 400), two, QRect(2400, 680, 800, 400)},   // nearest: screen 2
        {QRect(1240, 790, 30, 30), two, QRect(1040, 680, 240, 120)},      // overlaps screen 1
    };
    for (const Row& r : rows)
        EXPECT_EQ(ui::placeOnScreens(r.asked, r.screens, minimum), r.placed) << r.asked.x();
}

TEST(UiHelpers, MessageBoxesArePlainAndUnattendedOnesAskNobody) {
    // Plain boxes: no icon, the program's name where the caller gives no title. (Their text
    // is read from the three-way box below.)
    const auto box = ui::makeMessageBox(nullptr, QStringLiteral("Saved"), {}, QMessageBox::Ok);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Varelta: Tessaline"));
    const auto question = ui::makeMessageBox(nullptr, QStringLiteral("Save?"), QStringLiteral("T"),
                                             QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(question->windowTitle(), QStringLiteral("T"));
    EXPECT_EQ(question->standardButtons(), QMessageBox::Yes | QMessageBox::No);

    // While the program ends on a signal, nothing waits for an answer: messages go to standard
    // error on one line, questions are answered No, dialogs are cancelled.
    ui::QtDialogs dialogs;
    dialogs.setUnattended(true);
    testing::internal::CaptureStderr();
    dialogs.message(QStringLiteral("The settings could not be saved.\r\nNo room"));
    EXPECT_FALSE(dialogs.question(QStringLiteral("Save changes?")));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Varelta: Tessaline: The settings could not be saved. No room\n"
              "Varelta: Tessaline: Save changes?\n");
    EXPECT_FALSE(dialogs.openFile(QStringLiteral("Data files: | *.qd3")));
    EXPECT_FALSE(dialogs.printerSetup());
    EXPECT_EQ(dialogs.choose(QStringLiteral("Save?"), ui::ChoiceButtons::saveDiscardCancel),
              ui::Choice::cancel);

    // Attended, the three-way box offers Save, Discard and Cancel, Save the default, and Escape
    // is Cancel. The modal boxes below are answered from the event loop.
    dialogs.setUnattended(false);
    QStringList seen;
    auto answer = [&seen](int key) {
        QTimer::singleShot(0, [&seen, key] {
            QMessageBox* shown = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
                    shown = b;
            ASSERT_NE(shown, nullptr);
            for (const QAbstractButton* b : shown->buttons())
                seen.append(b->text());
            if (shown->defaultButton())
                seen.append(QStringLiteral("default ") + shown->defaultButton()->text());
            seen.append(shown->text());
            QTest::keyClick(shown, static_cast<Qt::Key>(key));
        });
    };
    answer(Qt::Key_Escape);
    EXPECT_EQ(dialogs.choose(QStringLiteral("Save changes to a.qd3 before closing?"),
                             ui::ChoiceButtons::saveDiscardCancel),
              ui::Choice::cancel);
    seen.sort();
    EXPECT_EQ(seen, QStringList({QStringLiteral("&Discard"), QStringLiteral("&Save"),
                                 QStringLiteral("Cancel"),
                                 QStringLiteral("Save changes to a.qd3 before closing?"),
                                 QStringLiteral("default &Save")}));
    answer(Qt::Key_Return);
    EXPECT_EQ(dialogs.choose(QStringLiteral("Keep?"), ui::ChoiceButtons::yesNoCancel),
              ui::Choice::yes);

    // A FIFO named as a print's file is refused before Qt's dialog opens it, which would wait
    // for a reader for ever.
    testing_support::TempDir dir;
    const std::string fifo = dir.file("fifo.pdf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(fifo));
    ui::PrintDialog print(&printer);
    print.show();
    auto* name = print.findChild<QLineEdit*>(QStringLiteral("filename"));
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(fifo));
    seen.clear();
    answer(Qt::Key_Return);
    print.accept();
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_TRUE(seen.back().endsWith(QStringLiteral(" is not a regular file.\nPlease choose a "
                                                    "different file name.")));
    EXPECT_NE(print.result(), QDialog::Accepted);
}

TEST(UiHelpers, TabGoesTopToBottomAndLeftToRightInEveryWindow) {
    testing_support::ScriptedDialogs dialogs;
    tess::AppState state(dialogs);
    state.dataset = testing_support::DatasetBuilder()
                        .category(tess::kindFactions, "F", 1)
                        .category(tess::kindOccupations, "O", 2)
                        .category(tess::kindNations, "N", 3)
                        .category(tess::kindGroups, "G", 4)
                        .person("Ann", 1800, 1850)
                        .event("War", 1801, 1802)
                        .build();
    tess::computeChartRange(state.dataset);
    using Make = std::function<std::unique_ptr<QWidget>()>;
    const std::vector<std::pair<const char*, Make>> windows = {
        {"people entry",
         [&] { return std::make_unique<tess::EntryWindow>(state, tess::Side::people); }},
        {"events entry",
         [&] { return std::make_unique<tess::EntryWindow>(state, tess::Side::events); }},
        {"select", [&] { return std::make_unique<tess::SelectWindow>(state, tess::Side::people); }},
        {"print", [&] { return std::make_unique<tess::PrintTimelineWindow>(state); }},
        {"categories", [&] { return std::make_unique<tess::EditGroupings>(state); }},
        {"consolidate", [&] { return std::make_unique<tess::Consolidate>(state); }},
        {"report writer", [&] { return std::make_unique<tess::ReportWriter>(state); }},
        {"age report",
         [&] {
             return std::make_unique<tess::ChoiceReport>(state, tess::ChoiceReport::Kind::age);
         }},
        {"find", [&] { return std::make_unique<tess::FindWindow>(state); }},
    };
    for (const auto& [name, make] : windows) {
        SCOPED_TRACE(name);
        const std::unique_ptr<QWidget> w = make();
        w->show();
        const QList<QWidget*> controls = ui::tabControls(*w);
        ASSERT_GE(controls.size(), 2);
        auto at = [&](QWidget* c) { return c->mapTo(w.get(), QPoint(0, 0)); };
        // Around the chain of controls, each next one is further right on the same row, or
        // lower, but once: where Tab goes from the last back to the first. (A list that drops
        // down over its field stands where the field does.)
        QList<QWidget*> chain{controls.front()};
        for (QWidget* c = chain.front()->nextInFocusChain(); c != chain.front();
             c = c->nextInFocusChain())
            if (controls.contains(c) && !chain.contains(c))
                chain.append(c);
        EXPECT_EQ(chain.size(), controls.size());
        int wraps = 0;
        for (qsizetype k = 0; k < chain.size(); ++k) {
            QWidget* from = chain[k];
            QWidget* to = chain[(k + 1) % chain.size()];
            const QRect a(at(from), from->size()), b(at(to), to->size());
            if (!(ui::level(a, b) ? b.x() >= a.x() : b.y() > a.y())) {
                ++wraps;
                SCOPED_TRACE(from->objectName().toStdString() + " then " +
                             to->objectName().toStdString());
                EXPECT_LE(wraps, 1);
            }
        }
        EXPECT_EQ(wraps, 1);
    }
}
