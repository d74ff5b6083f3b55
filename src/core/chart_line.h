#pragma once

#include "core/text_encoding.h"

#include <cstdint>
#include <string>

namespace tess {

// The colour of a line whose category has no entry in its table: the box's own text colour.
inline constexpr int32_t defaultTextColor = -1;

// One chart line, held as its parts so that its memory does not grow with its width: a line
// of a chart spanning thousands of years is mostly blanks and dashes, which are kept as counts.
// The line reads: `lead` blanks, `head`, `dashes1` dashes, `middle`, `dashes2` dashes, `tail`.
// The texts are bytes in the dataset's encoding; widths count characters.
struct ChartLine {
    int lead = 0;
    std::string head; // start label and start mark, or the one-year mark and the name
    int dashes1 = 0;
    std::string middle; // the name, when it fits inside the bar
    int dashes2 = 0;
    std::string tail; // end mark, a name that follows the bar, the second date
    int headWidth = 0, middleWidth = 0, tailWidth = 0;
    int32_t color = defaultTextColor;

    // The whole line, blanks and dashes spelled out.
    std::string text() const;
    // Its length in characters.
    long long width() const {
        return static_cast<long long>(lead) + headWidth + dashes1 + middleWidth + dashes2 +
               tailWidth;
    }
    // Characters [first, first + count) of the line, made without spelling out the rest.
    std::string slice(long long first, long long count, TextEncoding encoding) const;
};

} // namespace tess
