#include "core/line_reader.h"

#include "core/file_error.h"
#include "core/numbers.h"
#include "core/text_encoding.h"

#include <charconv>
#include <cstring>

namespace tess {

namespace {
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

std::string LineReader::quoted(std::string_view field) const {
    // A long run of garbage would flood the message; 40 characters tell what was found.
    // Appended rather than "\"" + text: g++ 12 warns falsely (-Wrestrict) about the latter.
    std::string text = "\"";
    text += displayText(field, encoding_, 40);
    text += '"';
    return text;
}

namespace {
// The real numbers a number field may hold besides whole ones: digits with at most one
// decimal point and an optional exponent; no "inf", "nan" or hexadecimal.
bool looksReal(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    bool digits = false, point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            digits = true;
        else if (s[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+'))
            ++i;
        const size_t exponentStart = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        if (i == exponentStart)
            return false;
    }
    return i == s.size();
}
} // namespace

void LineReader::failAt(int line, const std::string& what) {
    throw FileError(what + " at line " + std::to_string(line));
}

void LineReader::failAtEnd() const {
    throw FileError("Unexpected end of file at line " + std::to_string(line_));
}

std::string_view LineReader::readLine() {
    if (atEnd())
        failAtEnd();
    const size_t start = pos_;
    const char* base = text_.data();
    const size_t n = text_.size();
    // memchr for LF first: most files end lines in CR LF or LF, and this keeps the scan fast.
    // The next LF is remembered, so a file of CR-only line ends is not scanned to its end for
    // every line.
    if (nextLf_ < start || nextLf_ == npos) {
        const void* lf = std::memchr(base + start, '\n', n - start);
        nextLf_ = lf ? static_cast<size_t>(static_cast<const char*>(lf) - base) : n;
    }
    size_t end = nextLf_;
    const void* cr = std::memchr(base + start, '\r', end - start);
    if (cr)
        end = static_cast<size_t>(static_cast<const char*>(cr) - base);
    pos_ = end;
    consumeLineEnd();
    return text_.substr(start, end - start);
}

long long LineReader::readNumberSlow(long long min, long long max) {
    for (;;) {
        skipBlanks();
        if (atEnd())
            failAtEnd();
        if (!atLineEnd())
            break;
        consumeLineEnd();
    }
    const size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != ' ' && text_[pos_] != '\t' &&
           !isLineEnd(text_[pos_]))
        ++pos_;
    std::string_view token = text_.substr(start, pos_ - start);
    if (token.empty())
        fail("An empty field stands where a number is expected");
    std::string_view digits = token;
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-')
        digits.remove_prefix(1);
    long long value = 0;
    bool inRange = true;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range)
        fail("The number " + quoted(token) + " is out of range");
    if (ec != std::errc() || ptr != digits.data() + digits.size()) {
        if (!looksReal(token))
            fail(quoted(token) + " is not a number");
        // 1850.0 or 1.85E3: the whole number nearest to it, as a typed number is read.
        const double rounded = roundHalfEven(readLeadingNumber(token));
        inRange = rounded >= static_cast<double>(min) && rounded <= static_cast<double>(max);
        if (inRange)
            value = static_cast<long long>(rounded);
    } else {
        inRange = value >= min && value <= max;
    }
    if (!inRange)
        fail("The number " + displayText(token, encoding_, 40) + " is out of range (" +
             std::to_string(min) + " to " + std::to_string(max) + ")");
    consumeFieldEnd();
    return value;
}

std::string LineReader::readText() {
    skipBlanks();
    if (atEnd())
        failAtEnd();
    std::string value;
    if (text_[pos_] == '"') {
        const size_t start = pos_ + 1;
        const void* close = std::memchr(text_.data() + start, '"', text_.size() - start);
        if (!close)
            fail("A quoted text has no closing quote");
        const size_t end = static_cast<size_t>(static_cast<const char*>(close) - text_.data());
        value.assign(text_.substr(start, end - start));
        // Line breaks inside the text still count as lines, for later messages.
        for (size_t i = start; i < end; ++i)
            if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= end || text_[i + 1] != '\n')))
                ++line_;
        pos_ = end + 1;
    } else {
        const size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_]))
            ++pos_;
        std::string_view raw = text_.substr(start, pos_ - start);
        while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t'))
            raw.remove_suffix(1);
        value.assign(raw);
    }
    consumeFieldEnd();
    return value;
}

} // namespace tess
