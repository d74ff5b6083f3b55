#include "timeline/chart_view.h"

#include "ui/text_codec.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tess {

QFont chartFont() {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9.75);
    font.setBold(true);
    if (QFontInfo(font).fixedPitch())
        return font;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(9.75);
    fixed.setBold(true);
    return fixed;
}

ChartView::ChartView(QWidget* parent) : QAbstractScrollArea(parent), font_(chartFont()) {
    const QFontMetrics metrics(font_);
    charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    lineHeight_ = std::max(1, metrics.height());
    ascent_ = metrics.ascent();
    viewport()->setFont(font_);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    updateScrollBars();
}

void ChartView::setChart(std::vector<ChartLine> lines, TextEncoding encoding) {
    lines_ = std::move(lines);
    encoding_ = encoding;
    offsets_.resize(lines_.size());
    long long offset = 0;
    maxLength_ = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        offsets_[i] = offset;
        const long long length = static_cast<long long>(lines_[i].length());
        offset += length + 2;
        maxLength_ = std::max(maxLength_, static_cast<int>(std::min<long long>(length, 1 << 24)));
    }
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

void ChartView::setBackgroundColor(int32_t rgb) {
    background_ = QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    viewport()->update();
}

QColor ChartView::lineColor(int index) const {
    const int32_t c = lines_[static_cast<size_t>(index)].color;
    if (c == defaultTextColor)
        return palette().color(QPalette::Text);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void ChartView::updateScrollBars() {
    const int rows = std::max(1, viewport()->height() / lineHeight_);
    verticalScrollBar()->setRange(0, std::max(0, lineCount() - rows));
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setSingleStep(1);
    const long long width = static_cast<long long>(maxLength_) * charWidth_;
    const long long hidden = std::max<long long>(0, width - viewport()->width() + charWidth_);
    horizontalScrollBar()->setRange(0, static_cast<int>(std::min<long long>(hidden, 1 << 30)));
    horizontalScrollBar()->setPageStep(std::max(charWidth_, viewport()->width()));
    horizontalScrollBar()->setSingleStep(charWidth_ * 4);
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ChartView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), background_);
    painter.setFont(font_);
    const int first = verticalScrollBar()->value();
    const int x0 = horizontalScrollBar()->value();
    const int rows = viewport()->height() / lineHeight_ + 2;
    const int firstColumn = x0 / charWidth_;
    const int columns = viewport()->width() / charWidth_ + 2;
    for (int row = 0; row < rows; ++row) {
        const int index = first + row;
        if (index >= lineCount())
            break;
        const ChartLine& line = lines_[static_cast<size_t>(index)];
        // Only the characters in sight are converted and drawn.
        const int bodyStart = line.lead;
        const int bodyEnd = line.lead + static_cast<int>(line.body.size());
        const int from = std::max(bodyStart, firstColumn);
        const int to = std::min(bodyEnd, firstColumn + columns);
        if (from >= to)
            continue;
        const std::string_view visible = std::string_view(line.body).substr(
            static_cast<size_t>(from - bodyStart), static_cast<size_t>(to - from));
        painter.setPen(lineColor(index));
        painter.drawText(from * charWidth_ - x0, row * lineHeight_ + ascent_,
                         ui::toQString(visible, encoding_));
    }
}

ChartView::Hit ChartView::hitAt(const QPoint& pos) const {
    const int index = verticalScrollBar()->value() + pos.y() / lineHeight_;
    if (pos.y() < 0 || index < 0 || index >= lineCount())
        return {};
    const long long length = static_cast<long long>(lines_[static_cast<size_t>(index)].length());
    const long long column =
        std::clamp<long long>((pos.x() + horizontalScrollBar()->value()) / charWidth_, 0, length);
    return {index + 1, offsets_[static_cast<size_t>(index)] + column};
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const Hit hit = hitAt(event->position().toPoint());
    if (hit.line > 0)
        emit lineClicked(hit.line, hit.offset);
}

} // namespace tess
