#include "ui/app_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace ui {

namespace {

struct Bar {
    double x, y, width;
    QRgb color;
};

// In the 256-unit square of the SVG files.
constexpr Bar appBars[] = {{40, 56, 120, 0xB22222},
                           {88, 96, 128, 0x1E5AA8},
                           {56, 136, 96, 0x2E8B3A},
                           {120, 176, 80, 0xD9901A}};
constexpr Bar pageBars[] = {{72, 96, 88, 0xB22222},
                            {104, 132, 88, 0x1E5AA8},
                            {80, 168, 72, 0x2E8B3A},
                            {120, 204, 64, 0xD9901A}};
const QColor ink(0x5B, 0x4A, 0x2F);

QImage canvas(int size, QPainter& painter) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 256.0, size / 256.0);
    return image;
}

void paintBars(QPainter& painter, const Bar* bars, double height, double radius) {
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        painter.setBrush(QColor::fromRgb(bars[i].color));
        painter.drawRoundedRect(QRectF(bars[i].x, bars[i].y, bars[i].width, height), radius,
                                radius);
    }
}

} // namespace

QImage paintAppIcon(int size) {
    QPainter painter;
    QImage image = canvas(size, painter);
    painter.setPen(QPen(ink, 8));
    painter.setBrush(QColor(0xFD, 0xF8, 0xEC));
    painter.drawRoundedRect(QRectF(16, 16, 224, 224), 28, 28);
    painter.setPen(QPen(QColor(0xC9, 0xBD, 0xA3), 4));
    for (const double x : {64.0, 128.0, 192.0})
        painter.drawLine(QPointF(x, 40), QPointF(x, 216));
    paintBars(painter, appBars, 24, 6);
    painter.end();
    return image;
}

QImage paintDatasetIcon(int size) {
    QPainter painter;
    QImage image = canvas(size, painter);
    QPainterPath page;
    page.moveTo(48, 16);
    page.lineTo(168, 16);
    page.lineTo(216, 64);
    page.lineTo(216, 240);
    page.lineTo(48, 240);
    page.closeSubpath();
    painter.setPen(QPen(ink, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    painter.drawPath(page);
    QPainterPath fold;
    fold.moveTo(168, 16);
    fold.lineTo(168, 64);
    fold.lineTo(216, 64);
    painter.setBrush(QColor(0xE8, 0xE1, 0xD0));
    painter.drawPath(fold);
    paintBars(painter, pageBars, 20, 5);
    painter.end();
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(paintAppIcon(size)));
    return icon;
}

} // namespace ui
