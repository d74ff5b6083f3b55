#include "core/file_error.h"
#include "core/gedcom_file.h"
#include "core/import_file.h"
#include "core/text_encoding.h"

#include "support/test.h"

namespace {

std::string years(int first, int16_t firstType, int last, int16_t lastType) {
    auto year = [](int y, int16_t type) {
        return (type == dateApprox ? "~" : "") + std::to_string(y);
    };
    return year(first, firstType) + ".." + year(last, lastType);
}

// The summary of a file's import and every person and event it made, with its dates, its
// categories and its description; or the message it was refused with.
std::string listing(const std::filesystem::path& file) {
    std::string out = "== " + file.filename().string() + "\n";
    try {
        const ImportResult r = importFile(file.string());
        const Dataset& ds = r.dataset;
        auto show = [&ds](const std::string& text) { return displayText(text, ds.encoding, 70); };
        auto category = [&](const CategoryTable& t, int16_t k) {
            return k == 0 ? std::string() : show(t.names[static_cast<size_t>(k)]);
        };
        out += importSummary(r, file.string()) + "\n";
        for (const PersonRecord& p : ds.people)
            out += "person " + years(p.date1, p.date1Type, p.date2, p.date2Type) + " " +
                   show(p.name) + " [" + category(ds.factions, p.faction) + " / " +
                   category(ds.occupations, p.occupation) + "] " + show(p.desc) + " p" +
                   std::to_string(p.priority) + "\n";
        for (const EventRecord& e : ds.events)
            out += "event " + years(e.date1, e.date1Type, e.date2, e.date2Type) + " " +
                   show(e.name) + " [" + category(ds.groups, e.group) + " / " +
                   category(ds.nations, e.nation1) + category(ds.nations, e.nation2) + "] " +
                   show(e.desc) + " p" + std::to_string(e.priority) + "\n";
    } catch (const FileError& e) {
        out += std::string(e.what()) + "\n";
    }
    return out;
}

} // namespace

// Every GEDCOM file the tests hold, the hostile ones too, imports as its listing says: the
// people and events each rule makes, and the line each damaged file is refused at.
TEST(GedcomImport, FilesImportAsListed) {
    std::string got;
    for (const char* folder : {"gedcom", "hostile"})
        for (const auto& file : dataFiles(folder, ".ged"))
            got += listing(file);
    expectGolden(got, "gedcom/listing.txt");
}

// More people or events than a dataset holds are refused before anything is made, and
// without reading on to the end of the file (this one has none).
TEST(GedcomImport, RefusesMoreThanADatasetHolds) {
    for (const std::string kind : {"BIRT", "RESI"}) {
        std::string text = "0 HEAD\n";
        for (int i = 0; i <= maxEntries + 1; ++i)
            text += "0 INDI\n1 " + kind + "\n2 DATE 1900\n";
        EXPECT_EQ(failureOf([&text] { importGedcomText(text); }),
                  "The file holds more than 32767 " +
                      std::string(kind == "BIRT" ? "people" : "events") +
                      ", the most a dataset can; nothing was imported.");
    }
}
