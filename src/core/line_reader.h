#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tess {

// Reads the lines and fields of a dataset file held in memory. Lines may end in CR LF, LF or
// CR alone. Every read either advances or throws FileError, so a damaged file can never make a
// reader loop; the descriptions name the line where the fault was found.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

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
    // Throws unless it is a whole number within [min, max].
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

    // A text field: either in double quotes (ending at the next quote on the same line) or
    // unquoted up to the next comma or line end, without its surrounding blanks. The following
    // comma or line end is consumed.
    std::string readText();

    [[noreturn]] void fail(const std::string& what) const { failAt(line_, what); }
    [[noreturn]] static void failAt(int line, const std::string& what);
    [[noreturn]] void failAtEnd() const;

private:
    long long readNumberSlow(long long min, long long max);
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
    static constexpr size_t npos = static_cast<size_t>(-1);
    size_t pos_ = 0;
    size_t nextLf_ = npos;
    int line_ = 1;
};

} // namespace tess
