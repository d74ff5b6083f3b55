#include "core/text_encoding.h"
#include "ui/geometry.h"
#include "ui/qt_dialogs.h"
#include "ui/text_codec.h"

#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

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
    EXPECT_EQ(ui::qtFilter(QStringLiteral("Data files: | *.qd3")),
              QStringLiteral("Data files: (*.qd3)"));
    EXPECT_EQ(ui::qtFilter(QStringLiteral("Convert files |*.qd2")),
              QStringLiteral("Convert files (*.qd2)"));
    EXPECT_EQ(ui::twipsToPixels(1440, 96), 96);
    EXPECT_EQ(ui::twipsToPixels(650, 96), 43);
    EXPECT_EQ(ui::pixelsToTwips(96, 96), 1440);
    EXPECT_EQ(ui::pixelsToTwips(ui::twipsToPixels(9000, 120), 120), 9000);

    QWidget w;
    w.resize(200, 100);
    ui::centerForm(w);
    const QRect screen = w.screen()->geometry();
    // Centred to within a pixel (an odd leftover is split downwards).
    EXPECT_LE(std::abs(w.frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(w.frameGeometry().center().y() - screen.center().y()), 1);
    EXPECT_EQ(w.size(), QSize(200, 100));
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
    const auto box = ui::makeMessageBox(nullptr, QStringLiteral("Saved"), {}, QMessageBox::Ok);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Varelta: Tessaline"));
    EXPECT_EQ(box->text(), QStringLiteral("Saved"));
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
}
