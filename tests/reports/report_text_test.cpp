#include "core/qd3_file.h"
#include "reports/report_text.h"
#include "timeline/chart.h"
#include "timeline/selection.h"

#include "support/test.h"

// Start equal to end lists exactly the one-year entries of that year; an empty range, an empty
// text; the widest years never overflow an age; a five-digit year before the era keeps its digits
// without the minus sign. The choices name the selected records (Edge has no occupation, so
// opening left it out of the selection), and a hidden person still counts in the age report.
TEST(Reports, ColumnsCountCharactersAndRangesAreInclusive) {
    Dataset ds = DatasetBuilder()
                     .person("Old", -32768, 32767)
                     .person("Year", 1900, 1900)
                     .person("Span", 1899, 1900)
                     .event("Late", 32767, 32767)
                     .build();
    ListingColumns dates;
    dates.dates = true;
    const Dataset early = DatasetBuilder().person("Early", -12345, -12000).build();
    std::string log = buildListing(ds, Side::people, 1900, 1900, {}) + "|" +
                      buildListing(ds, Side::people, 3000, 3100, {}) + "|" +
                      buildListing(ds, Side::events, 3000, 3100, {}) + "|" + ageReport(ds, 0) +
                      inMyLifeReport(ds, 0) + buildListing(early, Side::people, -20000, 0, dates);
    // The golden dataset as Files > Open leaves it.
    ds = Dataset();
    readDataset(ds, dataFile("golden/reports/input.qd3"));
    applyPeopleSelection(ds);
    applyEventSelection(ds);
    computeChartRange(ds);
    ds.people[1].selected = 0;
    ds.events[0].selected = 0;
    for (const Side side : {Side::people, Side::events}) {
        const ChoiceList choices = reportChoices(ds, side);
        for (size_t i = 0; i < choices.texts.size(); ++i)
            log += "\n" + std::to_string(choices.indexes[i]) + ": " + choices.texts[i];
    }
    expectGolden(log + "\n" + ageReport(ds, 0), "expected/reports.txt");
}
