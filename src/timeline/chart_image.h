#pragma once

#include "timeline/chart.h"
#include "timeline/chart_export.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace tess {

// The largest picture of a whole chart that is made: a side of at most 65535 pixels and 128
// million pixels in all (512 MB while it is drawn). A chart over the 4,600 years of the sample
// dataset is some 37,000 pixels wide.
inline constexpr long long maxPictureSide = 65535;
inline constexpr long long maxPicturePixels = 128LL * 1024 * 1024;

struct PictureSize {
    long long width = 0;
    long long height = 0;
};
// The size of a picture of the whole chart, drawn in the chart's cells under its frame.
PictureSize wholeChartPictureSize(const std::vector<ChartLine>& lines, const ChartFrame& frame);

// The whole chart as a PNG picture: the frame's title, legend and ruler, then the lines drawn
// as the chart view draws them on the background; or nothing, with the reason in why, when it
// would be too large.
std::optional<QByteArray> wholeChartPng(const std::vector<ChartLine>& lines, TextEncoding encoding,
                                        int32_t background, const ChartFrame& frame, QString& why);

} // namespace tess
