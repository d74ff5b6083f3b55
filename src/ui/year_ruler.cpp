#include "ui/year_ruler.h"

#include "ui/chart_view.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tess {

int rulerHeight(const QFont& font) {
    return QFontMetrics(font).height() + 9;
}

namespace {

QString yearsOfColumn(const RulerView& v, long long column) {
    const long long first = v.scale.firstYearOf(column);
    const long long last = v.scale.lastYearOf(column);
    QString text = QString::fromStdString(yearText(first, v.style));
    if (last != first)
        text += QStringLiteral(" \u2013 ") + QString::fromStdString(yearText(last, v.style));
    return text;
}

} // namespace

void paintYearRuler(QPainter& painter, const QFont& font, const QPalette& palette,
                    const RulerView& v) {
    const QFontMetrics metrics(font);
    const int height = rulerHeight(font);
    const int cw = std::max(1, v.charWidth);
    painter.save();
    painter.setFont(font);
    painter.fillRect(QRect(0, 0, v.width, height), palette.color(QPalette::Window));
    const QColor ink = palette.color(QPalette::WindowText);
    painter.setPen(ink);
    painter.drawLine(0, height - 1, v.width, height - 1);
    const long long columns = v.width / cw + 2;
    if (!v.years) {
        painter.restore();
        return;
    }
    // The hovered column's years in a box beside the pointer's cell, on the side with room;
    // the labels it would cover are left out rather than shown in pieces.
    QRect box;
    QString hovered;
    // Only over the chart's years: past them a column stands for nothing.
    if (v.hoverColumn && v.scale.lastYearOf(*v.hoverColumn) >= v.years->first &&
        v.scale.firstYearOf(*v.hoverColumn) <= v.years->second) {
        hovered = yearsOfColumn(v, *v.hoverColumn);
        const int left = static_cast<int>((*v.hoverColumn - v.firstColumn) * cw) + v.x0;
        const int w = metrics.horizontalAdvance(hovered) + 8;
        const int boxX = left + cw + w <= v.width ? left + cw : std::max(0, left - w);
        box = QRect(boxX, 1, w, metrics.height());
    }
    auto xOf = [&](long long column) {
        return static_cast<int>((column - v.firstColumn) * cw) + v.x0 + cw / 2;
    };
    const int widest = metrics.horizontalAdvance(
        QString::fromStdString(widestYearLabel(v.scale, v.firstColumn, columns, v.style)));
    const int labelColumns =
        (widest + metrics.horizontalAdvance(QLatin1Char(' ')) * 2 + cw - 1) / cw;
    const RulerMarks marks = rulerMarks(v.scale, v.firstColumn, columns, labelColumns);
    for (const RulerTick& tick : marks.ticks) {
        if (tick.year < v.years->first || tick.year > v.years->second)
            continue;
        const int x = xOf(tick.column);
        painter.drawLine(x, height - (tick.labelled ? 8 : 4), x, height - 1);
        if (!tick.labelled)
            continue;
        const QString label = QString::fromStdString(yearText(tick.year, v.style));
        const int labelWidth = metrics.horizontalAdvance(label);
        const QRect at(x - labelWidth / 2, 1, labelWidth, metrics.height());
        if (!box.isNull() && at.intersects(box))
            continue;
        painter.drawText(at.x(), metrics.ascent() + 1, label);
    }
    if (v.targetYear) {
        const int x = xOf(v.scale.columnOf(*v.targetYear));
        QPainterPath triangle;
        triangle.moveTo(x - 5, height - 9);
        triangle.lineTo(x + 5, height - 9);
        triangle.lineTo(x, height - 1);
        triangle.closeSubpath();
        painter.fillPath(triangle, QColor(0xC0, 0x20, 0x20));
    }
    if (!hovered.isEmpty()) {
        const int left = xOf(*v.hoverColumn) - cw / 2;
        QColor band = palette.color(QPalette::Highlight);
        band.setAlpha(90);
        painter.fillRect(QRect(left, 0, cw, height), band);
        painter.fillRect(box, palette.color(QPalette::ToolTipBase));
        painter.setPen(palette.color(QPalette::ToolTipText));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.drawText(box, Qt::AlignCenter, hovered);
    }
    painter.restore();
}

YearRuler::YearRuler(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void YearRuler::setScale(const YearScale& scale, int charWidth) {
    view_.scale = scale;
    view_.charWidth = std::max(1, charWidth);
    setScrollX(scrollX_);
}

void YearRuler::setYearStyle(YearStyle style) {
    view_.style = style;
    update();
}

void YearRuler::setYears(std::optional<std::pair<long long, long long>> years) {
    view_.years = years;
    update();
}

void YearRuler::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    for (int n = takeWheelNotches(wheel_, event->angleDelta().y()); n != 0; n -= n > 0 ? 1 : -1)
        emit zoomRequested(n > 0 ? 1 : -1);
    event->accept();
}

void YearRuler::setScrollX(int pixels) {
    scrollX_ = pixels;
    const long long shown = static_cast<long long>(pixels) - margin_;
    const long long cw = view_.charWidth;
    view_.firstColumn = shown >= 0 ? shown / cw : -((-shown + cw - 1) / cw);
    view_.x0 = static_cast<int>(view_.firstColumn * cw - shown);
    update();
}

void YearRuler::setLeftMargin(int pixels) {
    margin_ = pixels;
    setScrollX(scrollX_);
}

void YearRuler::setHoverColumn(std::optional<long long> column) {
    if (view_.hoverColumn == column)
        return;
    view_.hoverColumn = column;
    update();
}

void YearRuler::setTargetYear(std::optional<long long> year) {
    view_.targetYear = year;
    update();
}

QSize YearRuler::sizeHint() const {
    return {200, rulerHeight(font())};
}

void YearRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    view_.width = width();
    paintYearRuler(painter, font(), palette(), view_);
}

} // namespace tess
