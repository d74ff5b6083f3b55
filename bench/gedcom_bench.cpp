// Importing a GEDCOM file of 32,767 people (about 10 MB) as Files > Import and tessaline-cli
// import do, against the floor of reading its bytes and splitting them into lines; and the
// peak memory of a process that does only that import.
#include "peak_memory.h"

#include "core/file_io.h"
#include "core/import_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A family file of the size a dataset holds at most: 32,767 individuals, each born and dead in
// places of a few hundred towns, with an occupation, a two-line note and every other one a
// residence; 16,000 families, each with a marriage. 32,383 events in all, 2,000 surnames. With
// familiesFirst the families come before the individuals, which makes the file be read twice.
std::string makeGedcom(bool familiesFirst) {
    static constexpr std::array<const char*, 8> given = {"Anna",  "Lars", "Karin",  "Johan",
                                                         "Maria", "Erik", "Sigrid", "Nils"};
    static constexpr std::array<const char*, 6> lands = {"Sweden", "Germany", "Ireland",
                                                         "Italy",  "Norway",  "USA"};
    static constexpr std::array<const char*, 12> months = {
        "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    constexpr int people = 32767, families = 16000;
    std::string text;
    text.reserve(11u << 20);
    char line[256];
    auto add = [&text, &line](int n) { text.append(line, static_cast<size_t>(n)); };
    auto place = [](int k) {
        return "Town " + std::to_string(k % 400) + ", County " + std::to_string(k % 37) + ", " +
               lands[static_cast<size_t>(k % 6)];
    };
    for (int i = 1; i <= people; ++i) {
        const int born = 1500 + (i * 7) % 480;
        add(std::snprintf(line, sizeof line, "0 @I%d@ INDI\n1 NAME %s %s /Surname%d/\n1 SEX %c\n",
                          i, given[static_cast<size_t>(i % 8)],
                          given[static_cast<size_t>((i / 8) % 8)], i % 2000, i % 2 ? 'M' : 'F'));
        add(std::snprintf(line, sizeof line, "1 BIRT\n2 DATE %d %s %d\n2 PLAC %s\n", 1 + i % 28,
                          months[static_cast<size_t>(i % 12)], born, place(i).c_str()));
        add(std::snprintf(line, sizeof line, "1 DEAT\n2 DATE %s%d\n2 PLAC %s\n",
                          i % 5 ? "" : "ABT ", born + 20 + i % 70, place(i * 3).c_str()));
        add(std::snprintf(line, sizeof line, "1 OCCU Occupation %d\n", i % 200));
        if (i % 2 == 0)
            add(std::snprintf(line, sizeof line, "1 RESI\n2 DATE FROM %d TO %d\n2 PLAC %s\n",
                              born + 18, born + 30, place(i * 7).c_str()));
        add(std::snprintf(line, sizeof line,
                          "1 NOTE Remembered by the family as a kind and\n2 CONT careful "
                          "person.\n1 FAMS @F%d@\n",
                          1 + i % families));
    }
    const size_t individuals = text.size();
    for (int f = 1; f <= families; ++f)
        add(std::snprintf(line, sizeof line,
                          "0 @F%d@ FAM\n1 HUSB @I%d@\n1 WIFE @I%d@\n1 MARR\n2 DATE %d\n2 PLAC "
                          "%s\n",
                          f, 2 * f - 1, 2 * f, 1520 + (f * 7) % 470, place(f * 11).c_str()));
    if (familiesFirst)
        std::rotate(text.begin(), text.begin() + static_cast<ptrdiff_t>(individuals), text.end());
    return "0 HEAD\n1 SOUR gedcom_bench\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n" + text + "0 TRLR\n";
}

struct Fixture {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "tessaline-gedcom";
    std::string path = (folder / "family.ged").string();
    std::string familiesFirstPath = (folder / "families_first.ged").string();
    std::string bytes = makeGedcom(false);
    Fixture() {
        std::filesystem::create_directories(folder);
        tess::writeFileAtomic(path, bytes);
        tess::writeFileAtomic(familiesFirstPath, makeGedcom(true));
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_GedcomReadFloor(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench_support::readAndCountLines(f.path));
    }
    state.counters["file_MB"] = static_cast<double>(f.bytes.size()) / (1 << 20);
}

// The whole import: the file read, parsed, the entries built into a dataset and checked.
// Argument 1: the families come first.
void BM_ImportGedcom(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        tess::ImportResult r = tess::importFile(state.range(0) ? f.familiesFirstPath : f.path);
        if (r.people != 32767)
            state.SkipWithError("the people were not all imported");
        benchmark::DoNotOptimize(r.dataset.numEvents);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

// Peak memory is a property of a whole process, so it is measured in a child that does only
// the import.
void BM_PeakMemoryGedcomImport(benchmark::State& state) {
    Fixture& f = fixture();
    double megabytes = 0;
    for (auto _ : state)
        megabytes = bench_support::peakMegabytesOfChild({f.path});
    const double fileMegabytes = static_cast<double>(f.bytes.size()) / (1 << 20);
    state.counters["peak_MB"] = megabytes;
    state.counters["budget_MB"] = 4 * fileMegabytes + 50;
}

} // namespace

BENCHMARK(BM_GedcomReadFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportGedcom)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemoryGedcomImport)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--peak-memory") {
        const tess::ImportResult r = tess::importFile(argv[2]);
        bench_support::writePeakMegabytes(argv[3]);
        return r.people == 32767 ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
