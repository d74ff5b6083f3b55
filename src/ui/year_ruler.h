#pragma once

#include "core/year_scale.h"
#include "core/year_text.h"

#include <QWidget>

#include <optional>
#include <utility>

namespace tess {

// What a year ruler shows: the chart's scale and cells, and the part of it in sight.
struct RulerView {
    YearScale scale;
    int charWidth = 8;
    long long firstColumn = 0; // the column at x0
    int x0 = 0;                // the pixel of firstColumn's left edge (0 or less)
    int width = 0;             // pixels
    YearStyle style = YearStyle::readable;
    std::optional<long long> hoverColumn;
    std::optional<long long> targetYear;
    // The years the chart covers, first and last; a ruler without them shows no years.
    std::optional<std::pair<long long, long long>> years;
};

// The height of a ruler drawn in the font.
int rulerHeight(const QFont& font);
// Draws the ruler in the rectangle (0, 0, view.width, rulerHeight(font)): ticks in the middle
// of their years' cells, labels centred over the longer ones, the hovered column's years in a
// box, and a triangle over the year Go to year last showed.
void paintYearRuler(QPainter& painter, const QFont& font, const QPalette& palette,
                    const RulerView& view);

// The year ruler above a timeline's chart: it scrolls sideways with the chart and stays put
// when the chart scrolls up and down. Painted from the scale every time, so it stays sharp at
// any screen scale.
class YearRuler : public QWidget {
    Q_OBJECT
public:
    explicit YearRuler(QWidget* parent = nullptr);

    void setScale(const YearScale& scale, int charWidth);
    void setYearStyle(YearStyle style);
    void setYears(std::optional<std::pair<long long, long long>> years);
    // How many pixels of the chart are scrolled off at the left, and how far right of the
    // ruler's left edge the chart's first column starts (its frame).
    void setScrollX(int pixels);
    void setLeftMargin(int pixels);
    void setHoverColumn(std::optional<long long> column);
    void setTargetYear(std::optional<long long> year);
    const RulerView& view() const { return view_; }

    QSize sizeHint() const override;

signals:
    // Ctrl and the wheel over the ruler zoom as over the chart.
    void zoomRequested(int direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    RulerView view_;
    int scrollX_ = 0;
    int margin_ = 0;
    int wheel_ = 0;
};

} // namespace tess
