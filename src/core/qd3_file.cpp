#include "core/qd3_file.h"

#include "core/file_error.h"
#include "core/large_arrays.h"
#include "core/numbers.h"
#include "core/text_encoding.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace tess {

namespace {

constexpr std::string_view peopleCountText = " -- Number of people in file";
constexpr std::string_view eventsCountText = " -- Number of events in file";
constexpr std::string_view peopleHeader = "==== PEOPLE";
constexpr std::string_view eventsHeader = "+++ EVENTS";
constexpr std::string_view tableHeaders[4] = {"=== FACTIONS", "=== OCCUPATIONS", "=== GROUPS",
                                              "=== NATIONS"};

} // namespace

int32_t readStoredColor(LineReader& in) {
    const int line = in.lineNumber();
    const long long c = in.readNumber(INT32_MIN, INT32_MAX);
    if (c < 0 || (c > 15 && c < 20))
        LineReader::failAt(line, "The colour " + std::to_string(c) +
                                     " is neither a colour value nor a palette number (0 to 15)");
    return static_cast<int32_t>(c);
}

int32_t readColorField(LineReader& in) {
    const int32_t c = readStoredColor(in);
    return c >= 20 ? c : legacyPaletteColor(c);
}

namespace {

void readDatesInto(LineReader& in, int16_t& date1, int16_t& date1Type, int16_t& date2,
                   int16_t& date2Type) {
    date1 = in.readInt16();
    date1Type = in.readInt16();
    date2 = in.readInt16();
    date2Type = in.readInt16();
}

// The category tables in file order.
CategoryTable* tablesInFileOrder(Dataset& ds, int i) {
    CategoryTable* tables[4] = {&ds.factions, &ds.occupations, &ds.groups, &ds.nations};
    return tables[i];
}

void readCategoryTable(LineReader& in, CategoryTable& t) {
    in.skipLine();
    const long long n = in.readNumber(0, maxEntries);
    t.resize(0);
    std::vector<std::string> names;
    std::vector<int32_t> colors;
    for (long long j = 1; j <= n; ++j) {
        in.skipLine();
        std::string name(in.readLine());
        const int32_t color = readColorField(in);
        // A table grows with what was read, so a damaged file cannot make it allocate more
        // than its own size warrants, and a failure leaves only whole categories behind.
        t.names.push_back(std::move(name));
        t.colors.push_back(color);
        t.include.push_back(boolTrue);
        t.count = static_cast<int16_t>(j);
    }
}

} // namespace

int readCountLine(LineReader& in, const char* what) {
    const int line = in.lineNumber();
    const double n = roundHalfEven(readLeadingNumber(in.readLine()));
    if (n < 0 || n > maxEntries)
        throw FileError(std::string("The number of ") + what + " " + plainDecimal(n) +
                        " is out of range (0 to 32767) at line " + std::to_string(line));
    return static_cast<int>(n);
}

void readPersonBlock(LineReader& in, PersonRecord& p, DateRange* range) {
    in.skipLine();
    p.name = in.readLine();
    readDatesInto(in, p.date1, p.date1Type, p.date2, p.date2Type);
    if (range)
        range->track(p.date1, p.date2);
    p.desc = in.readLine();
    p.faction = in.readInt16();
    p.occupation = in.readInt16();
    p.imgName = in.readText();
    p.imgSize1 = in.readInt16();
    p.imgSize2 = in.readInt16();
    p.url = in.readText();
    p.spareText = in.readText();
    p.priority = in.readInt16();
    p.spare1 = in.readInt16();
    p.spare2 = in.readInt16();
    p.spare3 = in.readInt16();
    p.extra1 = in.readText();
    p.extra2 = in.readText();
}

void readEventBlock(LineReader& in, EventRecord& e, DateRange* range) {
    in.skipLine();
    e.name = in.readLine();
    readDatesInto(in, e.date1, e.date1Type, e.date2, e.date2Type);
    if (range)
        range->track(e.date1, e.date2);
    e.desc = in.readLine();
    e.group = in.readInt16();
    e.nation1 = in.readInt16();
    e.nation2 = in.readInt16();
    e.imgName = in.readText();
    e.imgSize1 = in.readInt16();
    e.imgSize2 = in.readInt16();
    e.url = in.readText();
    e.spareText = in.readText();
    e.priority = in.readInt16();
    e.spare1 = in.readInt16();
    e.spare2 = in.readInt16();
    e.spare3 = in.readInt16();
    e.extra1 = in.readText();
    e.extra2 = in.readText();
}

