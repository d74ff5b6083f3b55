// The category editor on a maximal dataset whose four tables hold 32767 categories each:
// drawing the list (counts included), mapping a click to its line, and pruning.
#include "dataset_generator.h"
#include "qt_bench.h"

#include "categories/categories.h"
#include "categories/category_windows.h"
#include "state/app_state.h"
#include "ui/chart_view.h"
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QImage>
#include <QRadioButton>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const tess::Dataset& fullTables() {
    static const tess::Dataset ds = [] {
        tess::Dataset d = bench_support::makeMaximalDataset();
        bench_support::setCategoryTables(d, tess::maxEntries);
        return d;
    }();
    return ds;
}

// Choosing a table in the open editor: every entry counted, 32,768 lines made and painted.
void BM_EditorShowsFullTable(benchmark::State& st) {
    ui::QtDialogs dialogs;
    tess::AppState state(dialogs);
    state.dataset = fullTables();
    tess::EditGroupings window(state);
    window.show();
    auto* list = window.findChild<tess::ChartView*>(QStringLiteral("rtbox1"));
    auto* factions = window.findChild<QRadioButton*>(QStringLiteral("Option1"));
    auto* nationsOption = window.findChild<QRadioButton*>(QStringLiteral("Option4"));
    bool nations = false;
    for (auto _ : st) {
        (nations ? nationsOption : factions)->click();
        bench_support::paintNow(list->viewport());
        nations = !nations;
    }
    if (list->lineCount() != tess::maxEntries + 1)
        st.SkipWithError("the list does not hold the whole table");
}

// A click's position mapped to its line, scrolled to the middle of the list.
void BM_EditorClickToLine(benchmark::State& st) {
    ui::QtDialogs dialogs;
    tess::AppState state(dialogs);
    state.dataset = fullTables();
    tess::EditGroupings window(state);
    window.show();
    auto* list = window.findChild<tess::ChartView*>(QStringLiteral("rtbox1"));
    list->verticalScrollBar()->setValue(16000);
    int line = 0;
    for (auto _ : st)
        benchmark::DoNotOptimize(line = list->hitAt(QPoint(5, 40)).line);
    if (line < 16000)
        st.SkipWithError("the click did not map into the scrolled list");
}

// Prune of a 32767-category table where most categories are unused.
void BM_PruneFullTable(benchmark::State& st) {
    const tess::Dataset& base = fullTables();
    tess::Dataset ds = base;
    const std::vector<int> counts = tess::countUsage(ds).factions;
    for (auto _ : st) {
        st.PauseTiming();
        ds.factions = base.factions;
        st.ResumeTiming();
        tess::pruneCategories(ds, tess::kindFactions, counts);
        benchmark::DoNotOptimize(ds.factions.count);
    }
}

} // namespace

BENCHMARK(BM_EditorShowsFullTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorClickToLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PruneFullTable)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench_support::runWithQt(argc, argv);
}
