#include "ui/geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace ui {

double logicalDpi(const QWidget* widget) {
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0;
    const double dpi = screen->logicalDotsPerInch();
    return dpi > 0 ? dpi : 96.0;
}

int twipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int pixelsToTwips(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

QRect twipsToPixels(const QRect& r, double dpi) {
    return {twipsToPixels(r.x(), dpi), twipsToPixels(r.y(), dpi), twipsToPixels(r.width(), dpi),
            twipsToPixels(r.height(), dpi)};
}

QRect pixelsToTwips(const QRect& r, double dpi) {
    return {pixelsToTwips(r.x(), dpi), pixelsToTwips(r.y(), dpi), pixelsToTwips(r.width(), dpi),
            pixelsToTwips(r.height(), dpi)};
}

QRect outerRectTwips(const QWidget& window) {
    return pixelsToTwips(window.frameGeometry(), logicalDpi(&window));
}

void setOuterRectTwips(QWidget& window, const QRect& twips) {
    const QRect outer = twipsToPixels(twips, logicalDpi(&window));
    // The frame's extra size is known only once the window manager has framed the window; before
    // that the outer and inner sizes are taken as equal.
    const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
    window.move(outer.topLeft());
    window.resize((outer.size() - frameExtra).expandedTo(QSize(1, 1)));
}

void centerForm(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.x() + (area.width() - size.width()) / 2,
                area.y() + (area.height() - size.height()) / 2);
}

} // namespace ui
