#include "core/text_encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace tess {

std::string_view trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252.
constexpr std::array<char32_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when it is not valid.
size_t decodeUtf8(std::string_view s, size_t i, char32_t& c) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char b0 = b(0);
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    size_t len = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        c = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        c = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        c = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b(k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return len;
}

// Length of the leading run of ASCII bytes, eight bytes at a time.
size_t asciiPrefix(std::string_view s) {
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ull)
            break;
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80)
        ++i;
    return i;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            i += asciiPrefix(bytes.substr(i));
            continue;
        }
        char32_t c = 0;
        const size_t len = decodeUtf8(bytes, i, c);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

TextEncoding detectEncoding(std::string_view bytes) {
    if (asciiPrefix(bytes) == bytes.size())
        return TextEncoding::windows1252;
    return isValidUtf8(bytes) ? TextEncoding::utf8 : TextEncoding::windows1252;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0)
            appendUtf8(out, cp1252High[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

namespace {
// The Windows-1252 byte of a code point, or nothing when the set lacks it.
std::optional<char> windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (size_t k = 0; k < cp1252High.size(); ++k)
        if (cp1252High[k] == c)
            return static_cast<char>(0x80 + k);
    return std::nullopt;
}
} // namespace

std::string utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        size_t len = decodeUtf8(utf8, i, c);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        i += len;
        out += windows1252Byte(c).value_or('?');
    }
    return out;
}

std::optional<std::string> utf8ToWindows1252Exactly(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        const size_t len = decodeUtf8(utf8, i, c);
        if (len == 0)
            return std::nullopt;
        i += len;
        const std::optional<char> b = windows1252Byte(c);
        if (!b)
            return std::nullopt;
        out += *b;
    }
    return out;
}

std::string toUtf8(std::string_view bytes, TextEncoding encoding) {
    return encoding == TextEncoding::utf8 ? std::string(bytes) : windows1252ToUtf8(bytes);
}

std::string fromUtf8(std::string_view utf8, TextEncoding encoding) {
    return encoding == TextEncoding::utf8 ? std::string(utf8) : utf8ToWindows1252(utf8);
}

namespace {
bool startsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}
} // namespace

size_t textWidth(std::string_view bytes, TextEncoding encoding) {
    if (encoding != TextEncoding::utf8)
        return bytes.size();
    size_t i = asciiPrefix(bytes);
    size_t n = i;
    for (; i < bytes.size(); ++i)
        n += startsCharacter(bytes[i]) ? 1 : 0;
    return n;
}

size_t byteOffsetOfChar(std::string_view bytes, TextEncoding encoding, size_t chars) {
    if (encoding != TextEncoding::utf8)
        return std::min(chars, bytes.size());
    size_t i = std::min(asciiPrefix(bytes), chars);
    size_t seen = i;
    while (i < bytes.size()) {
        if (startsCharacter(bytes[i])) {
            if (seen == chars)
                return i;
            ++seen;
        }
        ++i;
    }
    return bytes.size();
}

std::string_view textSlice(std::string_view bytes, TextEncoding encoding, size_t first,
                           size_t count) {
    const size_t from = byteOffsetOfChar(bytes, encoding, first);
    const std::string_view rest = bytes.substr(from);
    return rest.substr(0, byteOffsetOfChar(rest, encoding, count));
}

namespace {

// C0 controls and DEL, and bytes that are not UTF-8, as \xHH; other characters as \uHHHH.
void appendEscape(std::string& out, const char* prefix, unsigned value, int digits) {
    static constexpr char hex[] = "0123456789ABCDEF";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += hex[(value >> shift) & 0xF];
}

bool isControl(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

// The invisible marks that reorder the text after them (a right-to-left override turns the
// rest of a terminal line around).
bool isBidiControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Walks the text's characters, as code points, with the byte they came from when they are not
// valid UTF-8 (code point 0 then, and the byte in `raw`).
template <typename Visit>
void forEachCharacter(std::string_view bytes, TextEncoding encoding, size_t maxChars, Visit visit) {
    size_t chars = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        if (chars == maxChars) {
            visit(char32_t{0}, -2);
            return;
        }
        char32_t c = 0;
        size_t len = 1;
        int raw = -1;
        if (encoding == TextEncoding::utf8) {
            len = decodeUtf8(bytes, i, c);
            if (len == 0) {
                len = 1;
                raw = static_cast<unsigned char>(bytes[i]);
            }
        } else {
            const auto b = static_cast<unsigned char>(bytes[i]);
            c = b >= 0x80 && b < 0xA0 ? cp1252High[b - 0x80] : b;
        }
        visit(c, raw);
        i += len;
        ++chars;
    }
}

} // namespace

std::string displayText(std::string_view bytes, TextEncoding encoding, size_t maxChars) {
    std::string out;
    out.reserve(std::min(bytes.size(), maxChars) + 16);
    forEachCharacter(bytes, encoding, maxChars, [&out](char32_t c, int raw) {
        if (raw == -2)
            out += "\xE2\x80\xA6"; // an ellipsis where the text was cut
        else if (raw >= 0)
            appendEscape(out, "\\x", static_cast<unsigned>(raw), 2); // not UTF-8 after all
        else if (c < 0x80 && isControl(c))
            appendEscape(out, "\\x", c, 2);
        else if (isControl(c) || isBidiControl(c))
            appendEscape(out, "\\u", c, 4);
        else
            appendUtf8(out, c);
    });
    return out;
}

std::string terminalText(std::string_view bytes, TextEncoding encoding) {
    std::string out;
    out.reserve(bytes.size() + 16);
    forEachCharacter(bytes, encoding, static_cast<size_t>(-1), [&out](char32_t c, int raw) {
        if (raw >= 0 || (c >= 0x80 && c <= 0x9F) || isBidiControl(c))
            appendUtf8(out, 0xFFFD);
        else if (c < 0x20)
            appendUtf8(out, 0x2400 + c); // the Control Pictures block
        else if (c == 0x7F)
            appendUtf8(out, 0x2421);
        else
            appendUtf8(out, c);
    });
    return out;
}

} // namespace tess
