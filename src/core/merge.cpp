#include "core/merge.h"

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/line_reader.h"
#include "core/numbers.h"
#include "core/qd3_file.h"
#include "core/text_encoding.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tess {

namespace {

constexpr std::array<const char*, 4> tableNames = {"factions", "occupations", "groups", "nations"};

std::array<CategoryTable*, 4> tablesInFileOrder(Dataset& ds) {
    return {&ds.factions, &ds.occupations, &ds.groups, &ds.nations};
}

// What the file brings, read whole before anything of the dataset changes.
struct Incoming {
    std::vector<PersonRecord> people;
    std::vector<EventRecord> events;
    std::array<std::vector<std::string>, 4> names;
    std::array<std::vector<int32_t>, 4> colors;
    DateRange range;
};

Incoming readIncoming(std::string_view text, TextEncoding encoding,
                      const MergeAnnouncement& announce) {
    LineReader in(text, encoding);
    Incoming got;
    const int p2 = readCountLine(in, "people");
    const int e2 = readCountLine(in, "events");
    in.skipLine();
    if (announce)
        announce(p2, e2);
    got.people.reserve(std::min(static_cast<size_t>(p2), text.size() / 16));
    for (int i = 0; i < p2; ++i) {
        PersonRecord& p = got.people.emplace_back();
        readPersonBlock(in, p, &got.range);
        p.selected = boolTrue;
    }
    in.skipLine();
    got.events.reserve(std::min(static_cast<size_t>(e2), text.size() / 16));
    for (int i = 0; i < e2; ++i) {
        EventRecord& e = got.events.emplace_back();
        readEventBlock(in, e, &got.range);
        e.selected = boolTrue;
    }
    for (size_t t = 0; t < 4; ++t) {
        in.skipLine();
        const int c2 = readCountLine(in, tableNames[t]);
        for (int k = 1; k <= c2; ++k) {
            in.skipLine();
            got.names[t].emplace_back(in.readLine());
            // Taken as an RGB value as it stands: the old palette numbers are not converted.
            got.colors[t].push_back(static_cast<int32_t>(in.readNumber(INT32_MIN, INT32_MAX)));
        }
    }
    return got;
}

void refuseBeyondLimit(const char* what, size_t have, size_t adding) {
    if (have + adding <= static_cast<size_t>(maxEntries))
        return;
    throw FileError("Merging would make " + plainNumber(static_cast<long long>(have + adding)) +
                    " " + what + ", more than the 32767 a dataset can hold. Nothing was merged.");
}

// A category number of the file, moved past the table it now follows. 0 and below mean no
// category and stay so; a number past the file's own table stays past the merged one.
int16_t offsetCategory(int16_t number, int base) {
    if (number < 1)
        return number;
    return static_cast<int16_t>(std::min(number + base, static_cast<int>(maxEntries)));
}

template <typename Convert> void convertTexts(Incoming& got, Convert convert) {
    auto record = [&](auto& r) {
        for (std::string* s : {&r.name, &r.desc, &r.legacyText1, &r.legacyText2, &r.legacyText3,
                               &r.imgName, &r.url, &r.spareText, &r.extra1, &r.extra2})
            *s = convert(*s);
    };
    std::for_each(got.people.begin(), got.people.end(), record);
    std::for_each(got.events.begin(), got.events.end(), record);
    for (auto& names : got.names)
        for (std::string& n : names)
            n = convert(n);
}

// Brings the incoming texts and the dataset's to one encoding.
void unifyEncodings(Dataset& ds, Incoming& got, TextEncoding fileEncoding) {
    if (fileEncoding == ds.encoding)
        return;
    if (fileEncoding == TextEncoding::windows1252) {
        convertTexts(got, [](const std::string& s) { return windows1252ToUtf8(s); });
        return;
    }
    // A UTF-8 file into a Windows-1252 dataset: converted when all of it fits.
    Incoming converted = got;
    bool fits = true;
    convertTexts(converted, [&fits](const std::string& s) {
        if (!fits)
            return s;
        std::optional<std::string> b = utf8ToWindows1252Exactly(s);
        fits = b.has_value();
        return b ? *b : s;
    });
    if (fits) {
        got = std::move(converted);
        return;
    }
    // Windows-1252 converts to UTF-8 without loss, so the whole dataset goes over.
    Incoming mine;
    mine.people = std::move(ds.people);
    mine.events = std::move(ds.events);
    auto tables = tablesInFileOrder(ds);
    for (size_t t = 0; t < 4; ++t)
        mine.names[t] = std::move(tables[t]->names);
    convertTexts(mine, [](const std::string& s) { return windows1252ToUtf8(s); });
    ds.people = std::move(mine.people);
    ds.events = std::move(mine.events);
    for (size_t t = 0; t < 4; ++t)
        tables[t]->names = std::move(mine.names[t]);
    ds.encoding = TextEncoding::utf8;
}

} // namespace

