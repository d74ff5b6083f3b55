#include "cli/cli.h"
#include "timeline/chart.h"

#include "support/recording_printer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct Result {
    int status;
    std::string out, err;
};

Result runCli(const std::vector<std::string>& args, const tess::cli::PdfPrinterFactory& pdf = {},
              const tess::cli::PngRenderer& png = {}) {
    std::ostringstream out, err;
    const int status = tess::cli::run(args, out, err, false, pdf, png);
    return {status, out.str(), err.str()};
}

const std::string basic = dataFile("golden/basic/input.qd3");
const std::string reports = dataFile("golden/reports/input.qd3");

// A golden text as the terminal shows it: its own line ends, the last one ended once.
std::string golden(const std::string& name) {
    std::string text = readBytes(dataFile("golden/" + name));
    for (size_t p; (p = text.find("\r\n")) != std::string::npos;)
        text.replace(p, 2, "\n");
    return text.ends_with('\n') ? text : text + "\n";
}

} // namespace

// What the commands print for a sound file, and that they end with status 0 and say nothing
// on standard error.
TEST(Cli, CommandsPrintWhatTheWindowsShow) {
    const std::string holds = "3 people\n2 events\n3 factions\n2 occupations\n2 groups\n3 nations\n"
                              "Current date range -499 to  1631\n";
    const std::string events = golden("basic/events_chart.txt");
    // The events in 24-bit colours: Actium's group Wars and nation Rome are red, the Persian
    // Wars' group red and its nation blue.
    auto colored = [&events](const std::vector<std::string>& rgb) {
        std::string text;
        for (size_t s = 0, e, i = 0; (e = events.find('\n', s)) != std::string::npos; s = e + 1)
            text += "\x1b[38;2;" + rgb[i++] + "m" + events.substr(s, e - s) + "\x1b[0m\n";
        return text;
    };
    struct Row {
        std::vector<std::string> args;
        std::string out;
    } rows[] = {
        {{"check", basic}, holds},
        {{"stats", basic}, basic + "\n" + holds},
        // As Files > Open leaves it; a range as typed into Select moves the left edge to the
        // range less 10. Colours only when asked for (or on a terminal).
        {{"chart", "people", basic}, golden("basic/people_chart.txt")},
        {{"chart", "events", basic}, events},
        {{"chart", "people", basic, "--from", "-120", "--to", "50"},
         tess::buildChartLine("Julius Caesar", -100, 0, -44, 0, -130) + "\n" +
             tess::buildChartLine("Augustus", -27, 2, 14, 2, -130) + "\n"},
        {{"chart", "people", basic, "--priority", "3"},
         tess::buildChartLine("Julius Caesar", -100, 0, -44, 0, -509) + "\n"},
        {{"chart", "events", basic, "--color", "always", "--color-by", "group"},
         colored({"255;0;0", "255;0;0"})},
        {{"chart", "events", basic, "--color", "always"}, colored({"255;0;0", "0;0;255"})},
        {{"categories", reports},
         // Traveller (faction 9) and Edge (no occupation) are left out of the selection when
         // the file is opened, so their categories do not count them.
         "Factions\nArtists  2 #FF0000\nA faction with a very long name  1 #00FF00\n"
         "Occupations\nPainter  2 #FF0000\nRuler  1 #FF0000\nGroups\nWars  2 #FF0000\n"
         "Treaties  1 #FF0000\nNations\nFrance  1 #FF0000\nPrussia  2 #FF0000\n"
         "Austria  2 #FF0000\n"},
        // The texts themselves are the golden table's; here the options that choose them.
        {{"report", "people", reports, "--dates", "--groupings", "--descriptions", "--image",
          "--url"},
         golden("reports/listing_people_all.txt")},
        {{"report", "events", reports, "--from", "1850", "--to", "1900", "--dates", "--groupings"},
         golden("reports/listing_events_1850_1900.txt")},
        {{"age", reports, "2"}, golden("reports/age_ancient.txt")},
        // The first whose name holds the text, case ignored: "A name longer..." is 1.
        {{"in-my-life", reports, "--name", "nAmE"}, golden("reports/life_traveller.txt")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args[0] + " " + r.args.back());
        const Result got = runCli(r.args);
        EXPECT_EQ(got.status, 0);
        EXPECT_EQ(got.out, r.out);
        EXPECT_EQ(got.err, "");
    }
    EXPECT_EQ(runCli({"--help"}).status, 0);
    EXPECT_EQ(runCli({"check", "--help"}).out, runCli({"help"}).out);
}

