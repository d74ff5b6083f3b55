#pragma once

#include "core/chart_line.h"
#include "core/dataset.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>

class QPainter;

#include <functional>
#include <vector>

namespace tess {

// The chart's font made to advance exactly one whole-pixel cell a character, and its rows.
struct ChartCells {
    QFont font;
    int charWidth = 8;
    int lineHeight = 16;
    int ascent = 12;
};
ChartCells chartCells();

// Shows a chart of up to 32767 lines, each thousands of characters wide, by painting only the
// rows in sight: one row per chart line, one fixed-pitch character per year, each line in its
// colour on the background colour. A click maps straight to the line under it.
class ChartView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    // New lines start at the top, unless keepPosition asks to stay where the view is (a list
    // drawn again after a change to one of its lines).
    void setChart(std::vector<ChartLine> lines, TextEncoding encoding, bool keepPosition = false);
    const std::vector<ChartLine>& lines() const { return lines_; }
    int lineCount() const { return static_cast<int>(lines_.size()); }

    // 0x00BBGGRR, as the settings keep it.
    void setBackgroundColor(int32_t rgb);
    QColor backgroundColor() const { return background_; }
    // The colour a line is painted in: its own, or the box's text colour when it has none.
    QColor lineColor(int index) const;

    int lineHeight() const { return lineHeight_; }
    int charWidth() const { return charWidth_; }

    // A highlighted current line, moved by the keys (Up, Down, Page Up, Page Down, Home, End)
    // and by clicks; Enter activates it. Off unless asked for.
    void setKeyboardLines(bool on);
    // 0-based; -1 when no line is highlighted.
    int currentLine() const { return current_; }
    // Highlights a line (or none, with -1) and scrolls it into view.
    void setCurrentLine(int index);
    int visibleRows() const;

    // The view scrolls sideways as far as this many columns even when its lines are shorter,
    // so that charts of one range of years can be scrolled together to any of them.
    void setMinimumColumns(long long columns);

    // The column at the left edge, and a scroll that puts a column there.
    double leftColumn() const;
    void scrollToColumn(double column);

    // What the tooltip says over a position (0-based line and the column under the pointer);
    // an empty text leaves the box's own tooltip.
    std::function<QString(int line, long long column)> toolTipFor;

    struct Hit {
        int line = 1;         // 1-based
        long long offset = 0; // character offset in the chart's text form, line breaks as two
    };
    Hit hitAt(const QPoint& viewportPos) const;

signals:
    void lineClicked(int line, long long offset);
    // Any mouse button let go after a press in the box: the line under the pointer, or the
    // nearest one when it was dragged off.
    void lineReleased(int line);
    // Enter on the highlighted line (1-based).
    void lineActivated(int line);
    // The pointer moved over a column; -1 when it left the box.
    void columnHovered(long long column);
    // Ctrl and the wheel: +1 to zoom in, -1 to zoom out.
    void zoomRequested(int direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void updateScrollBars();

    std::vector<ChartLine> lines_;
    std::vector<long long> offsets_; // where each line starts in the text form, in characters
    int maxLength_ = 0;
    TextEncoding encoding_ = TextEncoding::windows1252;
    QColor background_ = Qt::white;
    ChartCells cells_;
    QFont& font_ = cells_.font;
    int& charWidth_ = cells_.charWidth;
    int& lineHeight_ = cells_.lineHeight;
    bool keyboardLines_ = false;
    long long minimumColumns_ = 0;
    int wheel_ = 0; // Ctrl+wheel turned since the last zoom step, in eighths of a degree
    int current_ = -1;
};

// The whole notches of a wheel turned by delta (eighths of a degree) with what was turned
// before, signed: a fine-grained wheel or a touchpad sends small steps, and a zoom step is a
// whole notch.
int takeWheelNotches(int& turned, int delta);

// A colour kept as 0x00BBGGRR; textColor for a line's defaultTextColor.
QColor storedColor(int32_t bgr, const QColor& textColor = Qt::black);

// Courier, bold, 9.75 points; the closest fixed-pitch face when the machine has no Courier.
QFont chartFont();

// Draws the lines [firstLine, firstLine + rows) as the chart view does, each in its colour
// (textColor for a line without one), only the characters from firstColumn on that fit in
// width pixels; x0 is the pixel of firstColumn's left edge. Row 0 is at y 0.
void paintChartRows(QPainter& painter, const ChartCells& cells, const std::vector<ChartLine>& lines,
                    TextEncoding encoding, const QColor& textColor, int firstLine, int rows,
                    long long firstColumn, int width, int x0);

} // namespace tess
