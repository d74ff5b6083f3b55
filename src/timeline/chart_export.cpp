#include "timeline/chart_export.h"

#include "core/dataset_change.h"
#include "core/text_encoding.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

namespace tess {

namespace {

// Appends UTF-8 text with the characters XML gives a meaning escaped, and those it forbids
// (control characters, U+FFFE and U+FFFF) shown as the chart view shows them.
void appendXmlText(std::string& out, std::string_view utf8) {
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        switch (c) {
        case '&':
            out += "&amp;";
            continue;
        case '<':
            out += "&lt;";
            continue;
        case '>':
            out += "&gt;";
            continue;
        case '"':
            out += "&quot;";
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0x7F) {
            // U+2400 + c, the Control Pictures block (U+2421 for DEL).
            const unsigned code = c == 0x7F ? 0x2421 : 0x2400 + c;
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
            continue;
        }
        if (c == 0xEF && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(utf8[i + 2]) & 0xFE) == 0xBE) {
            out += "\xEF\xBF\xBD"; // U+FFFD
            i += 2;
            continue;
        }
        out += static_cast<char>(c);
    }
}

std::string xmlText(std::string_view utf8) {
    std::string out;
    appendXmlText(out, utf8);
    return out;
}

// The part of a line after its leading blanks, in UTF-8, with its controls shown as the
// terminal shows them: a browser obeys a right-to-left override in a name and draws the rest
// of the line backwards.
std::string lineBody(const ChartLine& line, TextEncoding encoding) {
    return terminalText(line.slice(line.lead, line.width() - line.lead, encoding), encoding);
}

} // namespace

std::string cssColor(int32_t color) {
    if (color == defaultTextColor)
        color = 0;
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return text;
}

ChartFrame chartFrame(const Dataset& ds, Side side, int colorBy, int step, YearStyle style,
                      const std::string& caption) {
    ChartFrame f;
    f.scale = {ds.earliestDate, step};
    f.style = style;
    f.legend = legendRows(ds, side, colorBy);
    std::optional<int> first, last;
    auto note = [&](const auto& records, int count) {
        for (int i = 0; i < count && static_cast<size_t>(i) < records.size(); ++i) {
            const auto& r = records[static_cast<size_t>(i)];
            if (r.selected == 0)
                continue;
            f.entries.push_back(captionName(r.name, ds.encoding) + " " +
                                spanText(r.date1, r.date1Type, r.date2, r.date2Type, style));
            first = std::min<int>(first.value_or(r.date1), r.date1);
            last = std::max<int>(last.value_or(r.date2), r.date2);
        }
    };
    if (side == Side::people)
        note(ds.people, ds.numPeople);
    else
        note(ds.events, ds.numEvents);
    const size_t slash = ds.fileName.find_last_of('/');
    const std::string file = ds.fileName.substr(slash == std::string::npos ? 0 : slash + 1);
    if (!file.empty())
        f.title = displayText(file, TextEncoding::utf8, messageTextLimit) + " \u2014 ";
    f.title += caption;
    if (first) {
        f.title += ", " + yearText(*first, style) + " \u2013 " + yearText(*last, style);
        f.years = std::pair<long long, long long>(ds.earliestDate, ds.latestDate);
    }
    if (step > 1)
        f.title += ", " + std::to_string(step) + " years a character";
    return f;
}

std::pair<std::string, std::string>
rulerRows(const YearScale& scale, YearStyle style, long long columns,
          std::optional<std::pair<long long, long long>> years) {
    columns = std::max<long long>(columns, 1);
    std::string labels(static_cast<size_t>(columns), ' ');
    std::string ticks(static_cast<size_t>(columns), ' ');
    const int width = static_cast<int>(widestYearLabel(scale, 0, columns, style).size());
    const RulerMarks marks = rulerMarks(scale, 0, columns, width + 2);
    long long free = 0; // the first column a label may take
    if (!years)
        return {"", ""};
    for (const RulerTick& tick : marks.ticks) {
        if (tick.year < years->first || tick.year > years->second)
            continue;
        ticks[static_cast<size_t>(tick.column)] = tick.labelled ? '|' : '\'';
        if (!tick.labelled)
            continue;
        const std::string label = yearText(tick.year, style);
        const long long at = tick.column - static_cast<long long>(label.size()) / 2;
        if (at < free || at + static_cast<long long>(label.size()) > columns)
            continue;
        labels.replace(static_cast<size_t>(at), label.size(), label);
        free = at + static_cast<long long>(label.size()) + 1;
    }
    return {labels, ticks};
}

namespace {

long long chartColumns(const std::vector<ChartLine>& lines) {
    long long columns = 1;
    for (const ChartLine& line : lines)
        columns = std::max(columns, line.width());
    return columns;
}

std::string legendName(const LegendRow& row, TextEncoding encoding) {
    return row.category ? captionName(row.name, encoding) : row.name;
}

} // namespace

