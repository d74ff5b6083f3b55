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
