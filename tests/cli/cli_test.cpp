#include "cli/cli.h"
#include "timeline/chart.h"

#include "support/recording_printer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace testing_support;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result runCli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = tess::cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace

TEST(CliCheck, SaysWhatAFileHolds) {
    const Result r = runCli({"check", dataFile("golden/basic/input.qd3")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "3 people\n2 events\n3 factions\n2 occupations\n2 groups\n3 nations\n"
                     "Current date range -499 to  1631\n");
    EXPECT_EQ(r.err, "");
}

// Every command that reads a broken file ends with status 1 and the reader's description of
// it, and writes nothing. (Which files are broken and how is the readers' table.)
TEST(CliCheck, EveryCommandDescribesABrokenFileAndWritesNothing) {
    TempDir dir;
    const std::string good = dataFile("golden/basic/input.qd3");
    const std::string file = dataFile("broken/not_a_number.qd3");
    const std::string out = dir.file("out.qd3");
    const std::string pdf = dir.file("out.pdf");
    const std::string svg = dir.file("out.svg");
    const std::vector<std::vector<std::string>> commands = {
        {"check", file},
        {"copy", file, out},
        {"stats", file},
        {"chart", "people", file},
        {"merge", file, good, out},
        {"merge", good, file, out},
        {"select", file, out},
        {"report", "events", file, "--dates"},
        {"age", file, "0"},
        {"in-my-life", file, "0"},
        {"print-chart", "people", file, pdf},
        {"print-report", "people", file, pdf},
        {"categories", file},
        {"export", "events", file, svg},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        const Result r = runCli(command);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("\"abc\" is not a number at line 6"), std::string::npos) << r.err;
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    }
    EXPECT_EQ(runCli({"convert", dataFile("broken/qd2/cut_in_person.qd2"), out}).status, 1);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(CliCheck, FailureMessagesArePrintedAsUtf8) {
    TempDir dir;
    // A Windows-1252 file whose failure message names its last person, "Zoë".
    writeBytes(dir.file("b.qd3"), "1 people\r\n1 events\r\n==== PEOPLE\r\n** 0\r\nZo\xEB\r\n"
                                  "x,0,0,0\r\n");
    const Result r = runCli({"check", dir.file("b.qd3")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\"x\" is not a number at line 6 npeople 1 Zo\u00EB nevents 1 \n");

    // A name that would clear the screen is shown escaped, and a huge one only in part.
    writeBytes(dir.file("e.qd3"), "1 people\r\n1 events\r\n==== PEOPLE\r\n** 0\r\n\x1B[2J" +
                                      std::string(100000, 'z') + "\r\nx,0,0,0\r\n");
    const Result e = runCli({"check", dir.file("e.qd3")});
    EXPECT_EQ(e.err.find('\x1B'), std::string::npos);
    EXPECT_NE(e.err.find("npeople 1 \\x1B[2Jzzz"), std::string::npos) << e.err;
    EXPECT_LT(e.err.size(), 300u);
}

TEST(CliUsage, HelpUsageErrorsAndCopy) {
    EXPECT_EQ(runCli({"--help"}).status, 0);
    EXPECT_NE(runCli({"--help"}).out.find("check FILE"), std::string::npos);
    EXPECT_EQ(runCli({"check", "--help"}).status, 0);
    EXPECT_EQ(runCli({}).status, 2);
    EXPECT_EQ(runCli({"frobnicate"}).status, 2);
    EXPECT_NE(runCli({"frobnicate"}).err.find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_EQ(runCli({"check"}).status, 2);
    EXPECT_EQ(runCli({"copy", "a"}).status, 2);

    TempDir dir;
    const std::string out = dir.file("out.qd3");
    EXPECT_EQ(runCli({"copy", dataFile("golden/repairs/input.qd3"), out}).status, 0);
    EXPECT_EQ(readBytes(out), readBytes(dataFile("golden/repairs/expected.qd3")));
    const Result bad = runCli({"copy", dataFile("golden/basic/input.qd3"), "/no/such/dir/x.qd3"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("Cannot save"), std::string::npos);
    EXPECT_EQ(runCli({"copy", dataFile("broken/early_end.qd3"), out}).status, 1);
    EXPECT_EQ(readBytes(out), readBytes(dataFile("golden/repairs/expected.qd3")));
}

TEST(CliChart, PrintsTheChartAsTheWindowShowsIt) {
    const std::string file = dataFile("golden/basic/input.qd3");
    Result r = runCli({"chart", "people", file});
    ASSERT_EQ(r.status, 0) << r.err;
    // As Files > Open leaves it: everyone selected, range -499-10 .. 1631+10.
    EXPECT_EQ(r.out, tess::buildChartLine("Julius Caesar", -100, 0, -44, 0, -509) + "\n" +
                         tess::buildChartLine("Smith, John \"Jack\"", 1580, 1, 1631, 0, -509) +
                         "\n" + tess::buildChartLine("Augustus", -27, 2, 14, 2, -509) + "\n");

    // A date range as typed into Select: the chart's left edge moves to the range less 10.
    r = runCli({"chart", "people", file, "--from", "-120", "--to", "50"});
    EXPECT_EQ(r.out, tess::buildChartLine("Julius Caesar", -100, 0, -44, 0, -130) + "\n" +
                         tess::buildChartLine("Augustus", -27, 2, 14, 2, -130) + "\n");
    r = runCli({"chart", "people", file, "--priority", "3"});
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);

    // Colours: 24-bit escapes of the chosen category, only when asked for or on a terminal.
    r = runCli({"chart", "events", file, "--color", "always", "--color-by", "group"});
    EXPECT_EQ(r.out.rfind("\x1b[38;2;255;0;0m", 0), 0u) << r.out; // group Wars, 255 = red
    EXPECT_NE(r.out.find("\x1b[0m\n"), std::string::npos);
    r = runCli({"chart", "events", file, "--color", "always"}); // by nation: Rome, also red
    EXPECT_EQ(r.out.rfind("\x1b[38;2;255;0;0m", 0), 0u);
    EXPECT_EQ(runCli({"chart", "events", file}).out.find('\x1b'), std::string::npos);

    // Control characters in a name are written escaped, never sent to the terminal.
    TempDir dir;
    std::string text = readBytes(file);
    text.replace(text.find("Augustus"), 8, "Aug\x1B[2Jus");
    writeBytes(dir.file("esc.qd3"), text);
    r = runCli({"chart", "people", dir.file("esc.qd3"), "--color", "never"});
    EXPECT_NE(r.out.find("Aug\u241B[2Jus"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos);

    // Names in Windows-1252 come out as UTF-8.
    r = runCli({"chart", "people", dataFile("golden/cp1252_text/input.qd3")});
    EXPECT_NE(r.out.find("\u00C9mile Zola"), std::string::npos);
}

TEST(CliChart, StatsAndUsageErrors) {
    const std::string file = dataFile("golden/basic/input.qd3");
    const Result r = runCli({"stats", file});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, file + "\n3 people\n2 events\n3 factions\n2 occupations\n2 groups\n"
                            "3 nations\nCurrent date range -499 to  1631\n");
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"chart", "persons", file},
                                                {"chart", "people"},
                                                {"chart", "people", file, "--color-by", "group"},
                                                {"chart", "events", file, "--color-by", "faction"},
                                                {"chart", "people", file, "--from", "soon"},
                                                {"chart", "people", file, "--priority"},
                                                {"chart", "people", file, "--color", "sometimes"},
                                                {"chart", "people", file, "--frob"},
                                                {"stats"}}) {
        EXPECT_EQ(runCli(bad).status, 2) << bad.back();
    }
    EXPECT_EQ(runCli({"chart", "people", dataFile("broken/early_end.qd3")}).status, 1);
    EXPECT_EQ(runCli({"stats", "/no/such/file.qd3"}).status, 1);
}

