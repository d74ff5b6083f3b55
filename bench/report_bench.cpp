// The reports on a maximal dataset: the listing with every column, an age report and an
// "In my life..." report built, and the report writer showing the whole listing.
#include "dataset_generator.h"
#include "qt_bench.h"

#include "reports/report_text.h"
#include "reports/report_windows.h"
#include "state/app_state.h"
#include "ui/chart_view.h"
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

tess::Dataset& maximal() {
    static tess::Dataset ds = bench_support::makeMaximalDataset();
    return ds;
}

tess::ListingColumns everyColumn() {
    tess::ListingColumns c;
    c.dates = c.groupings = c.descriptions = c.image = c.url = true;
    return c;
}

void BM_ListingEveryColumn(benchmark::State& st) {
    const tess::Dataset& ds = maximal();
    size_t bytes = 0;
    for (auto _ : st) {
        const std::string text =
            tess::buildListing(ds, tess::Side::people, -32768, 32767, everyColumn());
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    st.counters["bytes"] = static_cast<double>(bytes);
}

// An age report for an event in the middle of the array.
void BM_AgeReport(benchmark::State& st) {
    const tess::Dataset& ds = maximal();
    for (auto _ : st)
        benchmark::DoNotOptimize(tess::ageReport(ds, ds.numEvents / 2).size());
}

void BM_InMyLifeReport(benchmark::State& st) {
    const tess::Dataset& ds = maximal();
    // The longest life of the first thousand, so that many events fall within it.
    int longest = 0;
    for (int i = 0; i < 1000; ++i) {
        const auto& p = ds.people[static_cast<size_t>(i)];
        const auto& l = ds.people[static_cast<size_t>(longest)];
        if (p.date2 - p.date1 > l.date2 - l.date1)
            longest = i;
    }
    size_t bytes = 0;
    for (auto _ : st) {
        const std::string text = tess::inMyLifeReport(ds, longest);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    st.counters["bytes"] = static_cast<double>(bytes);
}

// OK pressed with every column over every person: the listing built and shown, painted once.
void BM_ReportWindowShowsListing(benchmark::State& st) {
    ui::QtDialogs dialogs;
    tess::AppState state(dialogs);
    state.dataset = maximal();
    tess::ReportWriter window(state);
    window.show();
    for (const char* name : {"Check1", "Check2", "Check3", "Check4", "Check5"})
        window.findChild<QCheckBox*>(QString::fromLatin1(name))->setChecked(true);
    auto* listing = window.findChild<tess::ChartView*>(QStringLiteral("Text1"));
    for (auto _ : st) {
        window.cmdOK_Click();
        bench_support::paintNow(listing->viewport());
    }
}

// Scrolling the shown listing by a page and painting.
void BM_ReportWindowScrollPage(benchmark::State& st) {
    ui::QtDialogs dialogs;
    tess::AppState state(dialogs);
    state.dataset = maximal();
    tess::ReportWriter window(state);
    window.show();
    window.cmdOK_Click();
    auto* listing = window.findChild<tess::ChartView*>(QStringLiteral("Text1"));
    if (listing->lineCount() < 30000)
        st.SkipWithError("the listing is not the whole dataset");
    QScrollBar* bar = listing->verticalScrollBar();
    for (auto _ : st) {
        bar->setValue((bar->value() + bar->pageStep()) % std::max(1, bar->maximum()));
        bench_support::paintNow(listing->viewport());
    }
}

} // namespace

BENCHMARK(BM_ListingEveryColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AgeReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InMyLifeReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportWindowShowsListing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportWindowScrollPage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench_support::runWithQt(argc, argv);
}
