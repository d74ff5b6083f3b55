#pragma once

#include "core/dataset.h"
#include "core/printer.h"

#include <QFont>
#include <QPainter>
#include <QString>

#include <memory>

class QPrinter;

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

private:
    int toTwips(int deviceUnits) const;

    QPrinter& printer_;
    tess::TextEncoding encoding_;
    QPainter painter_;
    QFont font_;
    int lineHeight_ = 0;
    int ascent_ = 0;
    int y_ = 0;
    long long columns_ = 0;
    bool started_ = false;
};

// A printer that writes a PDF file, for printing without a display.
std::unique_ptr<tess::Printer> openPdfPrinter(const QString& path, tess::TextEncoding encoding);

} // namespace ui
