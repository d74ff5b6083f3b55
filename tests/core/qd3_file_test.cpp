#include "core/file_error.h"
#include "core/qd3_file.h"

#include "support/dataset_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace tess;
using namespace testing_support;

namespace {

Dataset readFile(const std::string& path) {
    Dataset ds;
    readDataset(ds, path);
    return ds;
}

std::string readFailure(Dataset& ds, const std::string& path) {
    return failureOf([&] { readDataset(ds, path); });
}

std::string readFailureText(Dataset& ds, const std::string& text) {
    return failureOf([&] { readDatasetText(ds, text); });
}

} // namespace

TEST(DatasetFile, GoldenFilesReadAndWriteBackExactly) {
    int cases = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dataFile("golden"))) {
        if (!std::filesystem::exists(entry.path() / "input.qd3"))
            continue;
        ++cases;
        SCOPED_TRACE(entry.path().filename().string());
        Dataset ds = readFile((entry.path() / "input.qd3").string());
        const std::string expected = readBytes((entry.path() / "expected.qd3").string());
        EXPECT_EQ(formatDataset(ds), expected);
        // Writing what the writer wrote, read back, changes nothing more.
        Dataset again;
        readDatasetText(again, expected);
        EXPECT_EQ(formatDataset(again), expected);
    }
    EXPECT_GE(cases, 8);
}