TEST(CliFiles, MergeConvertAndSelectWriteWhatTheProgramWould) {
    TempDir dir;
    const std::string basic = dataFile("golden/basic/input.qd3");
    Result r = runCli({"merge", basic, basic, dir.file("m.qd3")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, basic + " contains 3 people and 2 events \n");
    r = runCli({"check", dir.file("m.qd3")});
    EXPECT_EQ(r.out.substr(0, 21), "6 people\n4 events\n6 f");

    r = runCli({"convert", dataFile("legacy/rome.qd2"), dir.file("r.qd3")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(runCli({"check", dir.file("r.qd3")}).out.substr(0, 18), "2 people\n1 events\n");
    r = runCli({"convert", dataFile("broken/qd2/cut_in_person.qd2"), dir.file("s.qd3")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unexpected end of file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("s.qd3")));
    // The copy's own name is not taken over a dataset that has it, unless named.
    writeBytes(dir.file("rome.qd2"), readBytes(dataFile("legacy/rome.qd2")));
    writeBytes(dir.file("rome.qd3"), "mine");
    r = runCli({"convert", dir.file("rome.qd2")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, dir.file("rome.qd3") + " already exists; name it as the output file to "
                                            "replace it\n");
    EXPECT_EQ(readBytes(dir.file("rome.qd3")), "mine");
    EXPECT_EQ(runCli({"convert", dir.file("rome.qd2"), dir.file("rome.qd3")}).status, 0);
    EXPECT_NE(readBytes(dir.file("rome.qd3")), "mine");

    // Only the people and events inside the range are written; every category goes along.
    r = runCli({"select", basic, dir.file("sel.qd3"), "--from", "1000", "--to", "1700"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = runCli({"check", dir.file("sel.qd3")});
    EXPECT_EQ(r.out, "1 people\n0 events\n3 factions\n2 occupations\n2 groups\n3 nations\n"
                     "Current date range  1580 to  1631\n");

    // An older file's name without its ending gets one of its own.
    writeBytes(dir.file("data"), readBytes(dataFile("legacy/rome.qd2")));
    EXPECT_EQ(runCli({"convert", dir.file("data")}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("data.qd3")));

    // An output that is an input, by whatever name, is refused and the input kept.
    const std::string input = dir.file("in.qd3");
    writeBytes(input, readBytes(basic));
    std::filesystem::create_symlink("in.qd3", dir.file("link.qd3"));
    std::filesystem::create_symlink("in.qd3", dir.file("link.svg"));
    const std::string same =
        dir.path().string() + "/../" + dir.path().filename().string() + "/in.qd3";
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"merge", basic, basic},
          {"convert"},
          {"select", basic},
          {"select", basic, "x", "--from", "soon"},
          {"select", basic, "x", "--from", "1700", "--to", "1600"},
          {"select", input, same},
          {"copy", input, dir.file("link.qd3")},
          {"merge", basic, input, input},
          {"convert", dir.file("rome.qd2"), dir.file("./rome.qd2")},
          {"export", "people", input, dir.file("link.svg")},
          {"print-chart", "people", input, same},
          {"print-report", "people", input, same}}) {
        const Result refused = runCli(bad);
        EXPECT_EQ(refused.status, 2) << bad.back();
    }
    EXPECT_EQ(readBytes(input), readBytes(basic));
    EXPECT_EQ(runCli({"copy", input, same}).err,
              "tessaline-cli: " + same + " is the input file " + input +
                  "; name another file to write\nTry 'tessaline-cli --help'.\n");
    r = runCli({"merge", basic, dataFile("broken/not_a_number.qd3"), dir.file("x.qd3")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.qd3")));
}

TEST(CliReports, PrintTheTextsTheWindowsShow) {
    const std::string file = dataFile("golden/reports/input.qd3");
    // On the terminal the last line is ended too, once. One row a command and its options:
    // the texts themselves are the golden table's.
    auto golden = [](const std::string& name) {
        std::string text = readBytes(dataFile("golden/reports/" + name));
        for (size_t p; (p = text.find("\r\n")) != std::string::npos;)
            text.replace(p, 2, "\n");
        return text.ends_with('\n') ? text : text + "\n";
    };
    struct Case {
        std::vector<std::string> args;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{"report", "people", file, "--dates", "--groupings", "--descriptions", "--image", "--url"},
         golden("listing_people_all.txt")},
        {{"report", "events", file, "--from", "1850", "--to", "1900", "--dates", "--groupings"},
         golden("listing_events_1850_1900.txt")},
        {{"age", file, "2"}, golden("age_ancient.txt")},
        // The first whose name holds the text, case ignored: "A name longer..." is 1.
        {{"in-my-life", file, "--name", "nAmE"}, golden("life_traveller.txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const Result r = runCli(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.expected);
    }
    EXPECT_EQ(runCli({"age", file, "3"}).status, 1); // three events: positions 0 to 2
    EXPECT_EQ(runCli({"in-my-life", file, "-1"}).status, 1);
    EXPECT_EQ(runCli({"age", file, "--name", "no such event"}).err,
              "No event's name holds \"no such event\".\n");
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"age", file, "first"},
          {"age", file, "--name"},
          {"in-my-life", file, "--name", ""},
          {"report", "places", file},
          {"report", "people", file, "--colour"},
          {"report", "people", file, "--from", "1900", "--to", "1899"}})
        EXPECT_EQ(runCli(bad).status, 2) << bad.back();
    EXPECT_NE(runCli({"age", file, "--name"}).err.find("--name needs the text"), std::string::npos);
}

TEST(CliCategories, PrintsTheEditorsLinesAndColours) {
    // Traveller (faction 9) and Edge (no occupation) are left out of the selection when the
    // file is opened, so their categories do not count them.
    const Result r = runCli({"categories", dataFile("golden/reports/input.qd3")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Factions\nArtists  2 #FF0000\nA faction with a very long name  1 #00FF00\n"
                     "Occupations\nPainter  2 #FF0000\nRuler  1 #FF0000\n"
                     "Groups\nWars  2 #FF0000\nTreaties  1 #FF0000\n"
                     "Nations\nFrance  1 #FF0000\nPrussia  2 #FF0000\nAustria  2 #FF0000\n");
    EXPECT_EQ(runCli({"categories"}).status, 2);
}

TEST(CliPrint, ChartsAndReportsGoToThePrinter) {
    RecordingPrinter printer;
    std::string opened;
    const tess::cli::PdfPrinterFactory pdf = [&](const std::string& path, tess::TextEncoding) {
        opened = path;
        return printer.share();
    };
    auto run = [&](std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = tess::cli::run(args, out, err, false, pdf);
        return Result{status, out.str(), err.str()};
    };
    const std::string file = dataFile("golden/basic/input.qd3");
    Result r = run({"print-chart", "people", file, "out.pdf", "--years", "300"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(opened, "out.pdf");
    EXPECT_EQ(r.out, "Printed 8 strips of 300 years\n"); // -509 to 1641 in strips of 300
    EXPECT_TRUE(printer.ended);
    printer = RecordingPrinter();
    printer.columns = 239;
    EXPECT_EQ(run({"print-chart", "people", file, "out.pdf", "--years", "300"}).out,
              "Printed 9 strips of 239 years\nOnly 239 years fit across the page at the smallest "
              "type, not the 300 asked for.\n");
    for (const char* years : {"9", "301", "1000", "-80", "80.5"})
        EXPECT_EQ(run({"print-chart", "people", file, "out.pdf", "--years", years}).status, 2)
            << years;

    printer = RecordingPrinter();
    r = run({"print-report", "people", file, "out.pdf", "--dates"});
    EXPECT_EQ(r.out, "Printed 3 lines\n");
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(printer.pages[0].size(), 8u); // the banner's five lines and three people

    printer = RecordingPrinter();
    printer.failAtLine = 0;
    r = run({"print-report", "people", file, "out.pdf"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "The printer is out of paper.\n");
    EXPECT_EQ(run({"print-chart", "people", file}).status, 2);
    EXPECT_EQ(runCli({"print-chart", "people", file, "x.pdf"}).status, 1); // no printer here
}

TEST(CliExport, WritesTheChartAsTheWindowExportsIt) {
    TempDir dir;
    const std::string file = dataFile("golden/basic/input.qd3");
    Result r = runCli({"export", "people", file, dir.file("p.svg"), "--from", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Exported 1 line to " + dir.file("p.svg") + "\n");
    const std::string svg = readBytes(dir.file("p.svg"));
    EXPECT_TRUE(svg.starts_with("<?xml"));
    EXPECT_NE(svg.find("<title>People Timeline (colored by faction)</title>"), std::string::npos);
    r = runCli({"export", "events", file, dir.file("e.HTML"), "--color-by", "group"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(readBytes(dir.file("e.HTML")).find("(colored by group)"), std::string::npos);

    // The ending chooses the kind; a PNG needs the picture maker the real program has.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"export", "people", file, dir.file("p.pdf")},
          {"export", "people", file, dir.file("svg")},
          {"export", "people", file},
          {"export", "people", file, dir.file("p.svg"), "--color", "always"}})
        EXPECT_EQ(runCli(bad).status, 2) << bad.back();
    r = runCli({"export", "people", file, dir.file("p.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("p.png")));
    std::ostringstream out, err;
    const tess::cli::PngRenderer png = [](const std::vector<tess::ChartLine>& lines,
                                          tess::TextEncoding, int32_t, std::string& bytes,
                                          std::string&) {
        bytes = "PNG of " + std::to_string(lines.size());
        return true;
    };
    EXPECT_EQ(
        tess::cli::run({"export", "people", file, dir.file("p.png")}, out, err, false, {}, png), 0);
    EXPECT_EQ(readBytes(dir.file("p.png")), "PNG of 3");
    // Right-to-left overrides and other controls in a name are shown, never obeyed by a browser.
    std::string text = readBytes(file);
    text.replace(text.find("Augustus"), 8, "Aug\u202Eustus\x1B");
    writeBytes(dir.file("rtl.qd3"), text);
    for (const char* name : {"rtl.svg", "rtl.html"}) {
        ASSERT_EQ(runCli({"export", "people", dir.file("rtl.qd3"), dir.file(name)}).status, 0);
        const std::string written = readBytes(dir.file(name));
        EXPECT_EQ(written.find("\u202E"), std::string::npos) << name;
        EXPECT_NE(written.find("Aug\uFFFDustus\u241B"), std::string::npos) << name;
    }
    // A folder that cannot be written says so, as saving does.
    r = runCli({"export", "people", file, "/no/such/folder/p.svg"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("Cannot save \"/no/such/folder/p.svg\""));
}