namespace {

// Reads count entry blocks, appending each as it is read (so memory stays in proportion to
// the file, and on failure the entries read so far, the failing one included, are kept).
template <typename Record, typename ReadBlock>
void readEntries(LineReader& in, int count, size_t textSize, std::vector<Record>& out,
                 DateRange& range, ReadBlock readBlock) {
    reserveLarge(out, std::min(static_cast<size_t>(count), textSize / 16));
    for (int i = 0; i < count; ++i) {
        Record& r = out.emplace_back();
        readBlock(in, r, &range);
        r.selected = 1;
        if (r.priority < 1)
            r.priority = 5;
    }
}

} // namespace

void readDatasetText(Dataset& ds, std::string_view text) {
    LineReader in(text, ds.encoding);
    ds.people.clear();
    ds.events.clear();
    for (int i = 0; i < 4; ++i)
        tablesInFileOrder(ds, i)->resize(0);

    DateRange range;
    // The counts the file claims, for the failure message's tail.
    int claimedPeople = 0;
    int claimedEvents = 0;
    auto syncCounts = [&ds, &range] {
        ds.numPeople = static_cast<int>(ds.people.size());
        ds.numEvents = static_cast<int>(ds.events.size());
        ds.numSelPeople = static_cast<int16_t>(ds.numPeople);
        ds.numSelEvents = static_cast<int16_t>(ds.numEvents);
        ds.earliestDate = range.earliest;
        ds.latestDate = range.latest;
    };
    try {
        claimedPeople = readCountLine(in, "people");
        claimedEvents = readCountLine(in, "events");
        in.skipLine();

        readEntries(in, claimedPeople, text.size(), ds.people, range, readPersonBlock);
        in.skipLine();
        readEntries(in, claimedEvents, text.size(), ds.events, range, readEventBlock);
        for (int i = 0; i < 4; ++i)
            readCategoryTable(in, *tablesInFileOrder(ds, i));
    } catch (const FileError& err) {
        syncCounts();
        throw FileError(readFailureMessage(err.description(), ds, claimedPeople, claimedEvents));
    }
    syncCounts();
    ds.selStart = ds.earliestDate;
    ds.selEnd = ds.latestDate;
    ds.selPriority = 9;
    ds.loaded = true;
    ds.curPerson = 0;
    ds.curEvent = 0;
}

std::string readFailureMessage(const std::string& description, const Dataset& ds, int claimedPeople,
                               int claimedEvents) {
    std::string message = description;
    if (claimedPeople >= 1 && claimedEvents >= 1) {
        // A name may be megabytes of garbage: the message shows its start.
        auto nameAt = [&ds](const auto& records, int pos) {
            return static_cast<size_t>(pos) < records.size()
                       ? displayText(records[static_cast<size_t>(pos)].name, ds.encoding,
                                     messageTextLimit)
                       : std::string();
        };
        message += " npeople " + plainNumber(claimedPeople) + " " +
                   nameAt(ds.people, claimedPeople - 1) + " nevents " + plainNumber(claimedEvents) +
                   " " + nameAt(ds.events, claimedEvents - 1);
    }
    return message;
}

std::string_view fileBody(std::string_view text, TextEncoding& encoding) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark) {
        // Editors put this mark before UTF-8 text; it is no part of the first line. The file
        // is UTF-8 unless the rest says otherwise.
        text.remove_prefix(byteOrderMark.size());
        encoding = isValidUtf8(text) ? TextEncoding::utf8 : TextEncoding::windows1252;
    } else {
        encoding = detectEncoding(text);
    }
    return text;
}

