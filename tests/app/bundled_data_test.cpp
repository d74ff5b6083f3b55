#include "core/qd3_file.h"
#include "state/settings.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tess;
using namespace testing_support;

namespace {
std::string programData(const std::string& name) {
    return std::string(TESSALINE_PROGRAM_DATA) + "/" + name;
}
} // namespace

TEST(BundledData, SampleDatasetSettingsAndHelpAreWhole) {
    Dataset ds;
    readDataset(ds, programData("sample.qd3"));
    EXPECT_GE(ds.numPeople, 120);
    EXPECT_GE(ds.numEvents, 80);
    EXPECT_LT(ds.earliestDate, 0); // antiquity, before the common era
    EXPECT_GE(ds.latestDate, 1900);
    // Entries are kept in order of their first date, as the entry windows keep them.
    for (int i = 1; i < ds.numPeople; ++i)
        EXPECT_LE(ds.people[static_cast<size_t>(i - 1)].date1,
                  ds.people[static_cast<size_t>(i)].date1);
    // Every category a record names exists, and every picture it names is bundled.
    for (const PersonRecord& p : ds.people) {
        EXPECT_TRUE(ds.factions.valid(p.faction) && ds.occupations.valid(p.occupation)) << p.name;
        EXPECT_TRUE(p.priority >= 1 && p.priority <= 9) << p.name;
        if (!p.imgName.empty()) {
            EXPECT_TRUE(std::filesystem::exists(programData(p.imgName))) << p.imgName;
        }
    }
    for (const EventRecord& e : ds.events) {
        EXPECT_TRUE(ds.groups.valid(e.group) && ds.nations.valid(e.nation1)) << e.name;
        EXPECT_TRUE(e.nation2 == 0 || ds.nations.valid(e.nation2)) << e.name;
    }

    const std::string ini = readBytes(programData("zem.ini"));
    const Settings s = parseSettings(ini);
    EXPECT_TRUE(s.peopleWindowRect && s.eventsWindowRect);
    EXPECT_EQ(formatSettings(s), ini);

    EXPECT_GT(readBytes(programData("zem2help.TXT")).size(), 2000u);
    EXPECT_TRUE(std::filesystem::exists(programData("title.bmp")));
}