std::string mergeAnnouncementText(const std::string& path, int people, int events) {
    return path + " contains " + plainNumber(people) + " people and " + plainNumber(events) +
           " events ";
}

void mergeDatasetText(Dataset& ds, std::string_view fileText, const MergeAnnouncement& announce) {
    TextEncoding fileEncoding = TextEncoding::windows1252;
    const std::string_view body = fileBody(fileText, fileEncoding);
    Incoming got = readIncoming(body, fileEncoding, announce);

    const auto tables = tablesInFileOrder(ds);
    refuseBeyondLimit("people", static_cast<size_t>(ds.numPeople), got.people.size());
    refuseBeyondLimit("events", static_cast<size_t>(ds.numEvents), got.events.size());
    for (size_t t = 0; t < 4; ++t)
        refuseBeyondLimit(tableNames[t], static_cast<size_t>(tables[t]->count),
                          got.names[t].size());

    unifyEncodings(ds, got, fileEncoding);
    const int f = ds.factions.count;
    const int o = ds.occupations.count;
    const int g = ds.groups.count;
    const int n = ds.nations.count;
    for (PersonRecord& p : got.people) {
        p.faction = offsetCategory(p.faction, f);
        p.occupation = offsetCategory(p.occupation, o);
    }
    for (EventRecord& e : got.events) {
        e.group = offsetCategory(e.group, g);
        e.nation1 = offsetCategory(e.nation1, n);
        e.nation2 = offsetCategory(e.nation2, n);
    }
    // Spare places an entry window keeps past the last entry are dropped.
    ds.people.resize(static_cast<size_t>(ds.numPeople));
    ds.events.resize(static_cast<size_t>(ds.numEvents));
    ds.people.insert(ds.people.end(), std::make_move_iterator(got.people.begin()),
                     std::make_move_iterator(got.people.end()));
    ds.events.insert(ds.events.end(), std::make_move_iterator(got.events.begin()),
                     std::make_move_iterator(got.events.end()));
    for (size_t t = 0; t < 4; ++t) {
        CategoryTable& table = *tables[t];
        const int16_t before = table.count;
        table.resize(before);
        for (size_t k = 0; k < got.names[t].size(); ++k) {
            table.names.push_back(std::move(got.names[t][k]));
            table.colors.push_back(got.colors[t][k]);
            table.include.push_back(boolTrue);
        }
        table.count = static_cast<int16_t>(before + static_cast<int>(got.names[t].size()));
    }
    ds.numPeople = static_cast<int>(ds.people.size());
    ds.numEvents = static_cast<int>(ds.events.size());
    ds.numSelPeople = static_cast<int16_t>(ds.numPeople);
    ds.numSelEvents = static_cast<int16_t>(ds.numEvents);
    ds.earliestDate = std::min(ds.earliestDate, got.range.earliest);
    ds.latestDate = std::max(ds.latestDate, got.range.latest);
    // What was merged is not in any file yet.
    ds.modified = true;
}

void mergeDataset(Dataset& ds, const std::string& path, const MergeAnnouncement& announce) {
    mergeDatasetText(ds, readWholeFile(path), announce);
}

} // namespace tess