void readDataset(Dataset& ds, const std::string& path) {
    const std::string text = readWholeFile(path);
    const std::string_view body = fileBody(text, ds.encoding);
    try {
        readDatasetText(ds, body);
    } catch (const FileError& e) {
        // A save killed while it rewrote this file in place cuts it short; say where the whole
        // copy it made first is.
        const std::vector<std::string> copies = interruptedSaveCopies(path);
        if (copies.empty())
            throw;
        throw FileError(e.description() + std::string(lineBreak) +
                        "A copy of the file from before an interrupted save is kept as \"" +
                        displayText(copies.front(), TextEncoding::utf8, 4 * messageTextLimit) +
                        "\".");
    }
}

namespace {

// Appends numbers and texts straight into a buffer that is sized once up front; the file is
// written at memory speed, without streams or a capacity check per character.
class Out {
public:
    explicit Out(std::string& s, size_t estimate) : s_(s) {
        s_.resize(estimate);
        p_ = s_.data();
        end_ = p_ + s_.size();
    }
    // Trims the buffer to what was written.
    void finish() { s_.resize(static_cast<size_t>(p_ - s_.data())); }

    // Makes room for the next n bytes; the writes below rely on it and check nothing.
    void room(size_t n) {
        if (static_cast<size_t>(end_ - p_) >= n)
            return;
        const size_t used = static_cast<size_t>(p_ - s_.data());
        s_.resize(std::max(s_.size() * 2, used + n + 4096));
        p_ = s_.data() + used;
        end_ = s_.data() + s_.size();
    }