TEST(DatasetFile, BrokenFilesGiveTheirDescription) {
    const std::string tailBeforeAll = " npeople 3  nevents 2 ";
    const std::string tailComplete = " npeople 3 Augustus nevents 2 Persian Wars";
    struct Row {
        const char* file;
        std::string message;
    } rows[] = {
        {"not_a_number", "\"abc\" is not a number at line 6" + tailBeforeAll},
        {"beyond_16_bits",
         "The number 40000 is out of range (-32768 to 32767) at line 6" + tailBeforeAll},
        {"negative_count", "The number of people -1 is out of range (0 to 32767) at line 1"},
        {"count_too_big", "The number of events 40000 is out of range (0 to 32767) at line 2"},
        {"early_end", "Unexpected end of file at line 13" + tailBeforeAll},
        {"legacy_colour_17",
         "The colour 17 is neither a colour value nor a palette number (0 to 15) at line 34" +
             tailComplete},
        {"legacy_colour_negative",
         "The colour -5 is neither a colour value nor a palette number (0 to 15) at line 61" +
             tailComplete},
        {"unterminated_quote", "A quoted text has no closing quote at line 29" + tailComplete},
        {"category_count_word", "\"two\" is not a number at line 50" + tailComplete},
        {"empty", "Unexpected end of file at line 1"},
        {"huge_claim", "Unexpected end of file at line 5 npeople 32767  nevents 32767 "},
        {"binary_garbage", // garbage bytes come out as their Windows-1252 characters
         "\")iE\u00A0\u00C1\u0192\u00D8\u2013\u00B8\u00E5u\" is not a number at line 6"},
        // Counts that lie: the reader runs into the next section and says where.
        {"counts_lie_more", "\"E\" is not a number at line 16 npeople 5  nevents 1 "},
        {"counts_lie_fewer",
         "\"desc\" is not a number at line 12 npeople 1 P nevents 1 1850,0,1870,0"},
        {"category_count_lies", "Unexpected end of file at line 20 npeople 1 P nevents 1 E"},
        {"no_events_header", "Unexpected end of file at line 9"},
        // Numbers beyond their fields, and a megabyte of digits quoted short.
        {"date_past_16_bits",
         "The number 70000 is out of range (-32768 to 32767) at line 6 npeople 1 P nevents 1 "},
        {"priority_past_16_bits",
         "The number 99999 is out of range (-32768 to 32767) at line 8 npeople 1 P nevents 1 "},
        {"colour_past_32_bits", "The number 99999999999 is out of range (-2147483648 to "
                                "2147483647) at line 19 npeople 1 P nevents 1 E"},
        {"megabyte_number", "The number \"" + std::string(40, '9') +
                                "\u2026\" is out of range at line 6 npeople 1 P nevents 1 "},
        {"nul_in_number", "\"18\\x0050\" is not a number at line 6 npeople 1 P nevents 1 "},
        {"bom_then_garbage", "Unexpected end of file at line 2"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        Dataset ds;
        EXPECT_EQ(readFailure(ds, dataFile(std::string("broken/") + r.file + ".qd3")), r.message);
        EXPECT_FALSE(ds.loaded);
        EXPECT_EQ(ds.numPeople, static_cast<int>(ds.people.size()));
        EXPECT_EQ(ds.numEvents, static_cast<int>(ds.events.size()));
    }
    Dataset ds;
    const std::string missing = dataFile("broken/no_such_file.qd3");
    EXPECT_EQ(readFailure(ds, missing),
              "Cannot open \"" + missing + "\": No such file or directory");
    EXPECT_EQ(readFailure(ds, dataFile("broken")),
              "Cannot read \"" + dataFile("broken") + "\": Is a directory");
}

TEST(DatasetFile, AFailedReadKeepsWhatWasReadAndLeavesTheSelectionStateAlone) {
    Dataset ds;
    ds.selPriority = 4;
    ds.curPerson = 7;
    EXPECT_NE(readFailure(ds, dataFile("broken/early_end.qd3")), "");
    ASSERT_EQ(ds.numPeople, 2);
    EXPECT_EQ(ds.people[1].name, "Smith, John \"Jack\"");
    EXPECT_EQ((std::vector<int>{ds.people[0].priority, ds.numEvents, ds.factions.count,
                                ds.selPriority, ds.curPerson}),
              (std::vector<int>{1, 0, 0, 4, 7}));

    // A tiny file that claims the most entries allocates for what it holds, not what it claims.
    Dataset big;
    EXPECT_NE(readFailure(big, dataFile("broken/huge_claim.qd3")), "");
    EXPECT_LT(big.people.capacity(), 100u);

    // Categories stop at the last whole one.
    Dataset cats;
    EXPECT_NE(readFailure(cats, dataFile("broken/legacy_colour_negative.qd3")), "");
    EXPECT_EQ(std::tuple(cats.factions.count, cats.nations.count, cats.nations.names.size()),
              std::tuple(3, 0, size_t{1}));
}

TEST(DatasetFile, AFailedReadBoundsWhatItQuotesAndKeepsTheRangeSoFar) {
    // Person 0 (1850 to 1870) is read as far as its record line, which is broken: its dates
    // already count towards the range.
    Dataset one = DatasetBuilder().person("Ann", 1850, 1870).event("E", 1900, 1901).build();
    std::string text = formatDataset(one);
    text.replace(text.find("1,1,\"\""), 3, "x,1");
    Dataset ds;
    EXPECT_NE(readFailureText(ds, text), "");
    EXPECT_EQ(ds.earliestDate, 1850);
    EXPECT_EQ(ds.latestDate, 1870);

    // A name of megabytes, with a NUL and a screen-clearing escape in it, is quoted short and
    // harmless, and the message goes on past the NUL.
    Dataset big = one;
    big.people[0].name = std::string("A\0B\x1B[2J", 7) + std::string(1 << 20, 'x');
    big.events[0].name = "Last";
    text = formatDataset(big);
    text.replace(text.find("1,1,\"\""), 3, "x,1");
    const std::string message = readFailureText(ds, text);
    EXPECT_LT(message.size(), 400u);
    EXPECT_NE(message.find(" npeople 1 A\\x00B\\x1B[2Jxxx"), std::string::npos) << message;
    EXPECT_NE(message.find("x\xE2\x80\xA6 nevents 1 "), std::string::npos) << message;
    EXPECT_EQ(message.find('\x1B'), std::string::npos);
}

TEST(DatasetFile, FieldsReadAsTheFieldRulesAllow) {
    Dataset one = DatasetBuilder().person("Ann", 1850, 1870).build();
    const std::string plain = formatDataset(one);
    auto readWith = [&](const std::string& from, const std::string& to) {
        std::string text = plain;
        text.replace(text.find(from), from.size(), to);
        Dataset ds;
        const std::string failure = readFailureText(ds, text);
        return std::pair{ds, failure};
    };
    // Fractions and exponents are rounded to whole numbers, halves to the even neighbour.
    auto [real, none] = readWith("1850,0,1870,0", "1850.0,0.5,1.8705E3,1.5");
    EXPECT_EQ(none, "");
    const PersonRecord& p = real.people[0];
    EXPECT_EQ((std::vector<int>{p.date1, p.date1Type, p.date2, p.date2Type}),
              (std::vector<int>{1850, 0, 1870, 2}));
    for (const auto& [typed, failure] : std::vector<std::pair<std::string, std::string>>{
             {"1e9", "The number 1e9 is out of range (-32768 to 32767) at line 6"},
             {"inf", "\"inf\" is not a number at line 6"},
             {"1.2.3", "\"1.2.3\" is not a number at line 6"},
             {"+-1850", "\"+-1850\" is not a number at line 6"},
             {"+1850", ""},
             {"", "An empty field stands where a number is expected at line 6"}})
        EXPECT_EQ(readWith("1850,0", typed + ",0").second, failure) << typed;

    // A quoted text ends at the next quote, also on a later line, and holds the line break.
    auto [spanning, ok] = readWith("\"\",0,0,\"\"", "\"two\r\nlines\",0,0,\"\"");
    EXPECT_EQ(ok, "");
    EXPECT_EQ(spanning.people[0].imgName, "two\r\nlines");
    EXPECT_EQ(spanning.factions.count, 0);
    EXPECT_TRUE(spanning.loaded);
}

// The repaired priorities and colours are the golden file's; here the state a load sets.
TEST(DatasetFile, LoadingSetsTheSelectionState) {
    Dataset ds = readFile(dataFile("golden/repairs/input.qd3"));
    for (const auto& p : ds.people)
        EXPECT_EQ(p.selected, 1);
    for (int k = 1; k <= ds.factions.count; ++k)
        EXPECT_EQ(ds.factions.include[static_cast<size_t>(k)], boolTrue);
    EXPECT_EQ(ds.factions.include[0], boolFalse);
    EXPECT_TRUE(ds.loaded);
    EXPECT_FALSE(ds.modified);
    // The range: smallest date1 (Cy, 1800) and largest date2 (Bob, 1900), events included.
    EXPECT_EQ((std::vector<int>{ds.selPriority, ds.curPerson, ds.numSelPeople, ds.numSelEvents,
                                ds.earliestDate, ds.latestDate, ds.selStart, ds.selEnd}),
              (std::vector<int>{9, 0, 3, 1, 1800, 1900, 1800, 1900}));
}

TEST(DatasetFile, DateRangeLooksAtFirstDatesAndSecondDatesOnly) {
    // Bea's second date lies before everyone's first date, and is still not the range start.
    Dataset ds = DatasetBuilder().person("Al", 100, 200).person("Bea", 300, 50).build();
    Dataset back;
    readDatasetText(back, formatDataset(ds));
    EXPECT_EQ(back.earliestDate, 100);
    EXPECT_EQ(back.latestDate, 200);

    Dataset none;
    readDatasetText(none, formatDataset(Dataset()));
    EXPECT_EQ(none.earliestDate, 9999);
    EXPECT_EQ(none.latestDate, -25000);
    EXPECT_EQ(none.numPeople, 0);
    EXPECT_EQ(none.factions.names.size(), 1u); // position 0 exists even in an empty table
}

TEST(DatasetFile, SelectedOnlyKeepsPositionsInSeparatorsAndAllCategories) {
    DatasetBuilder b;
    for (int i = 0; i < 10; ++i)
        b.person("P" + std::to_string(i), 1900 + i, 1950 + i);
    b.event("E0", 1900, 1901).event("E1", 1902, 1903);
    b.category(kindFactions, "F", 255).category(kindOccupations, "O", 255);
    Dataset ds = b.build();
    for (auto& p : ds.people)
        p.selected = 0;
    ds.people[0].selected = ds.people[4].selected = boolTrue;
    ds.people[9].selected = 1;
    ds.events[0].selected = 0;
    ds.numSelPeople = 3;
    ds.numSelEvents = 1;
    ds.saveSelectedOnly = 1;

    EXPECT_EQ(savingMessage(ds, "/tmp/s.qd3"), "Saving /tmp/s.qd3\r\n 3 people, 1 events");
    const std::string text = formatDataset(ds);
    EXPECT_EQ(text.rfind("3 -- Number of people in file\r\n1 -- Number of events in file\r\n", 0),
              0u);
    for (const char* part : {"** 0\r\nP0\r\n", "** 4\r\nP4\r\n", "** 9\r\nP9\r\n", "++1\r\nE1\r\n"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    EXPECT_EQ(text.find("P1\r\n"), std::string::npos);
    EXPECT_NE(text.find("=== FACTIONS\r\n 1 \r\n-1\r\nF\r\n 255 \r\n"), std::string::npos);

    Dataset back;
    readDatasetText(back, text);
    ASSERT_EQ(back.numPeople, 3);
    EXPECT_EQ(back.people[1].name, "P4");
    TempDir dir;
    writeDataset(ds, dir.file("s.qd3"));
    EXPECT_EQ(ds.saveSelectedOnly, 0);
    // A failed write clears it too: the next save is of the whole dataset unless asked again.
    ds.saveSelectedOnly = 1;
    EXPECT_NE(failureOf([&] { writeDataset(ds, dir.file("no/such.qd3")); }), "");
    EXPECT_EQ(ds.saveSelectedOnly, 0);
    EXPECT_EQ(savingMessage(ds, "x"), "Saving x\r\n 10 people, 2 events");
}

TEST(DatasetFile, TextsWithCommasQuotesAndForbiddenCharacters) {
    Dataset ds = DatasetBuilder().person("Smith, \"Jack\", Jr.", 1, 2).build();
    ds.people[0].desc = "says \"hi\", twice";
    ds.people[0].imgName = "a,b.bmp";
    Dataset back;
    readDatasetText(back, formatDataset(ds));
    EXPECT_EQ(back.people[0].name, "Smith, \"Jack\", Jr.");
    EXPECT_EQ(back.people[0].desc, "says \"hi\", twice");
    EXPECT_EQ(back.people[0].imgName, "a,b.bmp");

    // A quote in a quoted text or a line break in a raw line would break the file for good;
    // the writer keeps the file readable instead.
    ds.people[0].imgName = "say \"x\".bmp";
    ds.people[0].url = "a\r\nb";
    ds.people[0].name = "two\nlines";
    readDatasetText(back, formatDataset(ds));
    EXPECT_EQ(back.people[0].imgName, "say 'x'.bmp");
    EXPECT_EQ(back.people[0].url, "a  b");
    EXPECT_EQ(back.people[0].name, "two lines");
    EXPECT_EQ(back.people[0].desc, "says \"hi\", twice");
}

TEST(DatasetFile, FirstLineWithWordsAfterTheCount) {
    Dataset ds = DatasetBuilder().build();
    std::string text = formatDataset(ds);
    text.replace(0, text.find("\r\n"), "0 people");
    Dataset back;
    readDatasetText(back, text);
    EXPECT_EQ(back.numPeople, 0);
    EXPECT_TRUE(back.loaded);
}

TEST(DatasetFile, EncodingIsDetectedAndBytesKept) {
    Dataset cp = readFile(dataFile("golden/cp1252_text/input.qd3"));
    EXPECT_EQ(cp.encoding, TextEncoding::windows1252);
    EXPECT_EQ(readFile(dataFile("golden/utf8_text/input.qd3")).encoding, TextEncoding::utf8);

    // A byte-order mark is no part of the first line and makes even a plain file UTF-8; the
    // writer writes none.
    TempDir dir;
    const std::string marked = dir.file("bom.qd3");
    const std::string text = readBytes(dataFile("golden/basic/input.qd3"));
    writeBytes(marked, "\xEF\xBB\xBF" + text);
    Dataset bom = readFile(marked);
    EXPECT_EQ(bom.encoding, TextEncoding::utf8);
    EXPECT_EQ(formatDataset(bom), readBytes(dataFile("golden/basic/expected.qd3")));
}
