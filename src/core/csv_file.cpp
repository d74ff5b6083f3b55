#include "core/csv_file.h"

#include "core/field_rules.h"
#include "core/file_error.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text_encoding.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <exception>

namespace tess {

namespace {

// The columns, in the order an export writes them.
enum Column : int {
    kindColumn,
    nameColumn,
    startColumn,
    startTypeColumn,
    endColumn,
    endTypeColumn,
    priorityColumn,
    factionColumn,
    occupationColumn,
    groupColumn,
    nation1Column,
    nation2Column,
    descriptionColumn,
    pictureColumn,
    linkColumn,
    columnCount
};

constexpr std::array<std::string_view, columnCount> columnNames = {
    "kind",     "name",     "start",       "start_type", "end",
    "end_type", "priority", "faction",     "occupation", "group",
    "nation1",  "nation2",  "description", "picture",    "link"};

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr const char* dateTypeNames[] = {"known", "approx", "reign"};

// ---- Writing ----

// Every field in quotes, a quote in it doubled (RFC 4180): what every spreadsheet reads, and
// a text with separators, quotes or line breaks comes back as it went.
void appendField(std::string& out, std::string_view text) {
    out += '"';
    for (size_t quote; (quote = text.find('"')) != std::string_view::npos;) {
        out.append(text.substr(0, quote + 1));
        out += '"';
        text.remove_prefix(quote + 1);
    }
    out.append(text);
    out += '"';
}

void appendRow(std::string& out, const std::array<std::string_view, columnCount>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, fields[i]);
    }
    out += "\r\n";
}

// A stored date type a later version might add is written as its number, so nothing is lost.
std::string typeText(int16_t type) {
    return type >= dateKnown && type <= dateReign ? dateTypeNames[type] : std::to_string(type);
}

// A table's category names in UTF-8 by position; "" for no category and past the table.
class CategoryNames {
public:
    CategoryNames(const CategoryTable& table, TextEncoding encoding) {
        const size_t n =
            std::min(static_cast<size_t>(std::max<int>(table.count, 0)) + 1, table.names.size());
        names_.reserve(n);
        names_.emplace_back();
        for (size_t k = 1; k < n; ++k)
            names_.push_back(toUtf8(table.names[k], encoding));
    }
    std::string_view operator[](int k) const {
        return k >= 1 && static_cast<size_t>(k) < names_.size() ? names_[static_cast<size_t>(k)]
                                                                : std::string_view();
    }

private:
    std::vector<std::string> names_;
};

// The fields every entry has, converted to UTF-8 for the row.
struct EntryTexts {
    std::string name, start, startType, end, endType, priority, description, picture, link;

    template <class Record> EntryTexts(const Record& r, TextEncoding encoding) {
        name = toUtf8(r.name, encoding);
        start = std::to_string(r.date1);
        startType = typeText(r.date1Type);
        end = std::to_string(r.date2);
        endType = typeText(r.date2Type);
        priority = std::to_string(r.priority);
        description = toUtf8(r.desc, encoding);
        picture = toUtf8(r.imgName, encoding);
        link = toUtf8(r.url, encoding);
    }
};

// ---- Reading ----

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A column's name as it is matched: case, blanks, underscores and hyphens ignored, so that
// "Start Type", "start_type" and "START-TYPE" are one column.
std::string columnKey(std::string_view name) {
    std::string key;
    for (char c : lowered(name))
        if (c != ' ' && c != '\t' && c != '_' && c != '-')
            key += c;
    return key;
}

