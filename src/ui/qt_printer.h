#pragma once

#include "core/dataset.h"
#include "core/printer.h"

#include <QFont>
#include <QPainter>
#include <QString>

#include <memory>

class QIODevice;
class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

namespace tess {
class PendingFile;
}

namespace ui {

// The program's printer: lines of text down the page on a QPrinter (the one chosen in the
// printer set-up dialog, or a PDF file), in a fixed-pitch font so that chart strips and report
// columns line up.
class QtPrinter : public tess::Printer {
public:
    QtPrinter(QPrinter& printer, tess::TextEncoding encoding);
    ~QtPrinter() override;

    void newPage() override;
    void printLine(std::string_view text) override;
    int currentY() const override;
    int pageHeight() const override;
    void endDocument() override;
    void abortDocument() override;
    void fitColumns(long long columns) override { columns_ = columns; }
    long long maxColumns() const override;

private:
    int toTwips(int deviceUnits) const;
    int resolution() const;
    // Starts the document: on the printer, or for a PDF file on a new file beside it.
    void begin();

    QPrinter& printer_;
    // A PDF document goes to a file of its own beside the one named, which it replaces only
    // once complete, so that a failed print leaves the old file and says why.
    std::unique_ptr<tess::PendingFile> pending_;
    std::unique_ptr<QIODevice> pdfFile_;
    std::unique_ptr<QPdfWriter> pdf_;
    QPagedPaintDevice* device_ = nullptr;
    tess::TextEncoding encoding_;
    QPainter painter_;
    QFont font_;
    int lineHeight_ = 0;
    int ascent_ = 0;
    int y_ = 0;
    long long columns_ = 0;
    bool started_ = false;
};

class Dialogs;

// The printer chosen in the printer set-up, for one print. When it prints to a PDF file that
// has no name yet (the last print used it up), the name is asked for, proposing lastPdf, which
// keeps the choice; nothing when that is cancelled.
std::unique_ptr<tess::Printer> openChosenPrinter(QPrinter& printer, Dialogs& dialogs,
                                                 QString& lastPdf, tess::TextEncoding encoding);

// A printer that writes a PDF file, for printing without a display.
std::unique_ptr<tess::Printer> openPdfPrinter(const QString& path, tess::TextEncoding encoding);

} // namespace ui
