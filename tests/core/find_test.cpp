#include "core/find.h"

#include "support/test.h"

TEST(Find, MatchesNamesAndDescriptionsIgnoringCaseInTheDatasetsEncoding) {
    Dataset w = DatasetBuilder()
                    .person("Julius Caesar", -100, -44)
                    .person("Zo\xEB", 1900, 1950)
                    .person("\xC9LISE \xD7", 1800, 1850) // capital E acute, multiplication sign
                    .event("Battle of Actium", -31, -31)
                    .event("Fair", 1900, 1900)
                    .build();
    w.events[0].desc = "Naval battle";
    w.people[1].desc = "Caesar's namesake";
    Dataset u = w;
    u.encoding = TextEncoding::utf8;
    u.people[1].name = "Zo\xC3\xAB";
    u.people[2].name = "\xC3\x89LISE \xD0\x96"; // capital E acute, Cyrillic capital Zhe
    // Many entries: at most the limit listed, the people first, and every match counted.
    DatasetBuilder b;
    for (int i = 0; i < 150; ++i)
        b.person("Person " + std::to_string(i), 1800, 1850);
    for (int i = 0; i < 100; ++i)
        b.event("Event " + std::to_string(i), 1800, 1801);
    const Dataset many = b.build();
    const std::string got =
        replay("expected/find.txt", "> ", [&](const std::string& row, const std::string&) {
            const FindResult f = findEntries(row[0] == 'u'   ? u
                                             : row[0] == 'm' ? many
                                                             : w,
                                             unescaped(row.substr(2)));
            std::string found = "=";
            for (const FoundEntry& e : f.shown)
                found += (e.isEvent ? " event " : " person ") + std::to_string(e.index);
            return found + ", " + std::to_string(f.matches) + " matches\n";
        });
    expectGolden(got, "expected/find.txt");
}
