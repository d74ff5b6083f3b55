#include "core/import_builder.h"

#include "core/file_error.h"
#include "core/find.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tess {

namespace {

// Line breaks become blanks (CR LF one blank), so an imported text cannot split an entry.
void oneLine(std::string& text) {
    // Two scans for one character each are far quicker than one for either of two.
    if (text.find('\n') == std::string::npos && text.find('\r') == std::string::npos)
        return;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    text = std::move(out);
}

// A quoted field of the file holds no double quote; a saved file has an apostrophe there.
void quotable(std::string& text) {
    oneLine(text);
    std::replace(text.begin(), text.end(), '"', '\'');
}

// The n-th colour of an imported table (0x00BBGGRR): a dozen well-separated colours first,
// then hues a golden angle apart at three depths, none near the white background.
int32_t importColor(int n) {
    static constexpr std::array<int32_t, 12> first = {
        0x0000C0, 0xC00000, 0x008000, 0x0080FF, 0x800080, 0x808000,
        0x004080, 0xFF00FF, 0x408000, 0x000080, 0x808080, 0x80FF00,
    };
    if (n < static_cast<int>(first.size()))
        return first[static_cast<size_t>(n)];
    const double hue = std::fmod(n * 137.50776405, 360.0) / 60.0;
    const double value = 0.45 + 0.2 * (n % 3);
    const double saturation = 0.95 - 0.15 * ((n / 3) % 3);
    const double c = value * saturation;
    const double x = c * (1 - std::fabs(std::fmod(hue, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue) % 6) {
    case 0:
        r = c, g = x;
        break;
    case 1:
        r = x, g = c;
        break;
    case 2:
        g = c, b = x;
        break;
    case 3:
        g = x, b = c;
        break;
    case 4:
        r = x, b = c;
        break;
    default:
        r = c, b = x;
        break;
    }
    const double m = value - c;
    auto byte = [m](double v) { return static_cast<int32_t>(std::lround((v + m) * 255)); };
    return byte(r) | byte(g) << 8 | byte(b) << 16;
}

// Stable, and each record moved once: the dates are 16-bit, so the records are counted by date
// and dealt out in date order.
template <class Record> void sortByFirstDate(std::vector<Record>& records) {
    std::vector<int> start(65537, 0);
    for (const Record& r : records)
        ++start[static_cast<size_t>(r.date1 + 32768) + 1];
    for (size_t d = 1; d < start.size(); ++d)
        start[d] += start[d - 1];
    std::vector<Record> sorted(records.size());
    for (Record& r : records)
        sorted[static_cast<size_t>(start[static_cast<size_t>(r.date1 + 32768)]++)] = std::move(r);
    records = std::move(sorted);
}

template <class F> void forEachText(Dataset& ds, F f) {
    for (PersonRecord& p : ds.people)
        for (std::string* t : {&p.name, &p.desc, &p.imgName, &p.url})
            f(*t);
    for (EventRecord& e : ds.events)
        for (std::string* t : {&e.name, &e.desc, &e.imgName, &e.url})
            f(*t);
    for (CategoryTable* table : {&ds.factions, &ds.occupations, &ds.groups, &ds.nations})
        for (std::string& name : table->names)
            f(name);
}

} // namespace

int16_t ImportBuilder::category(Table& t, std::string name) {
    oneLine(name);
    const std::string key(trimBlanks(name));
    if (key.empty())
        return 0;
    // As the entry windows match a typed name: "HANSDOTTER" is the "Hansdotter" met first.
    auto [it, added] = t.byName.try_emplace(foldCase(key, TextEncoding::utf8), 0);
    if (!added)
        return it->second;
    // Past the limit only the count goes on, for finish() to refuse.
    if (++t.wanted > maxEntries)
        return 0;
    CategoryTable& table = t.table;
    int32_t color = key == noCategoryName ? 0xA0A0A0 : importColor(table.count);
    // Every category a colour of its own: a generated one a neighbour already has moves on.
    // The palette tells only some 7,000 colours apart, so past a few tries (a table of tens of
    // thousands of names spends it) the colour moves on to the next value that is free.
    for (int step = table.count + 1; t.colors.count(color) && step <= table.count + 16; ++step)
        color = importColor(step);
    while (t.colors.count(color))
        color = (color + 1) & 0xFFFFFF;
    t.colors.insert(color);
    table.names.push_back(key);
    table.colors.push_back(color);
    table.include.push_back(boolTrue);
    table.count = static_cast<int16_t>(table.names.size() - 1);
    it->second = table.count;
    return table.count;
}

void ImportBuilder::add(ImportedEntry e) {
    for (std::string* t : {&e.name, &e.description})
        oneLine(*t);
    quotable(e.picture);
    quotable(e.link);
    const int first = std::clamp(e.first, -32768, 32767);
    int last = std::clamp(e.last, -32768, 32767);
    if (last < first) {
        last = first;
        ++corrected_;
    }
    const int priority = std::clamp(e.priority, 1, 9);
    if (priority != e.priority)
        ++corrected_;
    auto fill = [&](auto& r) {
        r.name = std::move(e.name);
        r.date1 = static_cast<int16_t>(first);
        r.date2 = static_cast<int16_t>(last);
        r.date1Type = e.firstType;
        r.date2Type = e.lastType;
        r.desc = std::move(e.description);
        r.imgName = std::move(e.picture);
        r.url = std::move(e.link);
        r.priority = static_cast<int16_t>(priority);
        r.selected = 1;
    };
    auto orNone = [](std::string& s) -> std::string {
        return trimBlanks(s).empty() ? std::string(noCategoryName) : std::move(s);
    };
    if (e.side == Side::people) {
        if (tooMany(people() + 1)) {
            people_.resize(maxEntries + 1); // enough for finish() to refuse; nothing more kept
            return;
        }
        PersonRecord& p = people_.emplace_back();
        fill(p);
        p.faction = category(factions_, orNone(e.faction));
        p.occupation = category(occupations_, orNone(e.occupation));
    } else {
        if (tooMany(events() + 1)) {
            events_.resize(maxEntries + 1);
            return;
        }
        EventRecord& ev = events_.emplace_back();
        fill(ev);
        ev.group = category(groups_, orNone(e.group));
        ev.nation1 = category(nations_, orNone(e.nation1));
        ev.nation2 = category(nations_, std::move(e.nation2));
    }
}

ImportResult ImportBuilder::finish() {
    if (tooMany(people()) || tooMany(events()))
        throw FileError("The file holds more than 32767 " +
                        std::string(tooMany(people()) ? "people" : "events") +
                        ", the most a dataset can; nothing was imported.");
    for (auto [t, noun] : {std::pair{&factions_, "factions"},
                           {&occupations_, "occupations"},
                           {&groups_, "groups"},
                           {&nations_, "nations"}})
        if (tooMany(t->wanted))
            throw FileError(std::string("The file names more than 32767 ") + noun +
                            ", the most a list can hold; nothing was imported.");

    // A list the file never named is not left empty: an entry typed later starts in its list's
    // first category, and the charts show no entry without one.
    for (Table* t : {&factions_, &occupations_, &groups_, &nations_})
        if (t->table.count == 0)
            category(*t, noCategoryName);

    Dataset ds;
    ds.people = std::move(people_);
    ds.events = std::move(events_);
    sortByFirstDate(ds.people);
    sortByFirstDate(ds.events);
    ds.numPeople = static_cast<int>(ds.people.size());
    ds.numEvents = static_cast<int>(ds.events.size());
    ds.factions = std::move(factions_.table);
    ds.occupations = std::move(occupations_.table);
    ds.groups = std::move(groups_.table);
    ds.nations = std::move(nations_.table);

    bool fits = true;
    // Plain ASCII, most texts of most files, is the same in both and is neither checked nor
    // converted.
    auto ascii = [](const std::string& t) {
        return std::all_of(t.begin(), t.end(), [](char c) { return (c & 0x80) == 0; });
    };
    forEachText(ds, [&](std::string& t) {
        if (fits && !ascii(t) && !utf8ToWindows1252Exactly(t))
            fits = false;
    });
    ds.encoding = fits ? TextEncoding::windows1252 : TextEncoding::utf8;
    if (fits)
        forEachText(ds, [&](std::string& t) {
            if (!ascii(t))
                t = utf8ToWindows1252(t);
        });

    // Read back from its own file text, the dataset is in every respect one that was opened.
    ImportResult result;
    result.people = ds.numPeople;
    result.events = ds.numEvents;
    result.corrected = corrected_;
    result.dataset.encoding = ds.encoding;
    // The records go before the text is read back, so that the two copies of every entry are
    // never held at once (a maximal import would otherwise need both).
    const std::string text = formatDataset(ds);
    ds = Dataset();
    readDatasetText(result.dataset, text);
    return result;
}

std::string groupedNumber(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return n < 0 ? "-" + digits : digits;
}

std::string importSummary(const ImportResult& r, std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string s = "Imported " + groupedNumber(r.people) +
                    (r.people == 1 ? " person" : " people") + " and " + groupedNumber(r.events) +
                    (r.events == 1 ? " event" : " events") + " from " +
                    displayText(name, TextEncoding::utf8, messageTextLimit);
    if (r.corrected > 0)
        s += "; " + groupedNumber(r.corrected) +
             (r.corrected == 1 ? " value was corrected" : " values were corrected");
    for (const std::string& note : r.notes)
        s += "; " + note;
    return s + ".";
}

} // namespace tess
