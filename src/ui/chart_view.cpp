#include "ui/chart_view.h"

#include "ui/text_codec.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

ChartCells chartCells() {
    ChartCells c;
    c.font = chartFont();
    // The font's advance is fractional (7.83 px, say). A cell is a whole number of pixels, and
    // a run of text must advance exactly one cell a character, or rows that start in other
    // columns drift apart by a pixel every few characters: the difference is added as spacing.
    const qreal advance = QFontMetricsF(c.font).horizontalAdvance(QLatin1Char('M'));
    c.charWidth = std::max(1, qRound(advance));
    c.font.setLetterSpacing(QFont::AbsoluteSpacing, c.charWidth - advance);
    const QFontMetrics metrics(c.font);
    c.lineHeight = std::max(1, metrics.height());
    c.ascent = metrics.ascent();
    return c;
}

int takeWheelNotches(int& turned, int delta) {
    turned += delta;
    const int notches = turned / 120;
    turned -= notches * 120;
    return notches;
}

QColor storedColor(int32_t c, const QColor& textColor) {
    if (c == defaultTextColor)
        return textColor;
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

namespace {

// Draws a piece of a line from x, one character a cell.
void drawCells(QPainter& painter, const ChartCells& cells, int x, int baseline,
               const std::string& bytes, TextEncoding encoding) {
    const int charWidth = cells.charWidth;
    // Plain printable ASCII is drawn as one run: every character advances one cell.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
        painter.drawText(x, baseline, QString::fromLatin1(bytes.data(), qsizetype(bytes.size())));
        return;
    }
    // Other characters may come from a fallback font of another width (accents from a
    // proportional face, CJK ideographs at double width). Each still takes exactly one cell, so
    // the one-character-per-year grid holds: runs of characters a cell wide are drawn together,
    // a narrower one stands at the left of its cell, and a wider one is squeezed into it. A
    // control character (a tab would jump to a tab stop) shows as its symbol.
    const QFontMetrics metrics(cells.font);
    const QList<uint> codes = ui::toQString(bytes, encoding).toUcs4();
    QString run;
    int runStart = 0;
    auto flush = [&] {
        if (!run.isEmpty())
            painter.drawText(x + runStart * charWidth, baseline, run);
        run.clear();
    };
    for (int i = 0; i < codes.size(); ++i) {
        char32_t code = codes[i];
        if (code < 0x20)
            code += 0x2400; // the Control Pictures block
        else if (code == 0x7F)
            code = 0x2421;
        const QString glyph = QString::fromUcs4(&code, 1);
        const int advance = metrics.horizontalAdvance(glyph);
        if (advance == charWidth) {
            if (run.isEmpty())
                runStart = i;
            run += glyph;
            continue;
        }
        flush();
        const int cellX = x + i * charWidth;
        if (advance <= charWidth) {
            painter.drawText(cellX, baseline, glyph);
            continue;
        }
        painter.save();
        painter.translate(cellX, baseline);
        painter.scale(static_cast<double>(charWidth) / advance, 1.0);
        painter.drawText(0, 0, glyph);
        painter.restore();
    }
    flush();
}

} // namespace

void paintChartRows(QPainter& painter, const ChartCells& cells, const std::vector<ChartLine>& lines,
                    TextEncoding encoding, const QColor& textColor, int firstLine, int rows,
                    long long firstColumn, int width, int x0) {
    painter.setFont(cells.font);
    const long long columns = width / cells.charWidth + 2;
    for (int row = 0; row < rows; ++row) {
        const long long index = static_cast<long long>(firstLine) + row;
        if (index < 0 || index >= static_cast<long long>(lines.size()))
            break;
        const ChartLine& line = lines[static_cast<size_t>(index)];
        // Only the characters in sight are made, converted and drawn; the lead's blanks are
        // skipped.
        const long long from = std::max<long long>(line.lead, firstColumn);
        const long long to = std::min<long long>(line.width(), firstColumn + columns);
        if (from >= to)
            continue;
        painter.setPen(storedColor(line.color, textColor));
        drawCells(painter, cells, static_cast<int>((from - firstColumn) * cells.charWidth) + x0,
                  row * cells.lineHeight + cells.ascent, line.slice(from, to - from, encoding),
                  encoding);
    }
}

ChartView::ChartView(QWidget* parent) : QAbstractScrollArea(parent), cells_(chartCells()) {
    viewport()->setFont(font_);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    updateScrollBars();
}

void ChartView::setChart(std::vector<ChartLine> lines, TextEncoding encoding, bool keepPosition) {
    lines_ = std::move(lines);
    encoding_ = encoding;
    offsets_.resize(lines_.size());
    long long offset = 0;
    maxLength_ = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        offsets_[i] = offset;
        const long long length = lines_[i].width();
        offset += length + 2;
        maxLength_ = std::max(maxLength_, static_cast<int>(std::min<long long>(length, 1 << 24)));
    }
    if (!keepPosition) {
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
        current_ = -1;
    }
    if (current_ >= lineCount())
        current_ = lineCount() - 1;
    updateScrollBars();
    viewport()->update();
}

void ChartView::setBackgroundColor(int32_t rgb) {
    background_ = QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    viewport()->update();
}

QColor ChartView::lineColor(int index) const {
    return storedColor(lines_[static_cast<size_t>(index)].color, palette().color(QPalette::Text));
}

