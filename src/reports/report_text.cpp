#include "reports/report_text.h"

#include "core/field_rules.h"
#include "core/numbers.h"
#include "core/text_encoding.h"

#include <algorithm>
#include <type_traits>

namespace tess {

namespace {

void appendPadRight(std::string& out, std::string_view text, size_t width, TextEncoding enc) {
    const std::string_view kept = textSlice(text, enc, 0, width);
    out += kept;
    out.append(width - std::min(width, textWidth(kept, enc)), ' ');
}

void appendPadLeft(std::string& out, std::string_view text, size_t width, TextEncoding enc) {
    const size_t w = textWidth(text, enc);
    if (w >= width) {
        out += text.substr(byteOffsetOfChar(text, enc, w - width));
        return;
    }
    out.append(width - w, ' ');
    out += text;
}

} // namespace

std::string padRight(std::string_view text, size_t width, TextEncoding encoding) {
    std::string out;
    appendPadRight(out, text, width, encoding);
    return out;
}

std::string padLeft(std::string_view text, size_t width, TextEncoding encoding) {
    std::string out;
    appendPadLeft(out, text, width, encoding);
    return out;
}

int reportStartRule(std::string_view startText, int earliestDate, int latestDate) {
    const double year = roundHalfEven(readLeadingNumber(startText));
    return static_cast<int>(clampToRange(year, earliestDate, latestDate));
}

int reportEndRule(std::string_view endText, std::string_view startText, int latestDate) {
    const double year = roundHalfEven(readLeadingNumber(endText));
    return static_cast<int>(clampToRange(year, readLeadingNumber(startText), latestDate));
}

namespace {

// A category's name, or nothing for a number outside its table.
std::string_view categoryName(const CategoryTable& t, int k) {
    return t.valid(k) ? std::string_view(t.names[static_cast<size_t>(k)]) : std::string_view();
}

template <typename Record>
void appendListing(std::string& out, const std::vector<Record>& records, int count,
                   const Dataset& ds, int start, int end, const ListingColumns& c) {
    const TextEncoding enc = ds.encoding;
    auto column = [&](std::string_view text) {
        appendPadRight(out, text, 20, enc);
        out += ' ';
    };
    for (int i = 0; i < count; ++i) {
        const Record& r = records[static_cast<size_t>(i)];
        if (!(start <= r.date1 && r.date2 <= end))
            continue;
        // An empty link, or one of a blank, counts as no link.
        if (c.urlOnly && !(std::string_view(r.url) > std::string_view(" ")))
            continue;
        if (c.dates) {
            appendPadLeft(out, signedNumber(r.date1), 5, enc);
            appendPadLeft(out, signedNumber(r.date2), 5, enc);
        }
        out += ' ';
        column(r.name);
        if (c.groupings) {
            if constexpr (std::is_same_v<Record, PersonRecord>) {
                column(categoryName(ds.factions, r.faction));
                column(categoryName(ds.occupations, r.occupation));
            } else {
                column(categoryName(ds.groups, r.group));
                column(categoryName(ds.nations, r.nation1));
                column(categoryName(ds.nations, r.nation2));
            }
        }
        if (c.descriptions)
            out += r.desc;
        if (c.image) {
            out += ' ';
            out += r.imgName;
        }
        if (c.url || c.urlOnly) {
            out += ' ';
            out += r.url;
        }
        if (i != count - 1)
            out += lineBreak;
    }
}

} // namespace

std::string buildListing(const Dataset& ds, Side side, int start, int end,
                         const ListingColumns& columns) {
    std::string out;
    if (side == Side::people) {
        const int n = std::min(ds.numPeople, static_cast<int>(ds.people.size()));
        out.reserve(static_cast<size_t>(n) * 64);
        appendListing(out, ds.people, n, ds, start, end, columns);
    } else {
        const int n = std::min(ds.numEvents, static_cast<int>(ds.events.size()));
        out.reserve(static_cast<size_t>(n) * 64);
        appendListing(out, ds.events, n, ds, start, end, columns);
    }
    return out;
}

std::string ageReport(const Dataset& ds, int eventIndex) {
    const EventRecord& e = ds.events.at(static_cast<size_t>(eventIndex));
    const int y = e.date1;
    std::string out = plainNumber(y) + " " + e.name + std::string(lineBreak) + "In this year...." +
                      std::string(lineBreak) + std::string(lineBreak);
    const int n = std::min(ds.numPeople, static_cast<int>(ds.people.size()));
    for (int i = 0; i < n; ++i) {
        const PersonRecord& p = ds.people[static_cast<size_t>(i)];
        if (!(p.date1 <= y && y <= p.date2))
            continue;
        const int age = y - p.date1; // 16-bit years: the difference fits an int
        out += "   ";
        out += p.name;
        out += " was ";
        if (p.date1Type == dateKnown)
            out += age == 0 ? std::string("born") : plainNumber(age) + " years old";
        else if (p.date1Type == dateApprox)
            out += "alive, age unknown";
        else
            out += " in year " + plainNumber(age) + " of reign";
        out += lineBreak;
    }
    return out;
}

std::string inMyLifeReport(const Dataset& ds, int personIndex) {
    const PersonRecord& p = ds.people.at(static_cast<size_t>(personIndex));
    const int b = p.date1;
    const int d = p.date2;
    std::string out = plainNumber(b) + " to " + plainNumber(d) + " " + p.name +
                      std::string(lineBreak) + "In my life...." + std::string(lineBreak);
    if (p.date1Type == dateApprox)
        out += "My birth date is unknown; events during my life:";
    else if (p.date1Type == dateReign)
        out += "I started my reign in " + plainNumber(b);
    out += lineBreak;
    const int n = std::min(ds.numEvents, static_cast<int>(ds.events.size()));
    for (int i = 0; i < n; ++i) {
        const EventRecord& e = ds.events[static_cast<size_t>(i)];
        if (!(b <= e.date1 && e.date1 <= d))
            continue;
        const int age = e.date1 - b;
        out += lineBreak;
        if (p.date1Type == dateKnown)
            out += age == 0 ? std::string("When I was born, ")
                            : "When I was " + plainNumber(age) + " years old, ";
        else if (p.date1Type == dateReign)
            out += "In year " + plainNumber(age) + " of my reign, ";
        out += e.name;
    }
    out += lineBreak;
    return out;
}

std::vector<ChartLine> reportLines(std::string_view text, TextEncoding encoding) {
    std::vector<ChartLine> lines;
    lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(lineBreak, start);
        ChartLine& line = lines.emplace_back();
        line.head = text.substr(start, end == std::string_view::npos ? end : end - start);
        line.headWidth = static_cast<int>(textWidth(line.head, encoding));
        if (end == std::string_view::npos)
            break;
        start = end + lineBreak.size();
    }
    return lines;
}

namespace {
template <typename Record>
void addChoices(ChoiceList& list, const std::vector<Record>& records, int count) {
    for (int i = 0; i < count; ++i) {
        const Record& r = records[static_cast<size_t>(i)];
        if (r.selected == 0)
            continue;
        list.texts.push_back(plainNumber(r.date1) + " " + r.name);
        list.indexes.push_back(i);
    }
}
} // namespace

ChoiceList reportChoices(const Dataset& ds, Side side) {
    ChoiceList list;
    if (side == Side::people)
        addChoices(list, ds.people, std::min(ds.numPeople, static_cast<int>(ds.people.size())));
    else
        addChoices(list, ds.events, std::min(ds.numEvents, static_cast<int>(ds.events.size())));
    return list;
}

} // namespace tess
