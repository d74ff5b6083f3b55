#include "ui/geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
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

QRect placeOnScreens(const QRect& outer, const QList<QRect>& screens, const QSize& minimum) {
    if (screens.isEmpty())
        return outer;
    auto overlap = [&](const QRect& area) {
        const QRect common = area.intersected(outer);
        return common.isEmpty() ? 0LL : static_cast<long long>(common.width()) * common.height();
    };
    auto distance = [&](const QRect& area) {
        const long long dx = std::max({0LL, static_cast<long long>(area.left()) - outer.right(),
                                       static_cast<long long>(outer.left()) - area.right()});
        const long long dy = std::max({0LL, static_cast<long long>(area.top()) - outer.bottom(),
                                       static_cast<long long>(outer.top()) - area.bottom()});
        return dx + dy;
    };
    QRect area = screens.front();
    for (const QRect& candidate : screens) {
        const long long a = overlap(candidate), best = overlap(area);
        if (a > best || (a == 0 && best == 0 && distance(candidate) < distance(area)))
            area = candidate;
    }
    const QSize size = outer.size().expandedTo(minimum).boundedTo(area.size());
    const int x = std::clamp(outer.x(), area.x(), area.x() + area.width() - size.width());
    const int y = std::clamp(outer.y(), area.y(), area.y() + area.height() - size.height());
    return {QPoint(x, y), size};
}

QRect fitOnScreensTwips(const QRect& twips, const QWidget* window) {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    const double dpi = logicalDpi(window);
    const QRect pixels = twipsToPixels(twips, dpi);
    const QRect placed = placeOnScreens(pixels, areas, minimumWindowSize);
    // A rectangle that needs no change keeps its twips exactly, rounding and all.
    return placed == pixels ? twips : pixelsToTwips(placed, dpi);
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
