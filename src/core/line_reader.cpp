#include "core/line_reader.h"

#include "core/file_error.h"

#include <charconv>
#include <cstring>

namespace tess {

namespace {
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Shows a field in a message without flooding it with a long run of garbage.
std::string quoted(std::string_view s) {
    constexpr size_t shown = 40;
    std::string out = "\"";
    for (char c : s.substr(0, shown))
        out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? '?' : c;
    if (s.size() > shown)
        out += "...";
    out += '"';
    return out;
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
    if (digits.size() > 1 && digits.front() == '+')
        digits.remove_prefix(1);
    long long value = 0;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range)
        fail("The number " + quoted(token) + " is out of range");
    if (ec != std::errc() || ptr != digits.data() + digits.size())
        fail(quoted(token) + " is not a number");
    if (value < min || value > max)
        fail("The number " + std::string(token) + " is out of range (" + std::to_string(min) +
             " to " + std::to_string(max) + ")");
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
        size_t end = start;
        while (end < text_.size() && text_[end] != '"' && !isLineEnd(text_[end]))
            ++end;
        if (end >= text_.size() || text_[end] != '"')
            fail("A quoted text has no closing quote");
        value.assign(text_.substr(start, end - start));
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