int32_t inkOn(int32_t background) {
    const int luma = (299 * (background & 0xFF) + 587 * ((background >> 8) & 0xFF) +
                      114 * ((background >> 16) & 0xFF)) /
                     1000;
    return luma < 128 ? 0xFFFFFF : 0;
}

std::string chartSvg(const std::vector<ChartLine>& lines, TextEncoding encoding, int32_t background,
                     const ChartFrame& frame) {
    const long long columns = chartColumns(lines);
    // Room for the chart with the last ruler label past its end, and for the whole title.
    const long long titleChars =
        static_cast<long long>(std::count_if(frame.title.begin(), frame.title.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    const long long width =
        std::max({columns * svgCellWidth + 40, titleChars * 9 + 8, static_cast<long long>(480)});
    // The legend's items stand in rows of as many as the picture's width holds.
    constexpr int itemWidth = 240, itemHeight = 18, titleHeight = 26, rulerHeight = 30;
    const long long perRow = std::max<long long>(1, width / itemWidth);
    const long long legendRows =
        (static_cast<long long>(frame.legend.size()) + perRow - 1) / perRow;
    const long long top = titleHeight + legendRows * itemHeight + rulerHeight;
    const long long height =
        top + std::max<long long>(1, static_cast<long long>(lines.size())) * svgLineHeight;
    std::string out;
    out.reserve(lines.size() * 160 + frame.legend.size() * 160 + 1024);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
           "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) +
           " " + std::to_string(height) +
           "\" font-family=\"monospace\" font-size=\"13\" xml:space=\"preserve\">\n";
    // Browsers no longer honour xml:space: without this a line's leading blanks collapse and
    // its text is stretched over cells that were meant for them.
    out += "<style>text { white-space: pre; }</style>\n";
    out += "<title>" + xmlText(frame.title) + "</title>\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"" + cssColor(background) + "\"/>\n";
    const std::string ink = cssColor(inkOn(background));
    out += "<g fill=\"" + ink + "\">\n";
    out += "<text x=\"4\" y=\"18\" font-family=\"sans-serif\" font-size=\"15\" "
           "font-weight=\"bold\">" +
           xmlText(frame.title) + "</text>\n";
    for (size_t i = 0; i < frame.legend.size(); ++i) {
        const LegendRow& row = frame.legend[i];
        const long long x = 4 + static_cast<long long>(i % perRow) * itemWidth;
        const long long y = titleHeight + static_cast<long long>(i / perRow) * itemHeight;
        out += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y + 2) +
               "\" width=\"12\" height=\"12\" fill=\"" + cssColor(row.color) + "\"/>";
        out += "<text x=\"" + std::to_string(x + 18) + "\" y=\"" + std::to_string(y + 13) +
               "\" font-family=\"sans-serif\" font-size=\"12\">" +
               xmlText(legendName(row, encoding)) + " (" + std::to_string(row.lines) + ")</text>\n";
    }
    // The ruler: a label over each long tick, the ticks in the middle of their years' cells.
    const long long rulerTop = top - rulerHeight;
    const int labelColumns =
        static_cast<int>(widestYearLabel(frame.scale, 0, columns, frame.style).size()) + 2;
    RulerMarks marks = rulerMarks(frame.scale, 0, columns, labelColumns);
    // Years only where the chart has them, and none for a chart without lines.
    std::erase_if(marks.ticks, [&frame](const RulerTick& t) {
        return !frame.years || t.year < frame.years->first || t.year > frame.years->second;
    });
    // The ticks of each kind stand evenly, so each kind is one dashed line: a picture of a
    // chart thousands of years wide stays small.
    auto tickRow = [&](bool labelled, int length) {
        const auto first = std::find_if(marks.ticks.begin(), marks.ticks.end(),
                                        [&](const RulerTick& t) { return t.labelled == labelled; });
        const auto last = std::find_if(marks.ticks.rbegin(), marks.ticks.rend(),
                                       [&](const RulerTick& t) { return t.labelled == labelled; });
        if (first == marks.ticks.end())
            return;
        const long long years = labelled ? marks.labelEvery : marks.tickEvery;
        const long long spacing = std::max<long long>(1, years / frame.scale.step) * svgCellWidth;
        const long long x = first->column * svgCellWidth + svgCellWidth / 2;
        const long long end = last->column * svgCellWidth + svgCellWidth / 2 + 1;
        out += "<path d=\"M" + std::to_string(x) + ".5 " +
               std::to_string(rulerTop + 26 - length / 2) + "H" + std::to_string(end) +
               "\" stroke=\"" + ink + "\" stroke-width=\"" + std::to_string(length) +
               "\" stroke-dasharray=\"1 " + std::to_string(spacing - 1) + "\"/>\n";
    };
    tickRow(false, 4);
    tickRow(true, 8);
    for (const RulerTick& tick : marks.ticks)
        if (tick.labelled)
            out += "<text x=\"" + std::to_string(tick.column * svgCellWidth + svgCellWidth / 2) +
                   "\" y=\"" + std::to_string(rulerTop + 14) +
                   "\" font-size=\"11\" text-anchor=\"middle\">" +
                   xmlText(yearText(tick.year, frame.style)) + "</text>\n";
    out += "<path d=\"M0 " + std::to_string(rulerTop + 26) + ".5H" + std::to_string(width) +
           "\" stroke=\"" + ink + "\"/>\n</g>\n";
    long long y = top + svgLineHeight - 4;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ChartLine& line = lines[i];
        // The text is stretched to exactly its cells, whatever the reader's monospace font, so
        // that every column stays a year.
        const long long cells = line.width() - line.lead;
        out += "<text x=\"";
        out += std::to_string(static_cast<long long>(line.lead) * svgCellWidth);
        out += "\" y=\"";
        out += std::to_string(y);
        out += "\" fill=\"";
        out += cssColor(line.color);
        if (cells > 0) {
            out += "\" textLength=\"";
            out += std::to_string(cells * svgCellWidth);
            out += "\" lengthAdjust=\"spacingAndGlyphs";
        }
        out += "\">";
        if (i < frame.entries.size()) {
            out += "<title>";
            appendXmlText(out, frame.entries[i]);
            out += "</title>";
        }
        appendXmlText(out, lineBody(line, encoding));
        out += "</text>\n";
        y += svgLineHeight;
    }
    out += "</svg>\n";
    return out;
}

