#include "cli/cli.h"

#include "support/recording_printer.h"
#include "support/test.h"

namespace fs = std::filesystem;

namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t p = 0; (p = text.find(from, p)) != std::string::npos; p += to.size())
        text.replace(p, from.size(), to);
    return text;
}

std::map<std::string, std::string> filesIn(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = readBytes(entry.path().string());
    return files;
}

} // namespace

// The transcript's commands run in turn in one folder. What each prints, says on standard error
// ("! "), ends with, prints on the printer and writes ("| ") makes the transcript again: bad usage
// and broken files end with 2 and 1 and write nothing, and no input is ever written over.
TEST(Cli, Transcript) {
    TempDir dir;
    writeBytes(dir.file("in.qd3"), readBytes(dataFile("golden/basic/input.qd3")));
    writeBytes(dir.file("rome.qd2"), readBytes(dataFile("legacy/rome.qd2")));
    fs::create_symlink("in.qd3", dir.file("link.qd3"));
    fs::create_symlink("in.qd3", dir.file("link.svg"));
    fs::create_directory(dir.file("sub"));
    RecordingPrinter printer;
    std::string printedTo;
    // The printer fits no more than 239 columns on narrow.pdf, and jams on jam.pdf.
    const tess::cli::PdfPrinterFactory pdf = [&](const std::string& path, tess::TextEncoding) {
        printedTo = fs::path(path).filename().string();
        printer.columns = printedTo == "narrow.pdf" ? 239 : 0;
        printer.failAtLine = printedTo == "jam.pdf" ? 0 : -1;
        return printer.share();
    };
    const tess::cli::PngRenderer png =
        [](const std::vector<tess::ChartLine>& lines, tess::TextEncoding, int32_t,
           const tess::ChartFrame& frame, std::string& bytes, std::string&) {
            bytes = "PNG of " + std::to_string(lines.size()) + " lines: " + frame.title + "\n";
            return true;
        };
    const std::string data = TESSALINE_TEST_DATA, tmp = dir.path().string();
    const std::string got =
        replay("cli/transcript.txt", "$ ", [&](const std::string& line, const std::string&) {
            const auto before = filesIn(dir);
            printer = RecordingPrinter();
            printedTo.clear();
            std::ostringstream out, err;
            // "bare" runs a command in a build with no printer and no picture maker.
            const bool bare = line.starts_with("bare ");
            const int status = tess::cli::run(
                splitWords(
                    replaceAll(replaceAll(line.substr(bare ? 5 : 0), "$DATA", data), "$TMP", tmp)),
                out, err, false, bare ? nullptr : pdf, bare ? nullptr : png);
            std::string said = out.str();
            std::istringstream errors(err.str());
            for (std::string l; std::getline(errors, l);)
                said += "! " + l + "\n";
            said += "[exit " + std::to_string(status) + "]\n";
            if (!printedTo.empty()) {
                size_t lines = 0;
                for (const auto& page : printer.pages)
                    lines += page.size();
                said += "[printed " + std::to_string(printer.pages.size()) + " pages, " +
                        std::to_string(lines) + " lines" + (printer.ended ? "" : ", not ended") +
                        "]\n";
            }
            for (const auto& [name, bytes] : filesIn(dir)) {
                if (before.count(name) && before.at(name) == bytes)
                    continue;
                said += "[wrote " + name + "]\n";
                std::istringstream written(bytes);
                for (std::string l; std::getline(written, l);)
                    said += "| " + l + "\n";
            }
            return said;
        });
    expectGolden(replaceAll(replaceAll(got, tmp, "$TMP"), data, "$DATA"), "cli/transcript.txt");
}
