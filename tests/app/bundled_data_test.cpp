#include "core/qd3_file.h"
#include "state/settings.h"

#include "support/test.h"

// Entries are kept in order of their first date, as the entry windows keep them; every category
// a record names exists, and every picture it names is bundled; the settings read back whole.
TEST(BundledData, SampleDatasetSettingsAndHelpAreWhole) {
    const std::string folder = TESSALINE_PROGRAM_DATA;
    Dataset ds;
    readDataset(ds, folder + "/sample.qd3");
    for (int i = 1; i < ds.numPeople; ++i)
        EXPECT_LE(ds.people[static_cast<size_t>(i - 1)].date1,
                  ds.people[static_cast<size_t>(i)].date1);
    for (const PersonRecord& p : ds.people)
        EXPECT_TRUE(ds.factions.valid(p.faction) && ds.occupations.valid(p.occupation) &&
                    (p.imgName.empty() || std::filesystem::exists(folder + "/" + p.imgName)))
            << p.name;
    for (const EventRecord& e : ds.events)
        EXPECT_TRUE(ds.groups.valid(e.group) && ds.nations.valid(e.nation1) &&
                    (e.nation2 == 0 || ds.nations.valid(e.nation2)))
            << e.name;
    const std::string ini = readBytes(folder + "/zem.ini");
    EXPECT_TRUE(parseSettings(ini).peopleWindowRect && parseSettings(ini).eventsWindowRect);
    EXPECT_EQ(formatSettings(parseSettings(ini)), ini);
    EXPECT_GT(readBytes(folder + "/zem2help.TXT").size(), 2000u);
}