void ChartView::updateScrollBars() {
    const int rows = std::max(1, viewport()->height() / lineHeight_);
    verticalScrollBar()->setRange(0, std::max(0, lineCount() - rows));
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setSingleStep(1);
    const long long width =
        std::max<long long>(maxLength_, minimumColumns_) * static_cast<long long>(charWidth_);
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
    const int first = verticalScrollBar()->value();
    const int x0 = horizontalScrollBar()->value();
    const int rows = viewport()->height() / lineHeight_ + 2;
    if (current_ >= first && current_ < first + rows) {
        const QRect band(0, (current_ - first) * lineHeight_, viewport()->width(), lineHeight_);
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlpha(60);
        painter.fillRect(band, fill);
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawRect(band.adjusted(0, 0, -1, -1));
    }
    const long long firstColumn = x0 / charWidth_;
    paintChartRows(painter, cells_, lines_, encoding_, palette().color(QPalette::Text), first, rows,
                   firstColumn, viewport()->width(),
                   static_cast<int>(firstColumn * charWidth_ - x0));
}

ChartView::Hit ChartView::hitAt(const QPoint& pos) const {
    // As in a text box, a click below the last line lands on the last line, and a click in an
    // empty box on its one empty line, where there is no entry to find.
    if (lineCount() == 0)
        return {1, 0};
    const int row = std::max(0, pos.y()) / lineHeight_;
    const int index = std::min(verticalScrollBar()->value() + row, lineCount() - 1);
    const long long length = lines_[static_cast<size_t>(index)].width();
    const long long column = std::clamp<long long>(
        (std::max(0, pos.x()) + horizontalScrollBar()->value()) / charWidth_, 0, length);
    return {index + 1, offsets_[static_cast<size_t>(index)] + column};
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const Hit hit = hitAt(event->position().toPoint());
    if (keyboardLines_ && lineCount() > 0)
        setCurrentLine(hit.line - 1);
    emit lineClicked(hit.line, hit.offset);
}

void ChartView::setKeyboardLines(bool on) {
    keyboardLines_ = on;
    if (on)
        setFocusPolicy(Qt::StrongFocus);
}

int ChartView::visibleRows() const {
    return std::max(1, viewport()->height() / lineHeight_);
}

void ChartView::setCurrentLine(int index) {
    current_ = std::clamp(index, -1, lineCount() - 1);
    if (current_ >= 0) {
        QScrollBar* bar = verticalScrollBar();
        if (current_ < bar->value())
            bar->setValue(current_);
        else if (current_ >= bar->value() + visibleRows())
            bar->setValue(current_ - visibleRows() + 1);
    }
    viewport()->update();
}

void ChartView::setMinimumColumns(long long columns) {
    minimumColumns_ = std::clamp<long long>(columns, 0, 1 << 24);
    updateScrollBars();
}

double ChartView::leftColumn() const {
    return static_cast<double>(horizontalScrollBar()->value()) / charWidth_;
}

void ChartView::scrollToColumn(double column) {
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(std::clamp(
        column * charWidth_, 0.0, static_cast<double>(horizontalScrollBar()->maximum())))));
}

void ChartView::keyPressEvent(QKeyEvent* event) {
    if (!keyboardLines_ || lineCount() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int at = std::max(current_, 0);
    switch (event->key()) {
    case Qt::Key_Up:
        setCurrentLine(current_ < 0 ? 0 : std::max(0, at - 1));
        break;
    case Qt::Key_Down:
        setCurrentLine(current_ < 0 ? 0 : at + 1);
        break;
    case Qt::Key_PageUp:
        setCurrentLine(std::max(0, at - visibleRows()));
        break;
    case Qt::Key_PageDown:
        setCurrentLine(std::min(lineCount() - 1, at + visibleRows()));
        break;
    case Qt::Key_Home:
        setCurrentLine(0);
        break;
    case Qt::Key_End:
        setCurrentLine(lineCount() - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current_ >= 0)
            emit lineActivated(current_ + 1);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    // The marked line's text comes into sight when it lies wholly to one side.
    if (current_ >= 0) {
        const ChartLine& line = lines_[static_cast<size_t>(current_)];
        const double columns = static_cast<double>(viewport()->width()) / charWidth_;
        const double left = leftColumn();
        if (line.width() > line.lead && (line.width() <= left || line.lead >= left + columns))
            scrollToColumn(std::max(0.0, line.lead - columns / 4));
    }
    event->accept();
}

void ChartView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        for (int n = takeWheelNotches(wheel_, event->angleDelta().y()); n != 0; n -= n > 0 ? 1 : -1)
            emit zoomRequested(n > 0 ? 1 : -1);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

bool ChartView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        emit columnHovered(
            (std::max(0, move->position().toPoint().x()) + horizontalScrollBar()->value()) /
            charWidth_);
    } else if (event->type() == QEvent::Leave) {
        emit columnHovered(-1);
    }
    if (event->type() == QEvent::ToolTip && toolTipFor && lineCount() > 0) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int row = help->pos().y() / lineHeight_;
        const int index = verticalScrollBar()->value() + row;
        if (index < lineCount()) {
            const long long column =
                (std::max(0, help->pos().x()) + horizontalScrollBar()->value()) / charWidth_;
            const QString text = toolTipFor(index, column);
            if (!text.isEmpty()) {
                QToolTip::showText(help->globalPos(), text, viewport());
                return true;
            }
        }
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    emit lineReleased(hitAt(event->position().toPoint()).line);
}

} // namespace tess
