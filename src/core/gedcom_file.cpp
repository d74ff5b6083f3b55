#include "core/gedcom_file.h"

#include "core/file_error.h"
#include "core/text_encoding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace tess {

namespace {

// The years a dataset is meant to hold; a record dated beyond is left out, not moved.
constexpr int earliestYear = -20000;
constexpr int latestYear = 10000;
// What a year of more digits is taken for: far beyond, without overflowing.
constexpr int hugeYear = 1'000'000'000;

[[noreturn]] void failAt(int line, const std::string& what) {
    throw FileError("line " + std::to_string(line) + ": " + what);
}

// File text as a message quotes it: bounded, its control characters escaped.
std::string quoted(std::string_view text) {
    std::string s = "\"";
    s += displayText(text, TextEncoding::utf8, 40);
    s += '"';
    return s;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isTagChar(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Tags are upper case; the words of a date are matched ignoring case ("Abt 1850").
bool sameWord(std::string_view word, std::string_view upper) {
    if (word.size() != upper.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = word[i] >= 'a' && word[i] <= 'z' ? static_cast<char>(word[i] - 32) : word[i];
        if (c != upper[i])
            return false;
    }
    return true;
}

// The lines of the text without their ends. GEDCOM ends a line with CR LF, LF CR, CR or LF;
// a CR that begins a CR LF of its own is not taken for the end of an LF before it.
class LineSplitter {
public:
    explicit LineSplitter(std::string_view text) : text_(text) {}

    bool next(std::string_view& line) {
        const size_t n = text_.size();
        if (pos_ >= n)
            return false;
        const char* p = text_.data();
        size_t i = pos_;
        while (i < n && p[i] != '\n' && p[i] != '\r')
            ++i;
        line = text_.substr(pos_, i - pos_);
        if (i < n) {
            const char end = p[i++];
            if (i < n && p[i] == (end == '\r' ? '\n' : '\r') &&
                !(end == '\n' && i + 1 < n && p[i + 1] == '\n'))
                ++i;
        }
        pos_ = i;
        ++number_;
        return true;
    }
    // 1-based number of the line last returned.
    int number() const { return number_; }

private:
    std::string_view text_;
    size_t pos_ = 0;
    int number_ = 0;
};

// LEVEL [@XREF@] TAG [VALUE]
struct GedLine {
    int level = 0;
    std::string_view levelText, xref, tag, value;
};

// Blanks between the parts are accepted however many, and before the level too, as the
// standard asks of a reader; the value is what follows the one blank after the tag.
bool splitLine(std::string_view s, GedLine& out) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    const size_t digits = i;
    int level = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
        level = level < 1'000'000 ? level * 10 + (s[i] - '0') : level; // a jump all the same
    if (i == digits || i == s.size() || !isBlank(s[i]))
        return false;
    out.levelText = s.substr(digits, i - digits);
    while (i < s.size() && isBlank(s[i]))
        ++i;
    out.xref = {};
    if (i < s.size() && s[i] == '@') {
        size_t end = i + 1;
        while (end < s.size() && s[end] != '@' && !isBlank(s[end]))
            ++end;
        if (end == s.size() || s[end] != '@' || end == i + 1)
            return false;
        out.xref = s.substr(i, end + 1 - i);
        i = end + 1;
        if (i == s.size() || !isBlank(s[i]))
            return false;
        while (i < s.size() && isBlank(s[i]))
            ++i;
    }
    const size_t tag = i;
    while (i < s.size() && isTagChar(s[i]))
        ++i;
    if (i == tag || (i < s.size() && !isBlank(s[i])))
        return false;
    out.level = level;
    out.tag = s.substr(tag, i - tag);
    out.value = i < s.size() ? s.substr(i + 1) : std::string_view();
    return true;
}

bool blankLine(std::string_view s) {
    return trimBlanks(s).empty();
}

// The character set the header names (1 CHAR ...), or nothing.
std::string_view declaredCharset(std::string_view text) {
    LineSplitter lines(text);
    std::string_view raw;
    GedLine l;
    bool first = true;
    while (lines.next(raw)) {
        if (blankLine(raw))
            continue;
        if (!splitLine(raw, l) || (l.level == 0 && !first))
            break;
        first = false;
        if (l.level == 1 && l.tag == "CHAR")
            return trimBlanks(l.value);
    }
    return {};
}

// ---- Dates

struct Years {
    bool known = false;
    int first = 0, last = 0;
    bool approx = false;
};

enum class Dated { year, otherCalendar, unreadable };

bool isMonth(std::string_view w) {
    static constexpr std::array<std::string_view, 12> months = {
        "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (std::string_view m : months)
        if (sameWord(w, m))
            return true;
    return false;
}

bool isEpoch(std::string_view w) {
    return sameWord(w, "B.C.") || sameWord(w, "BC") || sameWord(w, "BCE") || sameWord(w, "B.C.E.");
}

// A year, or a dual year (1700/01) read as its first.
bool readYear(std::string_view w, int& year) {
    const size_t slash = w.find('/');
    const std::string_view digits = w.substr(0, slash);
    if (digits.empty())
        return false;
    if (slash != std::string_view::npos) {
        const std::string_view second = w.substr(slash + 1);
        if (second.empty() || second.size() > 4)
            return false;
        for (char c : second)
            if (!isDigit(c))
                return false;
    }
    long long value = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return false;
        value = std::min<long long>(value * 10 + (c - '0'), hugeYear);
    }
    year = static_cast<int>(value);
    return true;
}

// One date of a date value: [CALENDAR] [[DAY] MONTH] YEAR [EPOCH].
Dated simpleDate(const std::string_view* w, size_t n, int& year) {
    size_t b = 0;
    if (b < n && w[b].starts_with("@#")) {
        if (!sameWord(w[b], "@#DGREGORIAN@") && !sameWord(w[b], "@#DJULIAN@"))
            return Dated::otherCalendar;
        ++b;
    } else if (b < n && (sameWord(w[b], "GREGORIAN") || sameWord(w[b], "JULIAN"))) {
        ++b;
    } else if (b < n &&
               (sameWord(w[b], "HEBREW") || sameWord(w[b], "FRENCH_R") || w[b].starts_with('_'))) {
        return Dated::otherCalendar;
    }
    const bool bc = n > b && isEpoch(w[n - 1]);
    if (bc)
        --n;
    if (n <= b || n - b > 3 || !readYear(w[n - 1], year))
        return Dated::unreadable;
    if (n - b >= 2 && !isMonth(w[n - 2]))
        return Dated::unreadable;
    if (n - b == 3 && (w[b].size() > 2 || !isDigit(w[b][0]) || !isDigit(w[b].back())))
        return Dated::unreadable;
    if (bc)
        year = -year;
    return Dated::year;
}

// A value that is no date the standard knows, but holds one number that can only be a year
// ("1850?", "about 1850", "(spring 1850)"), gives that year as approximate; anything else,
// and anything in another calendar, gives none.
// True when a B.C. mark (BC, B.C., BCE, B. C.) stands at `at`, after any blanks, as a word of
// its own ("1901 B. Cooper" holds none).
bool beforeEraMark(std::string_view s, size_t at) {
    auto letter = [&](char want) {
        if (at < s.size() && (s[at] | 0x20) == want) {
            ++at;
            return true;
        }
        return false;
    };
    auto skip = [&](char c) {
        while (at < s.size() && s[at] == c)
            ++at;
    };
    skip(' ');
    if (!letter('b'))
        return false;
    skip('.');
    skip(' ');
    if (!letter('c'))
        return false;
    skip('.');
    if (letter('e'))
        skip('.');
    return at == s.size() || !std::isalpha(static_cast<unsigned char>(s[at]));
}

Years yearOfPhrase(std::string_view value) {
    if (value.find("@#") != std::string_view::npos)
        return {};
    Years y;
    int runs = 0;
    for (size_t i = 0; i < value.size();) {
        if (!isDigit(value[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < value.size() && isDigit(value[j]))
            ++j;
        // A B.C. mark after it makes a year of any length before the era ("(about 78 B.C.)"
        // is never 78); so does a minus sign standing alone before it ("(-334)"), not one
        // between the parts of a date ("12-03-1850").
        const bool marked = beforeEraMark(value, j);
        const bool minus =
            i > 0 && value[i - 1] == '-' && (i == 1 || value[i - 2] == ' ' || value[i - 2] == '(');
        if (j - i == 3 || j - i == 4 || (marked && j - i <= 4)) {
            ++runs;
            readYear(value.substr(i, j - i), y.first);
            if (marked || minus)
                y.first = -y.first;
        }
        i = j;
    }
    if (runs != 1)
        return {};
    y.known = y.approx = true;
    y.last = y.first;
    return y;
}

// The years of a DATE value: a range gives its first and last year, a single date the same
// year twice; anything qualified (ABT, CAL, EST, BEF, AFT, BET, FROM, TO, INT, a phrase) is
// approximate.
Years parseDate(std::string_view value, bool phrase) {
    std::array<std::string_view, 24> w;
    size_t n = 0;
    for (size_t i = 0; i < value.size();) {
        if (isBlank(value[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < value.size() && !isBlank(value[j]))
            ++j;
        if (n == w.size())
            return yearOfPhrase(value);
        w[n++] = value.substr(i, j - i);
        i = j;
    }
    if (n == 0)
        return {};
    std::string_view q = w[0];
    if (q.size() > 1 && q.back() == '.')
        q.remove_suffix(1);
    auto find = [&](std::string_view word, size_t from) {
        while (from < n && !sameWord(w[from], word) && !w[from].starts_with('('))
            ++from;
        return from;
    };
    int a = 0, b = 0;
    Dated da = Dated::unreadable, db = Dated::unreadable;
    bool approx = true;
    if (sameWord(q, "ABT") || sameWord(q, "CAL") || sameWord(q, "EST") || sameWord(q, "BEF") ||
        sameWord(q, "AFT") || sameWord(q, "TO")) {
        da = db = simpleDate(w.data() + 1, n - 1, a);
        b = a;
    } else if (sameWord(q, "INT")) {
        da = db = simpleDate(w.data() + 1, find("(", 1) - 1, a);
        b = a;
    } else if (sameWord(q, "BET") || sameWord(q, "FROM")) {
        const bool between = sameWord(q, "BET");
        const size_t k = find(between ? "AND" : "TO", 1);
        da = simpleDate(w.data() + 1, k - 1, a);
        if (k < n)
            db = simpleDate(w.data() + k + 1, n - k - 1, b);
        else if (!between)
            db = da, b = a;
    } else if (!q.starts_with('(')) {
        da = db = simpleDate(w.data(), n, a);
        b = a;
        approx = phrase;
    }
    if (da == Dated::unreadable || db == Dated::unreadable)
        return yearOfPhrase(value);
    Years y;
    y.approx = approx || da != db;
    if (da == Dated::year)
        y.known = true, y.first = a, y.last = db == Dated::year ? b : a;
    else if (db == Dated::year)
        y.known = true, y.first = y.last = b;
    return y;
}

bool beyond(int year) {
    return year < earliestYear || year > latestYear;
}

// ---- Records

// A line of the record being read, its value joined with the CONC and CONT lines below it.
struct RecordLine {
    int level = 0;
    std::string_view tag, view;
    std::string* joined = nullptr;
    std::string_view value() const { return joined ? std::string_view(*joined) : view; }
};

// A level-1 structure of a record with what stands below it that the import reads.
struct Fact {
    std::string_view tag, value, date, place, type, surname, given;
    bool datePhrase = false;
};

// A value that begins with an @ has it doubled in the file.
std::string_view text(std::string_view v) {
    return v.starts_with("@@") ? v.substr(1) : v;
}

// Blanks, line breaks and the slashes around a surname go; runs of blanks become one.
std::string collapsed(std::string_view s) {
    std::string out;
    bool blank = false;
    for (char c : s) {
        if (c == '/')
            continue;
        if (isBlank(c) || c == '\r' || c == '\n') {
            blank = true;
            continue;
        }
        if (blank && !out.empty())
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string joinedPlaces(std::string_view a, std::string_view b) {
    a = trimBlanks(a), b = trimBlanks(b);
    if (a.empty() || b.empty())
        return std::string(a.empty() ? b : a);
    std::string s(a);
    s += " \xE2\x80\x93 "; // an en dash
    s += b;
    return s;
}

// "Malmöhus Län, Sweden" is in Sweden: the last part of the place that names anything.
std::string_view nationOf(std::string_view place) {
    for (;;) {
        const size_t comma = place.rfind(',');
        const std::string_view part =
            trimBlanks(comma == std::string_view::npos ? place : place.substr(comma + 1));
        if (!part.empty() || comma == std::string_view::npos)
            return part;
        place = place.substr(0, comma);
    }
}

constexpr std::array<std::string_view, 3> birthTags = {"BIRT", "CHR", "BAPM"};
constexpr std::array<std::string_view, 3> deathTags = {"DEAT", "BURI", "CREM"};

// Structures of an individual that are no event of a life, even where they carry a date: its
// names, links, notes, sources and record keeping, and the church ordinances that were often
// performed long after the person died.
bool notAnEvent(std::string_view tag) {
    static constexpr std::string_view tags[] = {
        "NAME", "SEX",  "FAMC", "FAMS", "CHAN", "CREA", "NO",   "SOUR", "NOTE", "SNOTE", "OBJE",
        "ASSO", "ALIA", "ANCI", "DESI", "SUBM", "RFN",  "AFN",  "REFN", "RIN",  "UID",   "_UID",
        "EXID", "RESN", "BAPL", "CONL", "ENDL", "INIL", "SLGC", "CONC", "CONT"};
    for (std::string_view t : tags)
        if (tag == t)
            return true;
    return false;
}

// The group of an individual's event, in words.
std::string groupOf(const Fact& f) {
    // Each tag followed by its words.
    static constexpr std::string_view words[] = {"RESI",  "Residence",
                                                 "EMIG",  "Emigration",
                                                 "IMMI",  "Immigration",
                                                 "GRAD",  "Graduation",
                                                 "MILI",  "Military service",
                                                 "_MILT", "Military service",
                                                 "EDUC",  "Education",
                                                 "CENS",  "Census",
                                                 "RETI",  "Retirement",
                                                 "NATU",  "Naturalization",
                                                 "ADOP",  "Adoption",
                                                 "CHRA",  "Adult christening",
                                                 "BARM",  "Bar mitzvah",
                                                 "BASM",  "Bat mitzvah",
                                                 "BLES",  "Blessing",
                                                 "CONF",  "Confirmation",
                                                 "FCOM",  "First communion",
                                                 "ORDN",  "Ordination",
                                                 "PROB",  "Probate",
                                                 "WILL",  "Will",
                                                 "TITL",  "Title",
                                                 "RELI",  "Religion",
                                                 "PROP",  "Property",
                                                 "NATI",  "Nationality",
                                                 "CAST",  "Caste",
                                                 "DSCR",  "Description",
                                                 "NCHI",  "Children",
                                                 "NMR",   "Marriages"};
    if (f.tag == "EVEN" || f.tag == "FACT") {
        const std::string type = collapsed(text(f.type));
        return !type.empty() ? type : f.tag == "EVEN" ? "Event" : "Fact";
    }
    for (size_t i = 0; i + 1 < std::size(words); i += 2)
        if (f.tag == words[i])
            return std::string(words[i + 1]);
    return std::string(f.tag);
}

// Reads the records in file order straight into the builder. A family is named by its spouses'
// names; when one comes later in the file than the family, the file is read a second time with
// every name known, so that the events keep their order.
class GedcomReader {
public:
    void read(std::string_view text);
    // True when a family named a spouse the reading had not come to yet.
    bool spouseAhead() const { return spouseAhead_; }
    void readAgain(std::string_view text);
    ImportResult finish(std::vector<std::string> notes);

private:
    enum class Kind { individual, family, other };
    void startRecord(const GedLine& l);
    void finishRecord();
    void readFacts();
    void readIndividual();
    void readFamily();
    // An event of the fact's date and place, when it has a year within the limits.
    void addEvent(const Fact& f, std::string group, std::string name, std::string description);

    // The record being read.
    Kind kind_ = Kind::other;
    std::string_view xref_;
    std::vector<RecordLine> lines_;
    // The joined values, kept from record to record so that their room is reused.
    std::deque<std::string> joined_;
    size_t joinedUsed_ = 0;
    std::vector<Fact> facts_;

    ImportBuilder builder_;
    // Every individual's name by its pointer, empty where it has none.
    std::unordered_map<std::string_view, std::string> names_;
    bool namesKnown_ = false, spouseAhead_ = false;
    int withoutYear_ = 0, beyond_ = 0;
};

void GedcomReader::read(std::string_view text) {
    names_.reserve(text.size() / 512);
    LineSplitter lines(text);
    std::string_view raw;
    GedLine l;
    int previous = -1;
    bool header = false;
    // For each level, the record line that a CONC or CONT one level below continues; -1
    // where the record is not kept.
    std::vector<int> holder;
    while (lines.next(raw)) {
        if (blankLine(raw))
            continue;
        const int n = lines.number();
        const bool parsed = splitLine(raw, l);
        if (!header) {
            if (!parsed || l.level != 0 || l.tag != "HEAD" || !l.xref.empty())
                failAt(n, quoted(raw) + " is not the header (0 HEAD) a GEDCOM file begins with");
            header = true;
        } else if (!parsed) {
            failAt(n, quoted(raw) +
                          " is not a GEDCOM line (a level number, an optional @XREF@, a tag and "
                          "a value)");
        } else if (l.level > previous + 1) {
            failAt(n, "the level goes from " + std::to_string(previous) + " to " +
                          displayText(l.levelText, TextEncoding::utf8, 40) +
                          "; a line may be at most one level below the line before it");
        }
        previous = l.level;
        if (l.level == 0) {
            finishRecord();
            // What follows the trailer (an old end-of-file mark, say) is not read.
            if (l.tag == "TRLR" || builder_.pastLimits())
                return;
            startRecord(l);
            holder.assign(1, kind_ == Kind::other ? -1 : 0);
            continue;
        }
        holder.resize(static_cast<size_t>(l.level) + 1, -1);
        int& here = holder[static_cast<size_t>(l.level)];
        if (l.tag == "CONC" || l.tag == "CONT") {
            here = holder[static_cast<size_t>(l.level) - 1];
            if (here < 0)
                continue;
            RecordLine& to = lines_[static_cast<size_t>(here)];
            if (!to.joined) {
                if (joinedUsed_ == joined_.size())
                    joined_.emplace_back();
                to.joined = &joined_[joinedUsed_++];
                to.joined->assign(to.view);
            }
            if (l.tag == "CONT")
                *to.joined += '\n';
            *to.joined += l.value;
            if (kind_ != Kind::other) // a level-1 one ends the structure before it
                lines_.push_back({l.level, l.tag, {}});
        } else if (kind_ != Kind::other) {
            here = static_cast<int>(lines_.size());
            lines_.push_back({l.level, l.tag, l.value});
        }
    }
    if (!header)
        failAt(1, "the file is empty, not a GEDCOM file");
    failAt(lines.number(),
           "the file ends without its closing line 0 TRLR; it may have been cut short");
}

void GedcomReader::startRecord(const GedLine& l) {
    kind_ = l.tag == "INDI" ? Kind::individual : l.tag == "FAM" ? Kind::family : Kind::other;
    xref_ = l.xref;
    lines_.clear();
    joinedUsed_ = 0;
    lines_.push_back({0, l.tag, l.value});
}

void GedcomReader::finishRecord() {
    if (kind_ == Kind::individual)
        readIndividual();
    else if (kind_ == Kind::family)
        readFamily();
    kind_ = Kind::other;
}

void GedcomReader::readFacts() {
    facts_.clear();
    // The structure the lines below belong to; none below a CONC or CONT of level 1.
    Fact* fact = nullptr;
    std::string_view under;
    for (size_t i = 1; i < lines_.size(); ++i) {
        const RecordLine& l = lines_[i];
        if (l.level == 1) {
            fact = nullptr;
            if (l.tag != "CONC" && l.tag != "CONT") {
                fact = &facts_.emplace_back();
                fact->tag = l.tag;
                fact->value = text(l.value());
            }
            under = {};
        } else if (l.level == 2 && fact) {
            under = l.tag;
            for (auto [tag, field] : {std::pair{"DATE", &fact->date},
                                      {"PLAC", &fact->place},
                                      {"TYPE", &fact->type},
                                      {"SURN", &fact->surname},
                                      {"GIVN", &fact->given}})
                if (l.tag == tag && field->empty())
                    *field = text(l.value());
        } else if (l.level == 3 && fact && under == "DATE" && l.tag == "PHRASE") {
            fact->datePhrase = true;
        }
    }
}

void GedcomReader::readIndividual() {
    readFacts();
    std::string name, surname;
    std::string_view occupation;
    for (const Fact& f : facts_) {
        if (f.tag == "NAME" && name.empty() && surname.empty()) {
            const size_t slash = f.value.find('/');
            if (slash != std::string_view::npos)
                surname =
                    collapsed(f.value.substr(slash + 1, f.value.find('/', slash + 1) - slash - 1));
            if (surname.empty())
                surname = collapsed(f.surname);
            name = collapsed(f.value);
            if (name.empty())
                name = collapsed(std::string(f.given) + " " + std::string(f.surname));
        } else if (f.tag == "OCCU" && occupation.empty()) {
            occupation = trimBlanks(f.value);
        }
    }
    if (!xref_.empty())
        names_.try_emplace(xref_, name);
    // A second reading follows: only the names matter until then.
    if (spouseAhead_)
        return;
    if (name.empty())
        name = "(no name)";

    // Birth, else christening, else baptism; death, else burial, else cremation: the first
    // with a year. One standing in for the other is approximate.
    struct Life {
        Years years;
        std::string_view place;
    };
    auto life = [this](const auto& tags) {
        Life found;
        for (size_t k = 0; k < tags.size(); ++k)
            for (const Fact& f : facts_) {
                if (f.tag != tags[k])
                    continue;
                if (!found.years.known && !f.date.empty()) {
                    found.years = parseDate(f.date, f.datePhrase);
                    found.years.approx = found.years.approx || k > 0;
                }
                if (found.place.empty())
                    found.place = trimBlanks(f.place);
            }
        return found;
    };
    const Life birth = life(birthTags), death = life(deathTags);
    if (!birth.years.known && !death.years.known) {
        ++withoutYear_;
    } else {
        ImportedEntry p;
        p.side = Side::people;
        // Without a birth the death year begins the line and without a death the line ends
        // where it began: neither is a year the file gives, so both are approximate.
        const Years& from = birth.years.known ? birth.years : death.years;
        p.first = from.first;
        p.firstType = from.approx || !birth.years.known ? dateApprox : dateKnown;
        p.last = death.years.known ? death.years.last : p.first;
        p.lastType = death.years.known && !death.years.approx ? dateKnown : dateApprox;
        if (beyond(p.first) || beyond(p.last)) {
            ++beyond_;
        } else {
            p.name = name;
            p.priority = 5;
            p.faction = std::move(surname);
            p.occupation = occupation;
            p.description = joinedPlaces(birth.place, death.place);
            builder_.add(std::move(p));
        }
    }

    for (const Fact& f : facts_) {
        if (f.date.empty() || f.tag == "OCCU" || notAnEvent(f.tag) ||
            std::find(birthTags.begin(), birthTags.end(), f.tag) != birthTags.end() ||
            std::find(deathTags.begin(), deathTags.end(), f.tag) != deathTags.end())
            continue;
        // What the event says of itself ("Lund University"), unless merely that it happened.
        const std::string_view said = trimBlanks(f.value);
        std::string group = groupOf(f);
        std::string eventName = group + ": " + name;
        addEvent(f, std::move(group), std::move(eventName),
                 joinedPlaces(said == "Y" ? std::string_view() : said, f.place));
    }
}

void GedcomReader::addEvent(const Fact& f, std::string group, std::string name,
                            std::string description) {
    const Years y = parseDate(f.date, f.datePhrase);
    if (!y.known)
        return;
    if (beyond(y.first) || beyond(y.last)) {
        ++beyond_;
        return;
    }
    ImportedEntry e;
    e.side = Side::events;
    e.group = std::move(group);
    e.name = std::move(name);
    e.first = y.first;
    e.last = y.last;
    e.firstType = e.lastType = y.approx ? dateApprox : dateKnown;
    e.priority = 5;
    e.nation1 = nationOf(f.place);
    e.description = std::move(description);
    builder_.add(std::move(e));
}

void GedcomReader::readFamily() {
    if (spouseAhead_)
        return;
    readFacts();
    std::string_view husband, wife;
    for (const Fact& f : facts_) {
        if (f.tag == "HUSB" && husband.empty())
            husband = trimBlanks(f.value);
        else if (f.tag == "WIFE" && wife.empty())
            wife = trimBlanks(f.value);
    }
    // A spouse the file does not name (no pointer, @VOID@, an individual missing or without a
    // name) is left out of the event's name.
    std::string spouses;
    for (std::string_view pointer : {husband, wife}) {
        if (pointer.empty() || pointer == "@VOID@")
            continue;
        const auto it = names_.find(pointer);
        if (it == names_.end()) {
            spouseAhead_ = !namesKnown_;
            if (spouseAhead_)
                return;
        } else if (!it->second.empty()) {
            spouses += spouses.empty() ? "" : " and ";
            spouses += it->second;
        }
    }
    if (spouses.empty())
        spouses = "unknown spouses";
    for (const Fact& f : facts_) {
        const bool marriage = f.tag == "MARR";
        if ((!marriage && f.tag != "DIV") || f.date.empty())
            continue;
        const std::string group = marriage ? "Marriage" : "Divorce";
        addEvent(f, group, group + " of " + spouses, std::string(trimBlanks(f.place)));
    }
}

void GedcomReader::readAgain(std::string_view text) {
    builder_ = ImportBuilder();
    withoutYear_ = beyond_ = 0;
    namesKnown_ = true;
    spouseAhead_ = false;
    read(text);
}

ImportResult GedcomReader::finish(std::vector<std::string> notes) {
    names_ = {};
    ImportResult result = builder_.finish();
    auto count = [&result](int n, const char* one, const char* many) {
        if (n > 0)
            result.notes.push_back(groupedNumber(n) + (n == 1 ? one : many));
    };
    count(withoutYear_, " individual without a year was left out",
          " individuals without a year were left out");
    count(beyond_, " record with a year beyond -20000 to 10000 was left out",
          " records with a year beyond -20000 to 10000 were left out");
    for (std::string& note : notes)
        result.notes.push_back(std::move(note));
    return result;
}

} // namespace

ImportResult importGedcomText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
        (bytes.size() > 1 && bytes[0] == '0' && bytes[1] == '\0'))
        failAt(1, "the file is in UTF-16, which this import does not read; save it as UTF-8 "
                  "and import it again");
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    // ANSEL, the older files' own set, shares ASCII with Windows-1252; its accented letters
    // are read as the bytes Windows-1252 gives them, and the summary says so.
    std::vector<std::string> notes;
    std::string decoded;
    std::string_view text = bytes;
    if (sameWord(declaredCharset(bytes), "ANSEL")) {
        notes.push_back("the file declares ANSEL and was read as Windows-1252");
    } else if (!isValidUtf8(bytes)) {
        notes.push_back("the file is not UTF-8 and was read as Windows-1252");
    }
    if (!notes.empty()) {
        decoded = windows1252ToUtf8(bytes);
        text = decoded;
    }
    GedcomReader reader;
    reader.read(text);
    if (reader.spouseAhead())
        reader.readAgain(text);
    return reader.finish(std::move(notes));
}

} // namespace tess
