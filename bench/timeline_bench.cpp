// Opening and scrolling the timeline windows on a maximal dataset and on one whose charts span
// the whole year range, the program's peak memory with both open, the Select window over full
// category tables, and our chart view against a QTextEdit filled line by line.
#include "dataset_generator.h"
#include "peak_memory.h"
#include "qt_bench.h"

#include "app/document_controller.h"
#include "app/find_window.h"
#include "core/file_io.h"
#include "core/qd3_file.h"
#include "state/app_state.h"
#include "timeline/chart.h"
#include "timeline/chart_export.h"
#include "timeline/select_window.h"
#include "timeline/selection.h"
#include "timeline/timeline_window.h"
#include "ui/chart_view.h"
#include "ui/qt_dialogs.h"
#include "ui/year_ruler.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::string writtenOnce(const char* name, tess::Dataset (*make)()) {
    const auto folder = std::filesystem::temp_directory_path() / "tessaline-timeline-bench";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / name).string();
    tess::Dataset ds = make();
    tess::writeDataset(ds, file);
    return file;
}

std::string maximalFile() {
    static const std::string path =
        writtenOnce("maximal.qd3", [] { return bench_support::makeMaximalDataset(); });
    return path;
}

std::string wideSpanFile() {
    static const std::string path =
        writtenOnce("wide-span.qd3", [] { return bench_support::makeWideSpanDataset(); });
    return path;
}

// The dataset as Files > Open leaves it.
void openAsTheProgramDoes(tess::Dataset& ds, const std::string& file) {
    tess::readDataset(ds, file);
    tess::applyPeopleSelection(ds);
    tess::applyEventSelection(ds);
    tess::computeChartRange(ds);
}

using bench_support::paintNow;

// A window's control by its object name, found once, outside the timed loops.
template <class T> T* control(const QObject& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}
tess::ChartView* chartOf(const QObject& window) {
    return control<tess::ChartView>(window, "rtbox1");
}

struct Windows {
    std::unique_ptr<tess::TimelineWindow> people, events;
    void open(tess::AppState& state) {
        people = std::make_unique<tess::TimelineWindow>(state, tess::Side::people);
        people->show();
        paintNow(chartOf(*people)->viewport());
        events = std::make_unique<tess::TimelineWindow>(state, tess::Side::events);
        events->show();
        paintNow(chartOf(*events)->viewport());
    }
};

struct Program {
    ui::QtDialogs dialogs;
    tess::AppState state{dialogs};
    explicit Program(const std::string& file = maximalFile()) {
        openAsTheProgramDoes(state.dataset, file);
        state.settings.peopleWindowRect = tess::WindowRect{0, 0, 14400, 7200};
        state.settings.eventsWindowRect = tess::WindowRect{0, 7200, 14400, 7200};
    }
};

void BM_OpenBothTimelines(benchmark::State& st) {
    Program program(st.range(0) == 0 ? maximalFile() : wideSpanFile());
    for (auto _ : st) {
        Windows w;
        w.open(program.state);
        st.PauseTiming();
        w = Windows();
        st.ResumeTiming();
    }
}

// A scroll step down (0) or sideways (1), painted: sideways, the year ruler scrolls too.
void BM_ScrollStep(benchmark::State& st) {
    Program program;
    Windows w;
    w.open(program.state);
    tess::ChartView* chart = chartOf(*w.people);
    auto* ruler = control<QWidget>(*w.people, "ruler");
    const bool sideways = st.range(0) == 1;
    QScrollBar* bar = sideways ? chart->horizontalScrollBar() : chart->verticalScrollBar();
    // Scrolled far right as well, where the bars of the latest years are.
    chart->horizontalScrollBar()->setValue(chart->horizontalScrollBar()->maximum() / 2);
    for (auto _ : st) {
        const int step = sideways ? bar->singleStep() : 1;
        bar->setValue(bar->value() + step > bar->maximum() ? 0 : bar->value() + step);
        paintNow(chart->viewport());
        if (sideways)
            paintNow(ruler);
    }
}

// A zoom step on both timelines, out from one year a character to a hundred and back in,
// with both charts painted.
void BM_ZoomStepBothTimelines(benchmark::State& st) {
    Program program(st.range(0) == 0 ? maximalFile() : wideSpanFile());
    Windows w;
    w.open(program.state);
    bool out = true;
    for (auto _ : st) {
        for (tess::TimelineWindow* window : {w.people.get(), w.events.get()}) {
            out ? window->zoomOut() : window->zoomIn();
            paintNow(chartOf(*window)->viewport());
        }
        const int step = w.people->zoomStep();
        if (step == tess::zoomSteps.back() || step == tess::zoomSteps.front())
            out = !out;
    }
}

