#include "timeline/chart_image.h"

#include "ui/chart_view.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace tess {

PictureSize wholeChartPictureSize(const std::vector<ChartLine>& lines) {
    const ChartCells cells = chartCells();
    long long columns = 1;
    for (const ChartLine& line : lines)
        columns = std::max(columns, line.width());
    return {columns * cells.charWidth,
            std::max<long long>(1, static_cast<long long>(lines.size())) * cells.lineHeight};
}

std::optional<QByteArray> wholeChartPng(const std::vector<ChartLine>& lines, TextEncoding encoding,
                                        int32_t background, QString& why) {
    const PictureSize size = wholeChartPictureSize(lines);
    if (size.width > maxPictureSide || size.height > maxPictureSide ||
        size.width * size.height > maxPicturePixels) {
        why = QStringLiteral("The whole chart would be a picture of %1 \u00D7 %2 pixels, too large "
                             "to make. Export what is on screen, or the whole chart as SVG or "
                             "HTML.")
                  .arg(size.width)
                  .arg(size.height);
        return std::nullopt;
    }
    QImage image(static_cast<int>(size.width), static_cast<int>(size.height), QImage::Format_RGB32);
    image.fill(QColor(background & 0xFF, (background >> 8) & 0xFF, (background >> 16) & 0xFF));
    {
        QPainter painter(&image);
        paintChartRows(painter, chartCells(), lines, encoding, Qt::black, 0,
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
