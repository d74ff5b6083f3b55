// The entry windows on a maximal dataset: opening one (its name list of 32767 lines filled)
// and storing a changed first date (the re-sort and the list refill).
#include "dataset_generator.h"
#include "qt_bench.h"

#include "entry/entry_window.h"
#include "state/app_state.h"
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

struct Program {
    ui::QtDialogs dialogs;
    tess::AppState state{dialogs};
    Program() {
        state.dataset = bench_support::makeMaximalDataset();
        state.dataset.curPerson = 16000;
    }
};

void BM_OpenPeopleEntry(benchmark::State& st) {
    Program program;
    for (auto _ : st) {
        tess::EntryWindow window(program.state, tess::Side::people);
        window.show();
    }
}

// Moves the shown person from the middle to the front and back again: each store re-sorts
// the whole array in one pass and refills the name list.
void BM_StoreChangedFirstDate(benchmark::State& st) {
    Program program;
    tess::EntryWindow window(program.state, tess::Side::people);
    window.show();
    auto* firstDate = window.findChild<QLineEdit*>(QStringLiteral("date1"));
    bool front = true;
    for (auto _ : st) {
        firstDate->setText(QString::number(front ? -4500 : 1995));
        window.storeEntry(program.state.dataset.curPerson);
        front = !front;
    }
}

} // namespace

BENCHMARK(BM_OpenPeopleEntry)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreChangedFirstDate)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench_support::runWithQt(argc, argv);
}