// Fit on both timelines from one year a character, painted.
void BM_ZoomFitBothTimelines(benchmark::State& st) {
    Program program(st.range(0) == 0 ? maximalFile() : wideSpanFile());
    Windows w;
    w.open(program.state);
    for (auto _ : st) {
        st.PauseTiming();
        w.people->setZoomStep(1);
        w.events->setZoomStep(1);
        st.ResumeTiming();
        for (tess::TimelineWindow* window : {w.people.get(), w.events.get()}) {
            window->zoomToFit();
            paintNow(chartOf(*window)->viewport());
        }
    }
}

// One frame of the year ruler, the pointer over it, at one year a character (0) and at a
// hundred (1).
void BM_RulerPaint(benchmark::State& st) {
    Program program(wideSpanFile());
    Windows w;
    w.open(program.state);
    w.people->setZoomStep(st.range(0) == 0 ? 1 : 100);
    auto* ruler = control<tess::YearRuler>(*w.people, "ruler");
    ruler->setHoverColumn(40);
    for (auto _ : st)
        paintNow(ruler);
}

// Peak memory is a property of a whole process, so it is measured in a child that does only
// what the program does: open the file, filter, show both timelines and zoom them through
// every step.
void BM_PeakMemoryBothOpen(benchmark::State& st) {
    const std::string file = st.range(0) == 0 ? maximalFile() : wideSpanFile();
    double megabytes = 0;
    for (auto _ : st)
        megabytes = bench_support::peakMegabytesOfChild({file});
    st.counters["peak_MB"] = megabytes;
}

// The Select window over two tables of 32767 categories each, every other one included.
struct SelectProgram : Program {
    SelectProgram() { bench_support::setCategoryTables(state.dataset, tess::maxEntries); }
};

void BM_SelectWindowOpen(benchmark::State& st) {
    SelectProgram program;
    for (auto _ : st) {
        tess::SelectWindow select(program.state, tess::Side::people);
        select.show();
        paintNow(control<QListWidget>(select, "List1")->viewport());
        paintNow(control<QListWidget>(select, "List2")->viewport());
    }
}

// All or No on one table, with the list repainted.
void BM_SelectAllOrNo(benchmark::State& st) {
    SelectProgram program;
    tess::SelectWindow select(program.state, tess::Side::people);
    select.show();
    const bool all = st.range(0) == 1;
    auto* allButton = control<QPushButton>(select, "cmdallFactions");
    auto* noButton = control<QPushButton>(select, "cmdNoFactions");
    auto* list = control<QListWidget>(select, "List2");
    for (auto _ : st) {
        st.PauseTiming();
        (all ? noButton : allButton)->click();
        st.ResumeTiming();
        (all ? allButton : noButton)->click();
        paintNow(list->viewport());
    }
}

void BM_SelectOK(benchmark::State& st) {
    SelectProgram program;
    for (auto _ : st) {
        st.PauseTiming();
        auto select = std::make_unique<tess::SelectWindow>(program.state, tess::Side::people);
        select->show();
        auto* ok = control<QPushButton>(*select, "cmdOK");
        st.ResumeTiming();
        ok->click();
        st.PauseTiming();
        select.reset();
        st.ResumeTiming();
    }
}

// A chart of n lines, each `width` characters: blanks, then a label, a bar and a name.
std::vector<tess::ChartLine> syntheticChart(int n, int width) {
    std::vector<tess::ChartLine> lines;
    for (int i = 0; i < n; ++i) {
        tess::ChartLine l =
            tess::buildChartLineParts("Hypatia of Alexandria", 1900, 0, 1960, 1, 1900);
        l.lead = std::max(1, width - static_cast<int>(l.width() - l.lead));
        l.color = (i * 2654435761u) & 0xFFFFFF;
        lines.push_back(std::move(l));
    }
    return lines;
}