    Out& num(long long v) {
        p_ = std::to_chars(p_, end_, v).ptr;
        return *this;
    }
    Out& raw(std::string_view t) {
        std::memcpy(p_, t.data(), t.size());
        p_ += t.size();
        return *this;
    }
    Out& ch(char c) {
        *p_++ = c;
        return *this;
    }
    // A raw line may hold no line break: one would split the entry and break the file.
    Out& line(std::string_view t) {
        raw(t);
        replaceIn(p_ - t.size(), p_, false);
        return eol();
    }
    // A quoted text may hold neither a quote nor a line break; the reader could not find its end.
    Out& quoted(std::string_view t) {
        ch('"').raw(t);
        replaceIn(p_ - t.size(), p_, true);
        return ch('"');
    }
    Out& comma() { return ch(','); }
    Out& eol() { return raw(lineBreak); }
    // A stand-alone number: a blank or minus sign, the digits, one trailing blank.
    Out& numberLine(long long v) {
        if (v >= 0)
            ch(' ');
        return num(v).ch(' ').eol();
    }

private:
    // True when any byte of w equals b (the classic bit trick, eight bytes at once).
    static bool hasByte(uint64_t w, unsigned char b) {
        const uint64_t x = w ^ (0x0101010101010101ull * b);
        return ((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) != 0;
    }
    static bool needsReplacing(const char* first, const char* last, bool quotes) {
        const char* c = first;
        for (; last - c >= 8; c += 8) {
            uint64_t w;
            std::memcpy(&w, c, 8);
            if (hasByte(w, '\r') || hasByte(w, '\n') || (quotes && hasByte(w, '"')))
                return true;
        }
        for (; c != last; ++c)
            if (*c == '\r' || *c == '\n' || (quotes && *c == '"'))
                return true;
        return false;
    }
    static void replaceIn(char* first, char* last, bool quotes) {
        if (!needsReplacing(first, last, quotes))
            return;
        for (char* c = first; c != last; ++c) {
            if (*c == '\r' || *c == '\n')
                *c = ' ';
            else if (quotes && *c == '"')
                *c = '\'';
        }
    }

    std::string& s_;
    char* p_;
    char* end_;
};

// An upper bound of a record's bytes: its texts plus 40 numbers of 20 characters and change.
template <typename Record> size_t recordBound(const Record& r) {
    return 1024 + r.name.size() + r.desc.size() + r.imgName.size() + r.url.size() +
           r.spareText.size() + r.extra1.size() + r.extra2.size();
}

template <typename Record> void writeDates(Out& o, const Record& r) {
    o.num(r.date1).comma().num(r.date1Type).comma().num(r.date2).comma().num(r.date2Type).eol();
}

template <typename Record> void writeTail(Out& o, const Record& r) {
    o.quoted(r.imgName).comma().num(r.imgSize1).comma().num(r.imgSize2).comma();
    o.quoted(r.url).comma().quoted(r.spareText).comma().num(r.priority).comma();
    o.num(r.spare1).comma().num(r.spare2).comma().num(r.spare3).comma();
    o.quoted(r.extra1).comma().quoted(r.extra2).eol();
}

std::pair<int, int> savedCounts(const Dataset& ds) {
    if (ds.saveSelectedOnly != 0)
        return {ds.numSelPeople, ds.numSelEvents};
    return {ds.numPeople, ds.numEvents};
}

} // namespace

std::string formatDataset(const Dataset& ds) {
    std::string s;
    size_t estimate = 512;
    for (int i = 0; i < ds.numPeople; ++i) {
        const PersonRecord& p = ds.people[static_cast<size_t>(i)];
        estimate += 96 + p.name.size() + p.desc.size() + p.imgName.size() + p.url.size() +
                    p.spareText.size() + p.extra1.size() + p.extra2.size();
    }
    for (int i = 0; i < ds.numEvents; ++i) {
        const EventRecord& e = ds.events[static_cast<size_t>(i)];
        estimate += 104 + e.name.size() + e.desc.size() + e.imgName.size() + e.url.size() +
                    e.spareText.size() + e.extra1.size() + e.extra2.size();
    }
    Out o(s, estimate);
    const bool selectedOnly = ds.saveSelectedOnly != 0;
    const auto [p, e] = savedCounts(ds);
    o.room(1024);
    o.num(p).raw(peopleCountText).eol();
    o.num(e).raw(eventsCountText).eol();
    o.line(peopleHeader);
    for (int i = 0; i < ds.numPeople; ++i) {
        const PersonRecord& r = ds.people[static_cast<size_t>(i)];
        if (selectedOnly && r.selected == 0)
            continue;
        o.room(recordBound(r));
        o.raw("** ").num(i).eol();
        o.line(r.name);
        writeDates(o, r);
        o.line(r.desc);
        o.num(r.faction).comma().num(r.occupation).comma();
        writeTail(o, r);
    }
    o.line(eventsHeader);
    for (int i = 0; i < ds.numEvents; ++i) {
        const EventRecord& r = ds.events[static_cast<size_t>(i)];
        if (selectedOnly && r.selected == 0)
            continue;
        o.room(recordBound(r));
        o.raw("++").num(i).eol();
        o.line(r.name);
        writeDates(o, r);
        o.line(r.desc);
        o.num(r.group).comma().num(r.nation1).comma().num(r.nation2).comma();
        writeTail(o, r);
    }
    const CategoryTable* tables[4] = {&ds.factions, &ds.occupations, &ds.groups, &ds.nations};
    for (int t = 0; t < 4; ++t) {
        o.room(1024);
        o.line(tableHeaders[t]);
        const CategoryTable& table = *tables[t];
        o.numberLine(table.count);
        for (int j = 1; j <= table.count; ++j) {
            o.room(1024 + table.names[static_cast<size_t>(j)].size());
            o.raw("-").num(j).eol();
            o.line(table.names[static_cast<size_t>(j)]);
            o.numberLine(table.colors[static_cast<size_t>(j)]);
        }
    }
    o.finish();
    return s;
}

std::string savingMessage(const Dataset& ds, const std::string& path) {
    const auto [p, e] = savedCounts(ds);
    return "Saving " + path + std::string(lineBreak) + signedNumber(p) + " people, " +
           plainNumber(static_cast<long long>(e)) + " events";
}

void writeDataset(Dataset& ds, const std::string& path, const WriteFunction& write) {
    struct ClearSelectedOnly {
        Dataset& ds;
        ~ClearSelectedOnly() { ds.saveSelectedOnly = 0; }
    } clear{ds};
    writeFileAtomic(path, formatDataset(ds), write);
}

Dataset newDataset() {
    std::string text = "0 -- Number of people in file\r\n0 -- Number of events in file\r\n"
                       "==== PEOPLE\r\n+++ EVENTS\r\n";
    for (const char* table : {"FACTIONS", "OCCUPATIONS", "GROUPS", "NATIONS"})
        text += std::string("=== ") + table + "\r\n 1 \r\n-1\r\nGeneral\r\n 0 \r\n";
    Dataset ds;
    readDatasetText(ds, text);
    return ds;
}

} // namespace tess