// The separator is the one of comma and semicolon that the header line holds more often
// outside quotes; a comma when they tie (a one-column header holds neither). A spreadsheet
// set to a language that writes decimal commas saves with semicolons.
char separatorOf(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    size_t commas = 0, semicolons = 0;
    bool quoted = false;
    for (size_t i = start == std::string_view::npos ? text.size() : start; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\r' || c == '\n'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

// Line breaks in a field's text: CR LF, a lone LF and a lone CR are one each.
int lineBreaksIn(std::string_view text) {
    int n = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++n;
    return n;
}

enum class Reading { ok, wrong, beyond };

// A year as a spreadsheet holds it: "-44", "44 BC", "44 B.C.E." (and "AD", "CE"), after an
// optional mark of an approximate year, "c.", "ca", "ca.", "circa", "about" or "~".
Reading readYear(std::string_view text, int& year, bool& approx) {
    const std::string low = lowered(trimBlanks(text));
    std::string_view v = low;
    approx = false;
    for (std::string_view mark : {"about", "circa", "ca.", "ca", "c.", "c", "~"})
        if (v.starts_with(mark)) {
            v = trimBlanks(v.substr(mark.size()));
            approx = true;
            break;
        }
    long long value = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (end == v.data() || (ec != std::errc() && ec != std::errc::result_out_of_range))
        return Reading::wrong;
    std::string era;
    for (char c : v.substr(static_cast<size_t>(end - v.data())))
        if (c != ' ' && c != '\t' && c != '.')
            era += c;
    // An era after a minus sign says the same thing twice, or contradicts it.
    const bool bc = era == "bc" || era == "bce";
    if (!era.empty() && (v.front() == '-' || !(bc || era == "ad" || era == "ce")))
        return Reading::wrong;
    if (bc)
        value = -value;
    if (ec != std::errc() || value < minTypedYear || value > maxTypedYear)
        return Reading::beyond;
    year = static_cast<int>(value);
    return Reading::ok;
}

// A whole number in the text, blanks around it allowed; nothing else.
Reading readNumber(std::string_view text, long long& value) {
    text = trimBlanks(text);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size())
        return Reading::wrong;
    return ec == std::errc() ? Reading::ok : Reading::beyond;
}

// A date type: a name, or the number a file stores (kept, so an export comes back whole).
bool readType(std::string_view text, int16_t& type) {
    const std::string low = lowered(trimBlanks(text));
    if (low.empty()) {
        type = dateKnown;
        return true;
    }
    for (int16_t k = dateKnown; k <= dateReign; ++k)
        if (low == dateTypeNames[k]) {
            type = k;
            return true;
        }
    long long n = 0;
    if (readNumber(low, n) != Reading::ok || n < INT16_MIN || n > INT16_MAX)
        return false;
    type = static_cast<int16_t>(n);
    return true;
}

// The most columns a header line may name: more is no table of entries, and each costs memory.
constexpr size_t maxColumns = 10000;

// Reads the rows libcsv hands over: the header line, then an entry a row. libcsv is C, so the
// callbacks keep whatever they throw and stop; the reader rethrows it after the parse.
class Reader {
public:
    ImportBuilder builder;
    std::exception_ptr failure;
    bool stopped = false;

    static void onField(void* data, size_t size, void* self) {
        static_cast<Reader*>(self)->guard([&] {
            Reader& r = *static_cast<Reader*>(self);
            r.field(data ? std::string_view(static_cast<const char*>(data), size)
                         : std::string_view());
        });
    }
    static void onRowEnd(int c, void* self) {
        static_cast<Reader*>(self)->guard([&] { static_cast<Reader*>(self)->rowEnd(c); });
    }

    bool headerRead() const { return !header_; }

    // The file line the current row starts on (or the next row, between rows).
    int rowLine() const { return fieldCount_ > 0 ? rowLine_ : lineBreaks_ + 1; }
    // The column of the field being read, as the header names it.
    std::string currentColumn() const { return columnLabel(fieldCount_); }

private:
    bool header_ = true;
    std::vector<std::string> headerTexts_;
    std::array<int, columnCount> fileColumn_{}; // a column's place in the row, -1 when absent
    std::vector<std::string> fields_;           // the current row's fields of known columns
    size_t fieldCount_ = 0;
    int lineBreaks_ = 0; // line breaks before the field being read
    int rowLine_ = 1;
    bool afterCr_ = false; // the last thing read was a CR that ended a line
    std::string none_;     // the value of a column the row does not have

    template <class F> void guard(F f) {
        if (stopped)
            return;
        try {
            f();
        } catch (...) {
            failure = std::current_exception();
            stopped = true;
        }
    }

    void field(std::string_view text) {
        if (fieldCount_ == 0)
            rowLine_ = lineBreaks_ + 1;
        afterCr_ = false;
        lineBreaks_ += lineBreaksIn(text);
        if (header_) {
            if (headerTexts_.size() >= maxColumns)
                fail("the first line names more than " + std::to_string(maxColumns) +
                     " columns; it should name the columns of a table of entries");
            headerTexts_.emplace_back(text);
        } else if (fieldCount_ < fields_.size()) {
            fields_[fieldCount_].assign(text);
        }
        ++fieldCount_;
    }

    void rowEnd(int c) {
        // libcsv reports the LF of a CR LF after the CR that ended the row.
        const bool sameBreak = c == '\n' && afterCr_ && fieldCount_ == 0;
        afterCr_ = c == '\r';
        if (sameBreak)
            return;
        if (c == '\r' || c == '\n')
            ++lineBreaks_;
        if (fieldCount_ == 0)
            return;
        if (header_)
            readHeader();
        else
            readRow();
        fieldCount_ = 0;
        if (builder.pastLimits())
            stopped = true; // finish() refuses; the rest of the file need not be read
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw FileError("line " + std::to_string(rowLine()) + ": " + what);
    }

    std::string columnLabel(size_t index) const {
        if (index < headerTexts_.size() && !trimBlanks(headerTexts_[index]).empty())
            return displayText(trimBlanks(headerTexts_[index]), TextEncoding::utf8,
                               messageTextLimit);
        return std::to_string(index + 1);
    }

    void readHeader() {
        header_ = false;
        fileColumn_.fill(-1);
        for (size_t i = 0; i < fieldCount_; ++i) {
            const std::string key = columnKey(headerTexts_[i]);
            for (int k = 0; k < columnCount; ++k) {
                if (key != columnKey(columnNames[static_cast<size_t>(k)]))
                    continue;
                if (fileColumn_[static_cast<size_t>(k)] >= 0)
                    fail("the columns " + std::to_string(fileColumn_[static_cast<size_t>(k)] + 1) +
                         " and " + std::to_string(i + 1) + " are both named " +
                         std::string(columnNames[static_cast<size_t>(k)]));
                fileColumn_[static_cast<size_t>(k)] = static_cast<int>(i);
            }
        }
        for (Column required : {nameColumn, startColumn})
            if (fileColumn_[required] < 0)
                fail("no column is named " + std::string(columnNames[required]) +
                     "; the first line names the columns, name and start at least");
        int last = 0;
        for (int place : fileColumn_)
            last = std::max(last, place);
        fields_.resize(static_cast<size_t>(last) + 1);
    }

    // The field of a column in the current row; "" when the file has no such column or the
    // row stops short of it.
    std::string& value(Column c) {
        const int place = fileColumn_[c];
        if (place < 0 || static_cast<size_t>(place) >= fieldCount_)
            return none_ = std::string();
        return fields_[static_cast<size_t>(place)];
    }

    [[noreturn]] void refuse(Column c, const std::string& problem) {
        fail("the " + std::string(columnNames[c]) + " \"" +
             displayText(value(c), TextEncoding::utf8, messageTextLimit) + "\" in column " +
             columnLabel(static_cast<size_t>(fileColumn_[c])) + " " + problem);
    }

    int year(Column c, bool& approx) {
        int y = 0;
        const Reading r = readYear(value(c), y, approx);
        if (r == Reading::wrong)
            refuse(c, "is not a year");
        if (r == Reading::beyond)
            refuse(c, "is not within the years " + std::to_string(minTypedYear) + " to " +
                          std::to_string(maxTypedYear));
        return y;
    }

    int16_t type(Column c) {
        int16_t t = dateKnown;
        if (!readType(value(c), t))
            refuse(c, "is not known, approx, reign or a number");
        return t;
    }

    void readRow() {
        bool blank = true;
        for (size_t i = 0; i < std::min(fieldCount_, fields_.size()) && blank; ++i)
            blank = trimBlanks(fields_[i]).empty();
        if (blank)
            return; // a spreadsheet's empty rows below the table
        ImportedEntry e;
        if (fileColumn_[kindColumn] >= 0) {
            const std::string kind = lowered(trimBlanks(value(kindColumn)));
            if (kind == "event" || kind == "events")
                e.side = Side::events;
            else if (kind != "person" && kind != "people")
                refuse(kindColumn, "is neither person nor event");
        }
        if (trimBlanks(value(startColumn)).empty())
            fail("the start in column " +
                 columnLabel(static_cast<size_t>(fileColumn_[startColumn])) +
                 " is empty; every entry needs a first year");
        bool approx = false;
        e.first = year(startColumn, approx);
        e.firstType = approx ? int16_t{dateApprox} : type(startTypeColumn);
        if (trimBlanks(value(endColumn)).empty()) {
            e.last = e.first;
            e.lastType =
                trimBlanks(value(endTypeColumn)).empty() ? e.firstType : type(endTypeColumn);
        } else {
            e.last = year(endColumn, approx);
            e.lastType = approx ? int16_t{dateApprox} : type(endTypeColumn);
        }
        // A number as the entry windows take it (3.0 is 3, 20 digits are past 9), rounded;
        // the builder holds it to 1..9 and counts the correction.
        const std::string_view typed = trimBlanks(value(priorityColumn));
        double priority = 1;
        if (!typed.empty()) {
            const auto [end, ec] =
                std::from_chars(typed.data(), typed.data() + typed.size(), priority);
            if (end != typed.data() + typed.size() || !std::isfinite(priority) ||
                (ec != std::errc() && ec != std::errc::result_out_of_range))
                refuse(priorityColumn, "is not a number");
            // Out of range is too large, or too small to tell from 0 (1e-400).
            if (ec == std::errc::result_out_of_range)
                priority =
                    typed.find_first_of("eE") != std::string_view::npos &&
                            typed.find("-", typed.find_first_of("eE")) != std::string_view::npos
                        ? 0
                    : typed.front() == '-' ? INT_MIN
                                           : INT_MAX;
        }
        e.priority =
            static_cast<int>(roundHalfEven(std::clamp<double>(priority, INT_MIN, INT_MAX)));
        e.name = std::move(value(nameColumn));
        e.description = std::move(value(descriptionColumn));
        e.picture = std::move(value(pictureColumn));
        e.link = std::move(value(linkColumn));
        if (e.side == Side::people) {
            e.faction = std::move(value(factionColumn));
            e.occupation = std::move(value(occupationColumn));
        } else {
            e.group = std::move(value(groupColumn));
            e.nation1 = std::move(value(nation1Column));
            e.nation2 = std::move(value(nation2Column));
        }
        builder.add(std::move(e));
    }
};

class Parser {
public:
    explicit Parser(char separator) {
        // Strict: a stray quote is an error named by its line, not a guess that shifts columns.
        if (csv_init(&p_, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
            throw FileError("Not enough memory to read the file.");
        csv_set_delim(&p_, static_cast<unsigned char>(separator));
        // libcsv grows its field buffer by this much at a time: a long field (a description
        // of a megabyte) should not take thousands of steps.
        csv_set_blk_size(&p_, size_t{1} << 16);
    }
    ~Parser() { csv_free(&p_); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // False when libcsv stops at bytes it cannot read.
    bool parse(std::string_view bytes, Reader& r) {
        return csv_parse(&p_, bytes.data(), bytes.size(), Reader::onField, Reader::onRowEnd, &r) ==
               bytes.size();
    }
    bool finish(Reader& r) { return csv_fini(&p_, Reader::onField, Reader::onRowEnd, &r) == 0; }
    int error() { return csv_error(&p_); }

private:
    csv_parser p_{};
};

} // namespace

std::string formatEntriesCsv(const Dataset& ds) {
    const TextEncoding enc = ds.encoding;
    const size_t people =
        std::min(static_cast<size_t>(std::max(ds.numPeople, 0)), ds.people.size());
    const size_t events =
        std::min(static_cast<size_t>(std::max(ds.numEvents, 0)), ds.events.size());
    size_t estimate = 256;
    for (size_t i = 0; i < people; ++i) {
        const PersonRecord& p = ds.people[i];
        estimate += 128 + p.name.size() + p.desc.size() + p.imgName.size() + p.url.size();
    }
    for (size_t i = 0; i < events; ++i) {
        const EventRecord& e = ds.events[i];
        estimate += 160 + e.name.size() + e.desc.size() + e.imgName.size() + e.url.size();
    }
    std::string out(byteOrderMark);
    // Windows-1252 texts grow by up to half in UTF-8.
    out.reserve(enc == TextEncoding::utf8 ? estimate : estimate + estimate / 2);
    appendRow(out, columnNames);

    const CategoryNames factions(ds.factions, enc), occupations(ds.occupations, enc),
        groups(ds.groups, enc), nations(ds.nations, enc);
    for (size_t i = 0; i < people; ++i) {
        const PersonRecord& p = ds.people[i];
        const EntryTexts t(p, enc);
        appendRow(out, {"person", t.name, t.start, t.startType, t.end, t.endType, t.priority,
                        factions[p.faction], occupations[p.occupation], "", "", "", t.description,
                        t.picture, t.link});
    }
    for (size_t i = 0; i < events; ++i) {
        const EventRecord& e = ds.events[i];
        const EntryTexts t(e, enc);
        appendRow(out, {"event", t.name, t.start, t.startType, t.end, t.endType, t.priority, "", "",
                        groups[e.group], nations[e.nation1], nations[e.nation2], t.description,
                        t.picture, t.link});
    }
    return out;
}

void writeEntriesCsv(const Dataset& ds, const std::string& path) {
    writeFileAtomic(path, formatEntriesCsv(ds));
}

ImportResult importCsvText(std::string_view bytes) {
    if (bytes.starts_with(byteOrderMark))
        bytes.remove_prefix(byteOrderMark.size());
    std::string converted;
    if (!isValidUtf8(bytes)) {
        converted = windows1252ToUtf8(bytes);
        bytes = converted;
    }
    Reader reader;
    Parser parser(separatorOf(bytes));
    // Read a piece at a time, so that a file found to hold too much is not read to its end.
    constexpr size_t piece = size_t{1} << 20;
    bool parsed = true, closed = true;
    for (size_t at = 0; at < bytes.size() && parsed && !reader.stopped; at += piece)
        parsed = parser.parse(bytes.substr(at, piece), reader);
    if (parsed && !reader.stopped)
        closed = parser.finish(reader);
    if (reader.failure)
        std::rethrow_exception(reader.failure);
    const std::string where = "line " + std::to_string(reader.rowLine()) +
                              ": the field in column " + reader.currentColumn();
    if (!closed)
        throw FileError(where + " opens a double quote that is never closed");
    if (!parsed && parser.error() == CSV_EPARSE)
        throw FileError(where + " holds a double quote out of place: a field with double quotes "
                                "in it is put in double quotes, and each of those doubled");
    if (!parsed)
        throw FileError(where + " is too large to read");
    if (!reader.headerRead())
        throw FileError("The file is empty: its first line should name the columns, name and "
                        "start at least.");
    ImportResult result = reader.builder.finish();
    // Said, since one stray byte in a UTF-8 file turns its every accent into two letters.
    if (!converted.empty())
        result.notes.push_back("the file is not UTF-8 and was read as Windows-1252");
    return result;
}

} // namespace tess
