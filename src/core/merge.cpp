#include "core/merge.h"

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/large_arrays.h"
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

// The file's category tables, read after its entries.
struct IncomingTables {
    std::array<std::vector<std::string>, 4> names;
    std::array<std::vector<int32_t>, 4> colors;
};

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

// Calls visit on every text of people [people.first, people.second), events likewise and the
// category names given.
using Range = std::pair<size_t, size_t>;
template <typename Visit>
void forEachText(Dataset& ds, Range people, Range events,
                 const std::array<std::vector<std::string>*, 4>& names, Visit visit) {
    auto record = [&](auto& r) {
        for (std::string* s : {&r.name, &r.desc, &r.legacyText1, &r.legacyText2, &r.legacyText3,
                               &r.imgName, &r.url, &r.spareText, &r.extra1, &r.extra2})
            visit(*s);
    };
    for (size_t i = people.first; i < people.second; ++i)
        record(ds.people[i]);
    for (size_t i = events.first; i < events.second; ++i)
        record(ds.events[i]);
    for (std::vector<std::string>* n : names)
        std::for_each(n->begin(), n->end(), visit);
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Brings the merged texts (people and events from the given positions, and the incoming
// category names) and the dataset's own to one encoding.
void unifyEncodings(Dataset& ds, size_t firstPerson, size_t firstEvent, IncomingTables& got,
                    TextEncoding fileEncoding) {
    if (fileEncoding == ds.encoding)
        return;
    const std::array<std::vector<std::string>*, 4> incomingNames = {&got.names[0], &got.names[1],
                                                                    &got.names[2], &got.names[3]};
    auto incoming = [&](auto visit) {
        forEachText(ds, {firstPerson, ds.people.size()}, {firstEvent, ds.events.size()},
                    incomingNames, visit);
    };
    auto toUtf8 = [](std::string& s) {
        if (!isAscii(s))
            s = windows1252ToUtf8(s);
    };
    if (fileEncoding == TextEncoding::windows1252) {
        incoming(toUtf8);
        return;
    }
    // A UTF-8 file into a Windows-1252 dataset: converted when all of it fits.
    bool fits = true;
    incoming([&fits](std::string& s) {
        fits = fits && (isAscii(s) || utf8ToWindows1252Exactly(s).has_value());
    });
    if (fits) {
        incoming([](std::string& s) {
            if (!isAscii(s))
                s = *utf8ToWindows1252Exactly(s);
        });
        return;
    }
    // Windows-1252 converts to UTF-8 without loss, so the dataset's own texts go over.
    const auto tables = tablesInFileOrder(ds);
    forEachText(ds, {0, firstPerson}, {0, firstEvent},
                {&tables[0]->names, &tables[1]->names, &tables[2]->names, &tables[3]->names},
                toUtf8);
    ds.encoding = TextEncoding::utf8;
}

} // namespace

void convertToUtf8(Dataset& ds) {
    if (ds.encoding == TextEncoding::utf8)
        return;
    const auto tables = tablesInFileOrder(ds);
    forEachText(ds, {0, ds.people.size()}, {0, ds.events.size()},
                {&tables[0]->names, &tables[1]->names, &tables[2]->names, &tables[3]->names},
                [](std::string& s) {
                    if (!isAscii(s))
                        s = windows1252ToUtf8(s);
                });
    ds.encoding = TextEncoding::utf8;
}

std::string mergeAnnouncementText(const std::string& path, int people, int events) {
    return path + " contains " + plainNumber(people) + " people and " + plainNumber(events) +
           " events ";
}

void mergeDatasetText(Dataset& ds, std::string_view fileText, const MergeAnnouncement& announce) {
    TextEncoding fileEncoding = TextEncoding::windows1252;
    const std::string_view text = fileBody(fileText, fileEncoding);
    LineReader in(text, fileEncoding);
    const int p2 = readCountLine(in, "people");
    const int e2 = readCountLine(in, "events");
    in.skipLine();
    if (announce)
        announce(p2, e2);
    refuseBeyondLimit("people", static_cast<size_t>(ds.numPeople), static_cast<size_t>(p2));
    refuseBeyondLimit("events", static_cast<size_t>(ds.numEvents), static_cast<size_t>(e2));

    // The entries are read straight after the dataset's own (one growth of each array, no
    // copy); a failure cuts the arrays back to what they were.
    const size_t people0 = static_cast<size_t>(ds.numPeople);
    const size_t events0 = static_cast<size_t>(ds.numEvents);
    const size_t peopleSize = ds.people.size();
    const size_t eventsSize = ds.events.size();
    const auto tables = tablesInFileOrder(ds);
    IncomingTables got;
    DateRange range;
    try {
        ds.people.resize(people0);
        ds.events.resize(events0);
        reserveLarge(ds.people, people0 + std::min(static_cast<size_t>(p2), text.size() / 16));
        for (int i = 0; i < p2; ++i) {
            PersonRecord& p = ds.people.emplace_back();
            readPersonBlock(in, p, &range);
            p.selected = boolTrue;
        }
        in.skipLine();
        reserveLarge(ds.events, events0 + std::min(static_cast<size_t>(e2), text.size() / 16));
        for (int i = 0; i < e2; ++i) {
            EventRecord& e = ds.events.emplace_back();
            readEventBlock(in, e, &range);
            e.selected = boolTrue;
        }
        for (size_t t = 0; t < 4; ++t) {
            in.skipLine();
            // Read as strictly as when the file is opened: a merge takes no file that Files >
            // Open refuses.
            const long long c2 = in.readNumber(0, maxEntries);
            for (long long k = 1; k <= c2; ++k) {
                in.skipLine();
                got.names[t].emplace_back(in.readLine());
                // Taken as it stands (old palette numbers are not converted), but refused where
                // the file itself could not be opened: a saved merge must read back.
                got.colors[t].push_back(readStoredColor(in));
            }
            refuseBeyondLimit(tableNames[t], static_cast<size_t>(tables[t]->count),
                              got.names[t].size());
        }
    } catch (...) {
        ds.people.resize(people0);
        ds.events.resize(events0);
        ds.people.resize(peopleSize);
        ds.events.resize(eventsSize);
        throw;
    }

    unifyEncodings(ds, people0, events0, got, fileEncoding);
    const int f = ds.factions.count;
    const int o = ds.occupations.count;
    const int g = ds.groups.count;
    const int n = ds.nations.count;
    for (size_t i = people0; i < ds.people.size(); ++i) {
        PersonRecord& p = ds.people[i];
        p.faction = offsetCategory(p.faction, f);
        p.occupation = offsetCategory(p.occupation, o);
    }
    for (size_t i = events0; i < ds.events.size(); ++i) {
        EventRecord& e = ds.events[i];
        e.group = offsetCategory(e.group, g);
        e.nation1 = offsetCategory(e.nation1, n);
        e.nation2 = offsetCategory(e.nation2, n);
    }
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
    ds.earliestDate = std::min(ds.earliestDate, range.earliest);
    ds.latestDate = std::max(ds.latestDate, range.latest);
    // What was merged is not in any file yet.
    ds.modified = true;
}

void mergeDataset(Dataset& ds, const std::string& path, const MergeAnnouncement& announce) {
    mergeDatasetText(ds, readWholeFile(path), announce);
}

} // namespace tess
