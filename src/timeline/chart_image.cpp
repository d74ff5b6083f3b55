#include "timeline/chart_image.h"

#include "core/dataset_change.h"
#include "ui/chart_view.h"
#include "ui/year_ruler.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace tess {

namespace {

// The frame above the chart: the title's row, the legend's rows and the ruler.
struct FrameLayout {
    QFont titleFont;
    QFont font;
    int titleHeight = 0;
    int itemWidth = 240;
    int itemHeight = 0;
    long long perRow = 1;
    long long legendRows = 0;
    int rulerHigh = 0;
    long long height() const { return titleHeight + legendRows * itemHeight + rulerHigh; }
};

FrameLayout layoutFrame(const ChartFrame& frame, long long width) {
    FrameLayout l;
    l.titleFont.setBold(true);
    l.titleHeight = QFontMetrics(l.titleFont).height() + 8;
    l.itemHeight = QFontMetrics(l.font).height() + 4;
    l.perRow = std::max<long long>(1, width / l.itemWidth);
    l.legendRows = (static_cast<long long>(frame.legend.size()) + l.perRow - 1) / l.perRow;
    l.rulerHigh = rulerHeight(l.font);
    return l;
}

} // namespace

PictureSize wholeChartPictureSize(const std::vector<ChartLine>& lines, const ChartFrame& frame) {
    const ChartCells cells = chartCells();
    long long columns = 1;
    for (const ChartLine& line : lines)
        columns = std::max(columns, line.width());
    // Room for the chart with the last ruler label past its end, and for the whole title.
    const FrameLayout title = layoutFrame(frame, 1);
    const long long width = std::max<long long>(
        {columns * cells.charWidth + 40,
         QFontMetrics(title.titleFont).horizontalAdvance(QString::fromStdString(frame.title)) + 8,
         480});
    return {width,
            layoutFrame(frame, width).height() +
                std::max<long long>(1, static_cast<long long>(lines.size())) * cells.lineHeight};
}

std::optional<QByteArray> wholeChartPng(const std::vector<ChartLine>& lines, TextEncoding encoding,
                                        int32_t background, const ChartFrame& frame, QString& why) {
    const PictureSize size = wholeChartPictureSize(lines, frame);
    if (size.width > maxPictureSide || size.height > maxPictureSide ||
        size.width * size.height > maxPicturePixels) {
        why = QStringLiteral("The whole chart would be a picture of %1 \u00D7 %2 pixels, too large "
                             "to make. Export what is on screen, or the whole chart as SVG or "
                             "HTML.")
                  .arg(size.width)
                  .arg(size.height);
        return std::nullopt;
    }
    const QColor paper = storedColor(background, Qt::white);
    QImage image(static_cast<int>(size.width), static_cast<int>(size.height), QImage::Format_RGB32);
    image.fill(paper);
    {
        QPainter painter(&image);
        const FrameLayout l = layoutFrame(frame, size.width);
        const QColor ink = storedColor(inkOn(background));
        painter.setPen(ink);
        painter.setFont(l.titleFont);
        painter.drawText(QRect(4, 0, image.width() - 8, l.titleHeight), Qt::AlignVCenter,
                         QString::fromStdString(frame.title));
        painter.setFont(l.font);
        for (size_t i = 0; i < frame.legend.size(); ++i) {
            const LegendRow& row = frame.legend[i];
            const int x = 4 + static_cast<int>(static_cast<long long>(i) % l.perRow) * l.itemWidth;
            const int y = l.titleHeight +
                          static_cast<int>(static_cast<long long>(i) / l.perRow) * l.itemHeight;
            painter.fillRect(QRect(x, y + 2, 12, 12), storedColor(row.color));
            const std::string name = row.category ? captionName(row.name, encoding) : row.name;
            painter.drawText(x + 18, y + QFontMetrics(l.font).ascent() + 1,
                             QString::fromStdString(name + " (" + std::to_string(row.lines) + ")"));
        }
        const ChartCells cells = chartCells();
        const int rulerTop = static_cast<int>(l.titleHeight + l.legendRows * l.itemHeight);
        QPalette palette;
        palette.setColor(QPalette::Window, paper);
        palette.setColor(QPalette::WindowText, ink);
        painter.translate(0, rulerTop);
        RulerView view;
        view.scale = frame.scale;
        view.style = frame.style;
        view.charWidth = cells.charWidth;
        view.width = image.width();
        view.years = frame.years;
        paintYearRuler(painter, l.font, palette, view);
        painter.translate(0, l.rulerHigh);
        paintChartRows(painter, cells, lines, encoding, Qt::black, 0,
                       static_cast<int>(lines.size()), 0, image.width(), 0);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        why = QStringLiteral("The picture could not be made.");
        return std::nullopt;
    }
    return png;
}

} // namespace tess
