// Printing to PDF through the program's printer: the sample's People chart whole, and a
// maximal chart limited to 200 years by Start Year and End Year.
#include "dataset_generator.h"
#include "qt_bench.h"

#include "core/qd3_file.h"
#include "timeline/chart.h"
#include "timeline/chart_printing.h"
#include "timeline/selection.h"
#include "ui/qt_printer.h"

#include <QDir>

#include <filesystem>

namespace {

// Counts the pages a print starts, passing everything on.
class CountingPrinter : public tess::Printer {
public:
    explicit CountingPrinter(std::unique_ptr<tess::Printer> inner) : inner_(std::move(inner)) {}
    int pages = 0;
    void newPage() override {
        ++pages;
        inner_->newPage();
    }
    void printLine(std::string_view text) override { inner_->printLine(text); }
    int currentY() const override { return inner_->currentY(); }
    int pageHeight() const override { return inner_->pageHeight(); }
    void endDocument() override { inner_->endDocument(); }
    void abortDocument() override { inner_->abortDocument(); }

private:
    std::unique_ptr<tess::Printer> inner_;
};

QString pdfPath() {
    return QDir::temp().filePath(QStringLiteral("tessaline-print-bench.pdf"));
}

void printChart(benchmark::State& st, const tess::Dataset& ds, const tess::Chart& chart,
                const tess::TimelinePrintRequest& request) {
    int pages = 0;
    for (auto _ : st) {
        CountingPrinter printer(ui::openPdfPrinter(pdfPath(), ds.encoding));
        tess::printTimeline(printer, chart.lines, ds.encoding, ds.earliestDate, ds.latestDate,
                            request);
        pages = printer.pages;
    }
    st.counters["pages"] = pages;
    st.counters["pages_per_second"] =
        benchmark::Counter(static_cast<double>(pages) * static_cast<double>(st.iterations()),
                           benchmark::Counter::kIsRate);
    std::filesystem::remove(pdfPath().toStdString());
}

void BM_PrintSamplePeopleChart(benchmark::State& st) {
    tess::Dataset ds;
    tess::readDataset(ds, TESSALINE_PROGRAM_DATA "/sample.qd3");
    tess::applyPeopleSelection(ds);
    tess::applyEventSelection(ds);
    tess::computeChartRange(ds);
    const tess::Chart chart = tess::buildPeopleChart(ds, tess::kindFactions);
    printChart(st, ds, chart, {"80", "", ""});
}

// The 200 years from 1000 to 1199 of a maximal chart, 80 years a strip.
void BM_PrintMaximalChart200Years(benchmark::State& st) {
    tess::Dataset ds = bench_support::makeMaximalDataset();
    tess::computeChartRange(ds);
    const tess::Chart chart = tess::buildPeopleChart(ds, tess::kindFactions);
    printChart(st, ds, chart, {"80", "1000", "1199"});
}

} // namespace

BENCHMARK(BM_PrintSamplePeopleChart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintMaximalChart200Years)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) {
    return bench_support::runWithQt(argc, argv);
}