void BM_ChartViewFill(benchmark::State& st) {
    const auto lines = syntheticChart(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
    for (auto _ : st) {
        tess::ChartView view;
        view.resize(1000, 600);
        view.setBackgroundColor(0xFFFFFF);
        view.setChart(lines, tess::TextEncoding::windows1252);
        view.show();
        paintNow(view.viewport());
    }
}

// The hand-over as a rich-text box does it: hide, clear, the first line replaces the text,
// every further line is appended as a line break and its text in its colour, show.
void BM_QTextEditFill(benchmark::State& st) {
    const auto lines = syntheticChart(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
    for (auto _ : st) {
        QTextEdit box;
        box.resize(1000, 600);
        box.setFont(tess::chartFont());
        box.setLineWrapMode(QTextEdit::NoWrap);
        box.hide();
        box.clear();
        QTextCursor cursor(box.document());
        for (size_t i = 0; i < lines.size(); ++i) {
            QTextCharFormat format;
            const int32_t c = lines[i].color;
            format.setForeground(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
            cursor.movePosition(QTextCursor::End);
            const QString text = QString::fromStdString(lines[i].text());
            cursor.insertText(i == 0 ? text : QStringLiteral("\r\n") + text, format);
        }
        box.show();
        paintNow(box.viewport());
    }
}

// Export of a whole people chart as an SVG picture, written with the atomic writer: the
// file's size is reported.
void BM_ExportSvg(benchmark::State& st) {
    tess::Dataset ds;
    openAsTheProgramDoes(ds, st.range(0) == 0 ? maximalFile() : wideSpanFile());
    const tess::Chart chart = tess::buildPeopleChart(ds, tess::kindFactions);
    const std::string out =
        (std::filesystem::temp_directory_path() / "tessaline-export.svg").string();
    const tess::ChartFrame frame =
        tess::chartFrame(ds, tess::Side::people, tess::kindFactions, 1, tess::YearStyle::readable,
                         "People Timeline (colored by faction)");
    size_t bytes = 0;
    for (auto _ : st) {
        const std::string svg = tess::chartSvg(chart.lines, ds.encoding, 0xFFFFFF, frame);
        tess::writeFileAtomic(out, svg);
        bytes = svg.size();
    }
    st.counters["MB"] = static_cast<double>(bytes) / 1e6;
    st.counters["lines"] = static_cast<double>(chart.lines.size());
    std::filesystem::remove(out);
}

// Typing into Find over the maximal dataset: the search and the list of 200 rows shown.
void BM_FindWindowTyping(benchmark::State& st) {
    Program program;
    tess::FindWindow find(program.state);
    find.show();
    auto* box = control<QLineEdit>(find, "txtFind");
    auto* found = control<QListWidget>(find, "lstFound");
    bool flip = false;
    for (auto _ : st) {
        // Each keystroke a new text: "an" (thousands found) and "ann".
        box->setText((flip = !flip) ? QStringLiteral("an") : QStringLiteral("ann"));
        paintNow(found->viewport());
    }
}

// What the periodic recovery copy of a maximal dataset holds up the window for: the file
// text made on the window's thread; the writing, timed apart, goes on on another.
void BM_PeriodicRecoveryFreeze(benchmark::State& st) {
    Program program;
    const auto folder = std::filesystem::temp_directory_path() / "tessaline-recovery-bench";
    std::filesystem::create_directories(folder);
    program.state.programFolder = folder.string();
    program.state.dataset.fileName = (folder / "maximal.qd3").string();
    program.state.dataset.modified = true;
    tess::DocumentController document(program.state);
    double writing = 0;
    for (auto _ : st) {
        document.writePeriodicRecovery();
        st.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        document.recoveryWriter().wait();
        writing +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        st.ResumeTiming();
    }
    st.counters["background_ms"] = writing / static_cast<double>(st.iterations());
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(BM_PeriodicRecoveryFreeze)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSvg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindWindowTyping)->Unit(benchmark::kMillisecond);
// Argument 0: the maximal dataset; 1: the wide-span one.
BENCHMARK(BM_PeakMemoryBothOpen)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenBothTimelines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectWindowOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAllOrNo)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectOK)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoomStepBothTimelines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomFitBothTimelines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RulerPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartViewFill)
    ->Args({2000, 100})
    ->Args({10000, 100})
    ->Args({2000, 3000})
    ->Args({10000, 3000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QTextEditFill)
    ->Args({2000, 100})
    ->Args({10000, 100})
    ->Args({2000, 3000})
    ->Args({10000, 3000})
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc == 4 && std::string(argv[1]) == "--peak-memory") {
        int qargc = 1;
        QApplication app(qargc, argv);
        ui::QtDialogs dialogs;
        tess::AppState state(dialogs);
        openAsTheProgramDoes(state.dataset, argv[2]);
        Windows w;
        w.open(state);
        // At every zoom step: the peak is the most any step needs.
        for (size_t i = 1; i < tess::zoomSteps.size(); ++i) {
            w.people->zoomOut();
            w.events->zoomOut();
            bench_support::paintNow(chartOf(*w.people)->viewport());
            bench_support::paintNow(chartOf(*w.events)->viewport());
        }
        QCoreApplication::processEvents();
        bench_support::writePeakMegabytes(argv[3]);
        return 0;
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                "tessaline-timeline-bench");
    return 0;
}
