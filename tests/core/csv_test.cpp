#include "core/csv_file.h"
#include "core/qd3_file.h"

#include "support/test.h"

// Export, import, export, import, export: the last two files are the same bytes. The sample
// (accents, many categories, every entry sound and in order) comes back from its first export
// unchanged; awkward texts (separators, quotes, line breaks, characters beyond Windows-1252)
// settle once the first import has applied the entry windows' rules.
TEST(Csv, ExportAndImportSettleOnTheSameFile) {
    for (const std::string& file :
         {std::string(TESSALINE_PROGRAM_DATA) + "/sample.qd3", dataFile("csv/awkward.qd3")}) {
        Dataset ds;
        readDataset(ds, file);
        const bool sample = file.ends_with("sample.qd3");
        if (!sample)
            ds.events[0].desc += "\r\nsecond line\nthird line";
        std::vector<std::string> csv = {formatEntriesCsv(ds)};
        for (int i = 0; i < 2; ++i)
            csv.push_back(formatEntriesCsv(importCsvText(csv.back()).dataset));
        EXPECT_EQ(csv[2], csv[1]) << file;
        EXPECT_EQ(csv[1] == csv[0], sample) << file;
    }
}

// More than a dataset holds, of people or of one table's categories, is refused with nothing
// made, and the reading stops there: a bad row after the limit is never reached.
TEST(Csv, ImportStopsAtWhatADatasetCannotHold) {
    std::string people = "name,start\n", nations = "kind,name,start,nation1,nation2\n";
    for (int i = 0; i <= maxEntries; ++i) {
        people += "a,1\n";
        nations +=
            i % 2 ? "" : "event,a,1,n" + std::to_string(i) + ",n" + std::to_string(i + 1) + "\n";
    }
    EXPECT_EQ(failureOf([&] { importCsvText(people + "b,12x\n"); }),
              "The file holds more than 32767 people, the most a dataset can; nothing was "
              "imported.");
    EXPECT_EQ(failureOf([&] { importCsvText(nations + "event,b,12x"); }),
              "The file names more than 32767 nations, the most a list can hold; nothing was "
              "imported.");
}
