#include "cli/cli.h"
#include "timeline/chart_image.h"
#include "ui/qt_printer.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <unistd.h>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    // Printing to PDF and drawing PNG pictures need Qt's fonts and painter, and no display:
    // the application is made only when a command asks for one of them.
    std::unique_ptr<QGuiApplication> app;
    int qtArgc = 1;
    auto needQt = [&] {
        if (!app) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
            app = std::make_unique<QGuiApplication>(qtArgc, argv);
        }
    };
    const tess::cli::PdfPrinterFactory pdf = [&](const std::string& path,
                                                 tess::TextEncoding encoding) {
        needQt();
        return ui::openPdfPrinter(QFile::decodeName(QByteArray::fromStdString(path)), encoding);
    };
    const tess::cli::PngRenderer png = [&](const std::vector<tess::ChartLine>& lines,
                                           tess::TextEncoding encoding, int32_t background,
                                           const tess::ChartFrame& frame, std::string& bytes,
                                           std::string& why) {
        needQt();
        QString reason;
        const std::optional<QByteArray> picture =
            tess::wholeChartPng(lines, encoding, background, frame, reason);
        if (!picture) {
            why = reason.toStdString();
            return false;
        }
        bytes = picture->toStdString();
        return true;
    };
    return tess::cli::run(args, std::cout, std::cerr, ::isatty(STDOUT_FILENO) != 0, pdf, png);
}
