#include "timeline/chart_export.h"

#include "core/text_encoding.h"

#include <algorithm>
#include <cstdio>
#include <map>

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

std::string chartSvg(const std::vector<ChartLine>& lines, TextEncoding encoding, int32_t background,
                     const std::string& title) {
    long long columns = 1;
    for (const ChartLine& line : lines)
        columns = std::max(columns, line.width());
    const long long width = columns * svgCellWidth;
    const long long height =
        std::max<long long>(1, static_cast<long long>(lines.size())) * svgLineHeight;
    std::string out;
    out.reserve(lines.size() * 120 + 512);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
           "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) +
           " " + std::to_string(height) +
           "\" font-family=\"monospace\" font-size=\"13\" xml:space=\"preserve\">\n";
    out += "<title>" + xmlText(title) + "</title>\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"" + cssColor(background) + "\"/>\n";
    long long y = svgLineHeight - 4;
    for (const ChartLine& line : lines) {
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
        appendXmlText(out, lineBody(line, encoding));
        out += "</text>\n";
        y += svgLineHeight;
    }
    out += "</svg>\n";
    return out;
}

std::string chartHtml(const std::vector<ChartLine>& lines, TextEncoding encoding,
                      int32_t background, const std::string& title) {
    // One class a colour keeps a large chart's page small.
    std::map<int32_t, int> classes;
    for (const ChartLine& line : lines)
        classes.emplace(line.color, static_cast<int>(classes.size()));
    std::string out;
    out.reserve(lines.size() * 100 + 1024);
    out += "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n"
           "<meta charset=\"utf-8\"/>\n<title>" +
           xmlText(title) +
           "</title>\n<style>\nbody { margin: 0; background: " + cssColor(background) +
           "; }\npre { margin: 0; padding: 4px; font-family: monospace; font-size: 13px; "
           "line-height: 16px; }\n";
    for (const auto& [color, k] : classes)
        out += ".c" + std::to_string(k) + " { color: " + cssColor(color) + "; }\n";
    out += "</style>\n</head>\n<body>\n<pre>";
    for (const ChartLine& line : lines) {
        out += "<span class=\"c";
        out += std::to_string(classes[line.color]);
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