// Bad usage ends with status 2, says why, and writes nothing: not even over an input named
// as the output by another name.
TEST(Cli, BadUsageIsRefusedAndSaidWithoutWritingAnything) {
    TempDir dir;
    const std::string input = dir.file("in.qd3");
    writeBytes(input, readBytes(basic));
    fs::create_symlink("in.qd3", dir.file("link.qd3"));
    fs::create_symlink("in.qd3", dir.file("link.svg"));
    writeBytes(dir.file("rome.qd2"), readBytes(dataFile("legacy/rome.qd2")));
    const std::string same =
        dir.path().string() + "/../" + dir.path().filename().string() + "/in.qd3";
    const std::string pdf = dir.file("x.pdf");
    const struct {
        std::vector<std::string> args;
        std::string said; // a part of the message
    } rows[] = {
        {{}, "Usage: tessaline-cli"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"check"}, "check takes one file name"},
        {{"stats"}, "stats takes one file name"},
        {{"categories"}, "categories takes one file name"},
        {{"copy", "a"}, "copy takes an input"},
        {{"copy", input, same},
         "tessaline-cli: " + same + " is the input file " + input +
             "; name another file to write\nTry 'tessaline-cli --help'.\n"},
        {{"copy", input, dir.file("link.qd3")}, "is the input file"},
        {{"chart", "persons", basic}, "chart takes people or events"},
        {{"chart", "people"}, "chart takes people or events"},
        {{"chart", "people", basic, "--color-by", "group"}, "--color-by takes faction or occ"},
        {{"chart", "events", basic, "--color-by", "faction"}, "--color-by takes group or nation"},
        {{"chart", "people", basic, "--color-by"}, "--color-by needs a value"},
        {{"chart", "people", basic, "--from", "soon"}, "a year must be a whole number, not 'soon'"},
        {{"chart", "people", basic, "--priority"}, "--priority needs a value"},
        {{"chart", "people", basic, "--priority", "x"}, "--priority takes a whole number"},
        {{"chart", "people", basic, "--color", "sometimes"}, "--color takes auto, always or never"},
        {{"chart", "people", basic, "--color"}, "--color needs auto, always or never"},
        {{"chart", "people", basic, "--frob"}, "unknown option '--frob'"},
        {{"merge", basic, basic}, "merge takes two input file names"},
        {{"merge", basic, input, input}, "is the input file"},
        {{"convert"}, "convert takes an older file name"},
        {{"convert", dir.file("rome.qd2"), dir.file("./rome.qd2")}, "is the input file"},
        {{"select", basic}, "select takes an input and an output"},
        {{"select", basic, "x", "--from", "soon"}, "a year must be a whole number"},
        {{"select", basic, "x", "--from", "1700", "--to", "1600"}, "--from must not be after --to"},
        {{"select", basic, "x", "--frob"}, "unknown option '--frob'"},
        {{"select", input, same}, "is the input file"},
        {{"report", "places", reports}, "report takes people or events and a file name"},
        {{"report", "people", reports, "--colour"}, "unknown option '--colour'"},
        {{"report", "people", reports, "--to"}, "--to needs a value"},
        {{"report", "people", reports, "--from", "1900", "--to", "1899"}, "must not be after"},
        {{"age", reports, "first"}, "the position must be a whole number, not 'first'"},
        {{"age", reports}, "age takes a file name and the position of the event"},
        {{"age", reports, "--name"}, "--name needs the text a name holds"},
        {{"in-my-life", reports, "--name", ""}, "--name needs the text a name holds"},
        {{"print-chart", "people", basic}, "print-chart takes people or events, a file name"},
        {{"print-chart", "people", input, same}, "is the input file"},
        {{"print-chart", "people", basic, pdf, "--years"}, "--years needs a value"},
        {{"print-chart", "people", basic, pdf, "--pages"}, "unknown option '--pages'"},
        {{"print-report", "people", basic}, "print-report takes people or events, a file name"},
        {{"print-report", "people", input, same}, "is the input file"},
        {{"export", "people", basic}, "export takes people or events, a file name and the .svg"},
        {{"export", "people", basic, dir.file("p.pdf")}, "name the output .svg, .html or .png"},
        {{"export", "people", basic, dir.file("svg")}, "name the output .svg, .html or .png"},
        {{"export", "people", basic, dir.file("p.svg"), "--color", "always"}, "unknown option"},
        {{"export", "people", input, dir.file("link.svg")}, "is the input file"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.args.empty() ? "" : r.args[0] + " " + r.args.back());
        const Result got = runCli(r.args);
        EXPECT_EQ(got.status, 2);
        EXPECT_NE(got.err.find(r.said), std::string::npos) << got.err;
        EXPECT_EQ(got.out, "");
    }
    // What print-chart can print: 10 to 300 years a strip, said when not.
    for (const char* years : {"9", "301", "1000", "-80", "80.5"})
        EXPECT_NE(runCli({"print-chart", "people", basic, pdf, "--years", years})
                      .err.find("--years takes a whole number of years from 10 to 300"),
                  std::string::npos)
            << years;
    EXPECT_EQ(readBytes(input), readBytes(basic));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4);
}

