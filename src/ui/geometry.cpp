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

namespace {
double scaleOf(const QWidget* window) {
    const QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    const double ratio = screen ? screen->devicePixelRatio() : 1.0;
    return ratio > 0 ? ratio : 1.0;
}

QRect scaled(const QRect& r, double factor) {
    auto f = [factor](int v) { return static_cast<int>(std::lround(v * factor)); };
    return {f(r.x()), f(r.y()), f(r.width()), f(r.height())};
}
} // namespace

QRect fitOnScreensTwips(const QRect& twips, const QWidget* window) {
    // In device pixels, so that the same rectangle fits the same screen at any scale factor.
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(scaled(screen->availableGeometry(), screen->devicePixelRatio()));
    const double dpi = logicalDpi(window);
    const QRect pixels = twipsToPixels(twips, dpi);
    const QRect placed = placeOnScreens(pixels, areas, minimumWindowSize * scaleOf(window));
    // A rectangle that needs no change keeps its twips exactly, rounding and all.
    return placed == pixels ? twips : pixelsToTwips(placed, dpi);
}

QRect fromStoredTwips(const QRect& stored, const QWidget* window) {
    const double scale = scaleOf(window);
    return scale == 1.0 ? stored : scaled(stored, 1.0 / scale);
}

QRect toStoredTwips(const QRect& twips, const QWidget* window) {
    const double scale = scaleOf(window);
    return scale == 1.0 ? twips : scaled(twips, scale);
}

int captionWidth(const QWidget& window) {
    // The title bar's font is the window system's; the application's, a little larger, and
    // room for the icon and the three buttons stand in for it.
    const int text = window.fontMetrics().horizontalAdvance(window.windowTitle());
    return text + text / 4 + 160;
}

void centerForm(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const int needed = std::min(captionWidth(window), screen->availableGeometry().width());
    if (!window.windowTitle().trimmed().isEmpty() && window.width() < needed) {
        window.setMinimumWidth(
            std::max(window.minimumWidth(), std::min(needed, window.maximumWidth())));
        window.resize(std::min(needed, window.maximumWidth()), window.height());
    }
    const QRect area = screen->geometry();
    const QSize size = window.frameGeometry().size();
    // A window larger than the screen (a large scale factor) keeps its caption and menus on it.
    const QRect usable = screen->availableGeometry();
    window.move(std::max(usable.x(), area.x() + (area.width() - size.width()) / 2),
                std::max(usable.y(), area.y() + (area.height() - size.height()) / 2));
}

} // namespace ui
