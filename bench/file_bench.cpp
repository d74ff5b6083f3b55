// Reading and writing a maximal dataset file, against the floor of merely reading the same
// bytes and splitting them into lines.
#include "dataset_generator.h"
#include "peak_memory.h"

#include "core/file_io.h"
#include "core/find.h"
#include "core/merge.h"
#include "core/qd3_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

struct Fixture {
    std::string folder;
    std::string path;
    tess::Dataset ds;
    std::string bytes;
    Fixture() {
        folder = (std::filesystem::temp_directory_path() / "tessaline-bench").string();
        std::filesystem::create_directories(folder);
        path = folder + "/maximal.qd3";
        ds = bench_support::makeMaximalDataset();
        bytes = tess::formatDataset(ds);
        tess::writeFileAtomic(path, bytes);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadFloor(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench_support::readAndCountLines(f.path));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

// Reading into a fresh dataset, as the first Files > Open does; freeing it is not timed.
void BM_ReadDataset(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        auto ds = std::make_unique<tess::Dataset>();
        tess::readDataset(*ds, f.path);
        benchmark::DoNotOptimize(ds->numPeople);
        state.PauseTiming();
        ds.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

// Reading over a dataset of the same size, as a later Files > Open does: the old entries are
// freed as part of it.
void BM_ReadDatasetReplacing(benchmark::State& state) {
    Fixture& f = fixture();
    tess::Dataset ds;
    tess::readDataset(ds, f.path);
    for (auto _ : state) {
        tess::readDataset(ds, f.path);
        benchmark::DoNotOptimize(ds.numPeople);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void BM_WriteFloor(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        tess::writeFileAtomic(f.folder + "/floor.qd3", f.bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void BM_WriteDataset(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        tess::writeDataset(f.ds, f.folder + "/written.qd3");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void BM_FormatDataset(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(tess::formatDataset(f.ds));
}

// Files > Merge datasets of two datasets of 16000 people and 16000 events each: reading the
// second file whole, checking it and appending it. Copying the first dataset back before each
// run is not timed.
void BM_MergeDatasets(benchmark::State& state) {
    Fixture& f = fixture();
    const tess::Dataset first = bench_support::makeMaximalDataset(1, 16000, 16000);
    const std::string second = f.folder + "/second.qd3";
    tess::writeFileAtomic(second,
                          tess::formatDataset(bench_support::makeMaximalDataset(2, 16000, 16000)));
    for (auto _ : state) {
        state.PauseTiming();
        auto ds = std::make_unique<tess::Dataset>(first);
        state.ResumeTiming();
        tess::mergeDataset(*ds, second);
        benchmark::DoNotOptimize(ds->numPeople);
        state.PauseTiming();
        ds.reset();
        state.ResumeTiming();
    }
}

// The Yes answer of Files > Save with half of a maximal dataset selected: only the selected
// entries formatted and written atomically.
void BM_SaveSelectedHalf(benchmark::State& state) {
    Fixture& f = fixture();
    tess::Dataset ds = f.ds;
    for (size_t i = 0; i < ds.people.size(); ++i)
        ds.people[i].selected = i % 2 == 0 ? 1 : 0;
    for (size_t i = 0; i < ds.events.size(); ++i)
        ds.events[i].selected = i % 2 == 0 ? 1 : 0;
    ds.numSelPeople = static_cast<int16_t>((ds.numPeople + 1) / 2);
    ds.numSelEvents = static_cast<int16_t>((ds.numEvents + 1) / 2);
    for (auto _ : state) {
        ds.saveSelectedOnly = tess::boolTrue;
        tess::writeDataset(ds, f.folder + "/select.qd3");
    }
}

// A find as the user types, over every name and description of a maximal dataset: a common
// pair of letters (the list fills at once) and a text found nowhere (every text is read).
void BM_Find(benchmark::State& state) {
    const tess::Dataset& ds = fixture().ds;
    const char* query = state.range(0) == 0 ? "an" : "no such text anywhere";
    for (auto _ : state)
        benchmark::DoNotOptimize(tess::findEntries(ds, query));
}

} // namespace

BENCHMARK(BM_Find)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeDatasets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSelectedHalf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDatasetReplacing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatDataset)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