// Every command that reads a broken file ends with status 1 and the reader's description of
// it, and writes nothing. (Which files are broken and how is the readers' table.)
TEST(Cli, EveryCommandDescribesABrokenFileAndWritesNothing) {
    TempDir dir;
    const std::string file = dataFile("broken/not_a_number.qd3");
    const std::string out = dir.file("out.qd3"), pdf = dir.file("out.pdf");
    const std::vector<std::vector<std::string>> commands = {
        {"check", file},
        {"copy", file, out},
        {"stats", file},
        {"chart", "people", file},
        {"merge", file, basic, out},
        {"merge", basic, file, out},
        {"select", file, out},
        {"report", "events", file, "--dates"},
        {"age", file, "0"},
        {"in-my-life", file, "0"},
        {"print-chart", "people", file, pdf},
        {"print-report", "people", file, pdf},
        {"categories", file},
        {"export", "events", file, dir.file("out.svg")},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        const Result r = runCli(command);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("\"abc\" is not a number at line 6"), std::string::npos) << r.err;
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
    const Result r = runCli({"convert", dataFile("broken/qd2/cut_in_person.qd2"), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unexpected end of file"), std::string::npos);
    EXPECT_EQ(runCli({"stats", "/no/such/file.qd3"}).status, 1);
    EXPECT_TRUE(fs::is_empty(dir.path()));

    // A Windows-1252 file's failure message, which names its last person "Zoë", in UTF-8.
    writeBytes(dir.file("b.qd3"), "1 people\r\n1 events\r\n==== PEOPLE\r\n** 0\r\nZo\xEB\r\n"
                                  "x,0,0,0\r\n");
    EXPECT_EQ(runCli({"check", dir.file("b.qd3")}).err,
              "\"x\" is not a number at line 6 npeople 1 Zo\u00EB nevents 1 \n");
    // A name that would clear the screen is shown escaped, and a huge one only in part.
    writeBytes(dir.file("e.qd3"), "1 people\r\n1 events\r\n==== PEOPLE\r\n** 0\r\n\x1B[2J" +
                                      std::string(100000, 'z') + "\r\nx,0,0,0\r\n");
    const std::string e = runCli({"check", dir.file("e.qd3")}).err;
    EXPECT_EQ(e.find('\x1B'), std::string::npos);
    EXPECT_NE(e.find("npeople 1 \\x1B[2Jzzz"), std::string::npos) << e;
    EXPECT_LT(e.size(), 300u);

    // Choices that name no entry.
    EXPECT_EQ(runCli({"age", reports, "3"}).err, // three events: positions 0 to 2
              "There is no event at position 3: the file holds 3 events.\n");
    EXPECT_EQ(runCli({"in-my-life", reports, "-1"}).status, 1);
    EXPECT_EQ(runCli({"age", reports, "--name", "no such event"}).err,
              "No event's name holds \"no such event\".\n");
}

TEST(Cli, FilesAreWrittenAsTheProgramWouldWriteThem) {
    TempDir dir;
    Result r = runCli({"merge", basic, basic, dir.file("m.qd3")});
    EXPECT_EQ(r.out, basic + " contains 3 people and 2 events \n");
    EXPECT_EQ(runCli({"check", dir.file("m.qd3")}).out.substr(0, 21), "6 people\n4 events\n6 f");
    EXPECT_EQ(runCli({"copy", dataFile("golden/repairs/input.qd3"), dir.file("c.qd3")}).status, 0);
    EXPECT_EQ(readBytes(dir.file("c.qd3")), readBytes(dataFile("golden/repairs/expected.qd3")));
    r = runCli({"copy", basic, "/no/such/dir/x.qd3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot save"), std::string::npos);
    // Only the people and events inside the range are written; every category goes along.
    EXPECT_EQ(runCli({"select", basic, dir.file("s.qd3"), "--from", "1000", "--to", "1700"}).status,
              0);
    EXPECT_EQ(runCli({"check", dir.file("s.qd3")}).out.substr(0, 29),
              "1 people\n0 events\n3 factions\n");

    EXPECT_EQ(runCli({"convert", dataFile("legacy/rome.qd2"), dir.file("r.qd3")}).out,
              "Conversion complete: " + dir.file("r.qd3") + "\n");
    EXPECT_EQ(runCli({"check", dir.file("r.qd3")}).out.substr(0, 18), "2 people\n1 events\n");
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
    // An older file's name without its ending gets one of its own.
    writeBytes(dir.file("data"), readBytes(dataFile("legacy/rome.qd2")));
    EXPECT_EQ(runCli({"convert", dir.file("data")}).status, 0);
    EXPECT_TRUE(fs::exists(dir.file("data.qd3")));
}

TEST(Cli, ChartsAndReportsGoToThePrinter) {
    RecordingPrinter printer;
    std::string opened;
    const tess::cli::PdfPrinterFactory pdf = [&](const std::string& path, tess::TextEncoding) {
        opened = path;
        return printer.share();
    };
    Result r = runCli({"print-chart", "people", basic, "out.pdf", "--years", "300"}, pdf);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(opened, "out.pdf");
    EXPECT_EQ(r.out, "Printed 8 strips of 300 years\n"); // -509 to 1641 in strips of 300
    EXPECT_TRUE(printer.ended);
    printer = RecordingPrinter();
    printer.columns = 239;
    EXPECT_EQ(runCli({"print-chart", "people", basic, "out.pdf", "--years", "300"}, pdf).out,
              "Printed 9 strips of 239 years\nOnly 239 years fit across the page at the smallest "
              "type, not the 300 asked for.\n");

    printer = RecordingPrinter();
    EXPECT_EQ(runCli({"print-report", "people", basic, "out.pdf", "--dates"}, pdf).out,
              "Printed 3 lines\n");
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(printer.pages[0].size(), 8u); // the banner's five lines and three people
    printer = RecordingPrinter();
    printer.failAtLine = 0;
    r = runCli({"print-report", "people", basic, "out.pdf"}, pdf);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "The printer is out of paper.\n");
    EXPECT_EQ(runCli({"print-chart", "people", basic, "x.pdf"}).err,
              "Printing is not available in this build.\n");
}

TEST(Cli, ExportWritesTheChartAsTheWindowExportsIt) {
    TempDir dir;
    Result r = runCli({"export", "people", basic, dir.file("p.svg"), "--from", "0"});
    EXPECT_EQ(r.out, "Exported 1 line to " + dir.file("p.svg") + "\n");
    const std::string svg = readBytes(dir.file("p.svg"));
    EXPECT_TRUE(svg.starts_with("<?xml"));
    EXPECT_NE(svg.find("<title>People Timeline (colored by faction)</title>"), std::string::npos);
    EXPECT_EQ(runCli({"export", "events", basic, dir.file("e.HTML"), "--color-by", "group"}).out,
              "Exported 2 lines to " + dir.file("e.HTML") + "\n");
    EXPECT_NE(readBytes(dir.file("e.HTML")).find("(colored by group)"), std::string::npos);

    // A PNG needs the picture maker the real program has.
    r = runCli({"export", "people", basic, dir.file("p.png")});
    EXPECT_EQ(r.err, "PNG pictures cannot be made here\n");
    EXPECT_FALSE(fs::exists(dir.file("p.png")));
    const tess::cli::PngRenderer png = [](const std::vector<tess::ChartLine>& lines,
                                          tess::TextEncoding, int32_t, std::string& bytes,
                                          std::string&) {
        bytes = "PNG of " + std::to_string(lines.size());
        return true;
    };
    EXPECT_EQ(runCli({"export", "people", basic, dir.file("p.png")}, {}, png).status, 0);
    EXPECT_EQ(readBytes(dir.file("p.png")), "PNG of 3");
    // A folder that cannot be written says so, as saving does.
    r = runCli({"export", "people", basic, "/no/such/folder/p.svg"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("Cannot save \"/no/such/folder/p.svg\""));
}

// Control characters and right-to-left overrides in a name are shown, never obeyed by the
// terminal or a browser; names in Windows-1252 come out as UTF-8.
TEST(Cli, NamesAreShownNeverObeyed) {
    TempDir dir;
    std::string text = readBytes(basic);
    text.replace(text.find("Augustus"), 8, "Aug\u202Eustus\x1B");
    writeBytes(dir.file("rtl.qd3"), text);
    const Result r = runCli({"chart", "people", dir.file("rtl.qd3"), "--color", "never"});
    EXPECT_NE(r.out.find("Aug\uFFFDustus\u241B"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
    for (const char* name : {"rtl.svg", "rtl.html"}) {
        ASSERT_EQ(runCli({"export", "people", dir.file("rtl.qd3"), dir.file(name)}).status, 0);
        const std::string written = readBytes(dir.file(name));
        EXPECT_EQ(written.find("\u202E"), std::string::npos) << name;
        EXPECT_NE(written.find("Aug\uFFFDustus\u241B"), std::string::npos) << name;
    }
    EXPECT_NE(runCli({"chart", "people", dataFile("golden/cp1252_text/input.qd3")})
                  .out.find("\u00C9mile Zola"),
              std::string::npos);
}