std::string chartHtml(const std::vector<ChartLine>& lines, TextEncoding encoding,
                      int32_t background, const ChartFrame& frame) {
    // One class a colour keeps a large chart's page small.
    std::map<int32_t, int> classes;
    for (const ChartLine& line : lines)
        classes.emplace(line.color, static_cast<int>(classes.size()));
    std::string out;
    out.reserve(lines.size() * 140 + 1024);
    out += "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n"
           "<meta charset=\"utf-8\"/>\n<title>" +
           xmlText(frame.title) +
           "</title>\n<style>\nbody { margin: 0; background: " + cssColor(background) +
           "; color: " + cssColor(inkOn(background)) +
           "; }\npre { margin: 0; padding: 0 4px; font-family: monospace; font-size: 13px; "
           "line-height: 16px; }\nh1 { font: bold 15px sans-serif; margin: 4px; }\n"
           "ul { list-style: none; margin: 4px; padding: 0; font: 12px sans-serif; }\n"
           "li { display: inline-block; margin-right: 16px; }\n"
           "li i { display: inline-block; width: 12px; height: 12px; margin-right: 4px; "
           "vertical-align: -1px; }\n"
           ".ruler { position: sticky; top: 0; background: " +
           cssColor(background) + "; border-bottom: 1px solid; }\n";
    for (const auto& [color, k] : classes)
        out += ".c" + std::to_string(k) + " { color: " + cssColor(color) + "; }\n";
    out += "</style>\n</head>\n<body>\n<h1>" + xmlText(frame.title) + "</h1>\n<ul>\n";
    for (const LegendRow& row : frame.legend)
        out += "<li><i style=\"background: " + cssColor(row.color) + "\"></i>" +
               xmlText(legendName(row, encoding)) + " (" + std::to_string(row.lines) + ")</li>\n";
    const auto [labels, ticks] =
        rulerRows(frame.scale, frame.style, chartColumns(lines), frame.years);
    out +=
        "</ul>\n<pre class=\"ruler\">" + xmlText(labels) + "\n" + xmlText(ticks) + "</pre>\n<pre>";
    for (size_t i = 0; i < lines.size(); ++i) {
        const ChartLine& line = lines[i];
        out += "<span class=\"c";
        out += std::to_string(classes[line.color]);
        // The pointer over a line names its entry, as the window's tooltip does.
        if (i < frame.entries.size()) {
            out += "\" title=\"";
            appendXmlText(out, frame.entries[i]);
        }
        // The leading blanks are a margin of as many character widths: a chart of thousands of
        // years would otherwise be mostly blanks.
        if (line.lead > 0) {
            out += "\" style=\"margin-left: ";
            out += std::to_string(line.lead);
            out += "ch";
        }
        out += "\">";
        appendXmlText(out, lineBody(line, encoding));
        out += "</span>\n";
    }
    out += "</pre>\n</body>\n</html>\n";
    return out;
}

} // namespace tess
