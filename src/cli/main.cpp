#include "cli/cli.h"
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
    // Printing to PDF needs Qt's fonts and painter, and no display: the application is made
    // only when a print command asks for a printer.
    std::unique_ptr<QGuiApplication> app;
    int qtArgc = 1;
    const tess::cli::PdfPrinterFactory pdf = [&](const std::string& path,
                                                 tess::TextEncoding encoding) {
        if (!app) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
            app = std::make_unique<QGuiApplication>(qtArgc, argv);
        }
        return ui::openPdfPrinter(QFile::decodeName(QByteArray::fromStdString(path)), encoding);
    };
    return tess::cli::run(args, std::cout, std::cerr, ::isatty(STDOUT_FILENO) != 0, pdf);
}
