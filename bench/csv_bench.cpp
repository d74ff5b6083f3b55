// CSV export and import of a maximal dataset, and the peak memory of an import as the terminal
// companion makes it.
#include "dataset_generator.h"
#include "peak_memory.h"

#include "core/csv_file.h"
#include "core/file_io.h"
#include "core/import_file.h"
#include "core/qd3_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Fixture {
    std::string folder = (std::filesystem::temp_directory_path() / "tessaline-csv-bench").string();
    std::string csv = folder + "/maximal.csv";
    tess::Dataset ds = bench_support::makeMaximalDataset();
    size_t csvBytes = 0;
    Fixture() {
        std::filesystem::create_directories(folder);
        tess::writeEntriesCsv(ds, csv);
        csvBytes = std::filesystem::file_size(csv);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Files > Export as CSV: the rows made and written atomically.
void BM_ExportCsv(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        tess::writeEntriesCsv(f.ds, f.folder + "/written.csv");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.csvBytes));
}

void BM_FormatEntriesCsv(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(tess::formatEntriesCsv(f.ds));
}

// An import of the maximal CSV file: read, parse, build the dataset; freeing it is not timed.
void BM_ImportCsv(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        auto result = std::make_unique<tess::ImportResult>(tess::importFile(f.csv));
        benchmark::DoNotOptimize(result->people);
        state.PauseTiming();
        result.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.csvBytes));
}

// Peak memory is the whole process's, so a child does only what `tessaline-cli import` does:
// import the file and write the dataset. The goal is four times the file's size and 50 MB.
void BM_ImportCsvPeakMemory(benchmark::State& state) {
    Fixture& f = fixture();
    double megabytes = 0;
    for (auto _ : state)
        megabytes = bench_support::peakMegabytesOfChild({f.csv, f.folder + "/peak.qd3"});
    state.counters["peak_MB"] = megabytes;
    state.counters["goal_MB"] = 4.0 * static_cast<double>(f.csvBytes) / (1 << 20) + 50;
}

} // namespace

BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatEntriesCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportCsvPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--peak-memory") {
        tess::ImportResult result = tess::importFile(argv[2]);
        tess::writeDataset(result.dataset, argv[3]);
        bench_support::writePeakMegabytes(argv[4]);
        return 0;
    }
    // The maximal dataset as a file, for measuring the terminal companion on it.
    if (argc == 3 && std::string(argv[1]) == "--write-maximal") {
        tess::Dataset ds = bench_support::makeMaximalDataset();
        tess::writeDataset(ds, argv[2]);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
