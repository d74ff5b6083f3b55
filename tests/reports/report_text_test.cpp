#include "core/qd3_file.h"
#include "reports/report_text.h"
#include "timeline/chart.h"
#include "timeline/selection.h"

#include "support/dataset_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tess;
using namespace testing_support;

namespace {

// The golden dataset as Files > Open leaves it.
Dataset reportsDataset() {
    Dataset ds;
    readDataset(ds, dataFile("golden/reports/input.qd3"));
    applyPeopleSelection(ds);
    applyEventSelection(ds);
    computeChartRange(ds);
    return ds;
}

} // namespace

TEST(Reports, ColumnsCountCharactersAndRangesAreInclusive) {
    // Start equal to end lists exactly the one-year entries of that year; an empty range, an
    // empty text; the widest years never overflow an age.
    Dataset ds = DatasetBuilder()
                     .person("Old", -32768, 32767)
                     .person("Year", 1900, 1900)
                     .person("Span", 1899, 1900)
                     .event("Late", 32767, 32767)
                     .build();
    EXPECT_EQ(buildListing(ds, Side::people, 1900, 1900, {}), " Year                 \r\n");
    EXPECT_EQ(buildListing(ds, Side::people, 3000, 3100, {}), "");
    EXPECT_EQ(buildListing(ds, Side::events, 3000, 3100, {}), "");
    EXPECT_NE(ageReport(ds, 0).find("   Old was 65535 years old\r\n"), std::string::npos);
    EXPECT_NE(inMyLifeReport(ds, 0).find("When I was 65535 years old, Late\r\n"),
              std::string::npos);

    // A five-digit year before the era keeps its digits without the minus sign.
    ListingColumns dates;
    dates.dates = true;
    const Dataset early = DatasetBuilder().person("Early", -12345, -12000).build();
    EXPECT_EQ(buildListing(early, Side::people, -20000, 0, dates),
              "1234512000 Early                ");
}

TEST(Reports, ChoicesNameTheSelectedRecords) {
    Dataset ds = reportsDataset();
    ds.people[1].selected = 0;
    ds.events[0].selected = 0;
    const ChoiceList people = reportChoices(ds, Side::people);
    // (Edge has no occupation, so opening left it out of the selection.)
    EXPECT_EQ(people.texts, (std::vector<std::string>{"1850 Ann", "-300 Rex", "12345 Five"}));
    EXPECT_EQ(people.indexes, (std::vector<int>{0, 2, 3}));
    const ChoiceList events = reportChoices(ds, Side::events);
    EXPECT_EQ(events.indexes, (std::vector<int>{1, 2}));
    // A hidden person still counts in the age report.
    EXPECT_NE(ageReport(ds, 0).find("characters was alive"), std::string::npos);
}
