#include "core/chart_line.h"

#include <algorithm>

namespace tess {

std::string ChartLine::text() const {
    std::string s;
    s.reserve(static_cast<size_t>(lead + dashes1 + dashes2) + head.size() + middle.size() +
              tail.size());
    s.append(static_cast<size_t>(lead), ' ');
    s += head;
    s.append(static_cast<size_t>(dashes1), '-');
    s += middle;
    s.append(static_cast<size_t>(dashes2), '-');
    s += tail;
    return s;
}

std::string ChartLine::slice(long long first, long long count, TextEncoding encoding) const {
    std::string out;
    if (first < 0) {
        count += first;
        first = 0;
    }
    long long at = 0; // the column where the current part starts
    auto run = [&](long long width, char c) {
        const long long from = std::max(first, at);
        const long long to = std::min(first + count, at + width);
        if (from < to)
            out.append(static_cast<size_t>(to - from), c);
        at += width;
    };
    auto part = [&](const std::string& bytes, long long width) {
        const long long from = std::max(first, at);
        const long long to = std::min(first + count, at + width);
        if (from < to)
            out += textSlice(bytes, encoding, static_cast<size_t>(from - at),
                             static_cast<size_t>(to - from));
        at += width;
    };
    run(lead, ' ');
    part(head, headWidth);
    run(dashes1, '-');
    part(middle, middleWidth);
    run(dashes2, '-');
    part(tail, tailWidth);
    return out;
}

} // namespace tess
