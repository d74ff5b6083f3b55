#pragma once

#include "core/dataset.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tess {

// Reads the lines and fields of a dataset file held in memory. Lines may end in CR LF, LF or
// CR alone. Every read either advances or throws FileError, so a damaged file can never make a
// reader loop; the descriptions name the line where the fault was found.
class LineReader {
public:
    // The encoding is the one the file's texts are in; messages quote them in it.
    explicit LineReader(std::string_view text, TextEncoding encoding = TextEncoding::windows1252)
        : text_(text), encoding_(encoding) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    // Offset of the next read in the text.
    size_t position() const { return pos_; }
    // 1-based number of the line the next read starts on.
    int lineNumber() const { return line_; }

    // Every character up to the line end, blanks included; consumes the line end.
    std::string_view readLine();
    void skipLine() { (void)readLine(); }

    // A number field: blanks and empty lines before it are skipped; it ends at a comma, a blank
    // or the line end; after it, blanks and then one comma or one line end are consumed.
    // A number with a fraction or an exponent (1850.0, 1.85E3) is rounded to a whole number,
    // halves to the even neighbour. Throws unless the result lies within [min, max].
    long long readNumber(long long min, long long max) {
        // The common case, a short run of digits with an optional sign between blanks and a
        // comma or line end, is read here; anything else goes to the careful reader.
        const char* base = text_.data();
        const size_t n = text_.size();
        size_t i = pos_;
        while (i < n && (base[i] == ' ' || base[i] == '\t'))
            ++i;
        if (i >= n)
            return readNumberSlow(min, max);
        const bool negative = base[i] == '-';
        if (negative)
            ++i;
        const size_t digitsStart = i;
        long long value = 0;
        while (i < n && i - digitsStart < 18 && static_cast<unsigned>(base[i] - '0') < 10u)
            value = value * 10 + (base[i++] - '0');
        if (i == digitsStart || (i < n && base[i] != ',' && base[i] != ' ' && base[i] != '\t' &&
                                 base[i] != '\r' && base[i] != '\n'))
            return readNumberSlow(min, max);
        if (negative)
            value = -value;
        if (value < min || value > max)
            return readNumberSlow(min, max);
        pos_ = i;
        consumeFieldEnd();
        return value;
    }
    int16_t readInt16() { return static_cast<int16_t>(readNumber(-32768, 32767)); }

    // A text field: either in double quotes (ending at the next quote, which may stand on a
    // later line: the text then holds the line break) or unquoted up to the next comma or line
    // end, without its surrounding blanks. The following comma or line end is consumed.
    std::string readText();

    [[noreturn]] void fail(const std::string& what) const { failAt(line_, what); }
    [[noreturn]] static void failAt(int line, const std::string& what);
    [[noreturn]] void failAtEnd() const;

private:
    long long readNumberSlow(long long min, long long max);
    // A field's text as a message quotes it: bounded, control characters escaped.
    std::string quoted(std::string_view field) const;
    bool atLineEnd() const {
        return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
    }
    void consumeLineEnd() {
        if (pos_ >= text_.size())
            return;
        if (text_[pos_] == '\r') {
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n')
                ++pos_;
            ++line_;
        } else if (text_[pos_] == '\n') {
            ++pos_;
            ++line_;
        }
    }
    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
            ++pos_;
    }
    void consumeFieldEnd() {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == ',')
            ++pos_;
        else
            consumeLineEnd();
    }

    std::string_view text_;
    TextEncoding encoding_;
    static constexpr size_t npos = static_cast<size_t>(-1);
    size_t pos_ = 0;
    size_t nextLf_ = npos;
    int line_ = 1;
};

} // namespace tess
