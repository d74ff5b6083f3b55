#include "ui/qt_printer.h"

#include "ui/text_codec.h"

#include <QFile>
#include <QFontMetrics>
#include <QFontMetricsF>

#include <QPrinter>
#include <algorithm>

namespace ui {

QtPrinter::QtPrinter(QPrinter& printer, tess::TextEncoding encoding)
    : printer_(printer), encoding_(encoding) {
    font_ = QFont(QStringLiteral("Courier"), 9);
    font_.setStyleHint(QFont::TypeWriter);
    font_.setFixedPitch(true);
}

QtPrinter::~QtPrinter() {
    // A document neither ended nor dropped (a failure part-way) is dropped.
    if (painter_.isActive())
        abortDocument();
}

int QtPrinter::toTwips(int deviceUnits) const {
    const int resolution = printer_.resolution() > 0 ? printer_.resolution() : 72;
    return static_cast<int>(static_cast<long long>(deviceUnits) * 1440 / resolution);
}

void QtPrinter::newPage() {
    if (!started_) {
        const bool pdf = printer_.outputFormat() == QPrinter::PdfFormat;
        // Without a printer Qt falls back to a PDF file, which has no name until one is chosen.
        if (pdf && printer_.outputFileName().isEmpty())
            throw tess::PrintError("No printer is set up. Choose a printer, or printing to a PDF "
                                   "file, in Reports > Setup.");
        if (!painter_.begin(&printer_))
            throw tess::PrintError(
                pdf ? "The PDF file \"" + printer_.outputFileName().toStdString() +
                          "\" could not be written."
                    : std::string("No printer could be started. Choose a printer, or printing "
                                  "to a PDF file, in Reports > Setup."));
        started_ = true;
        // The widest line fits the page: the type is made smaller for it where it must be.
        const QFontMetricsF at9(font_, &printer_);
        const double width = printer_.pageLayout().paintRectPixels(printer_.resolution()).width();
        const double needed =
            static_cast<double>(columns_) * at9.horizontalAdvance(QLatin1Char('M'));
        if (needed > width && needed > 0)
            font_.setPointSizeF(std::max(4.0, font_.pointSizeF() * 0.97 * width / needed));
        painter_.setFont(font_);
        const QFontMetrics metrics(painter_.font(), &printer_);
        lineHeight_ = metrics.lineSpacing();
        ascent_ = metrics.ascent();
    } else if (!printer_.newPage()) {
        throw tess::PrintError("The printer could not start a new page.");
    }
    y_ = 0;
}

void QtPrinter::printLine(std::string_view text) {
    if (!started_)
        newPage();
    if (!text.empty())
        painter_.drawText(0, y_ + ascent_, toQString(text, encoding_));
    y_ += lineHeight_;
}

int QtPrinter::currentY() const {
    return toTwips(y_);
}

int QtPrinter::pageHeight() const {
    return toTwips(printer_.pageLayout().paintRectPixels(printer_.resolution()).height());
}

void QtPrinter::endDocument() {
    if (!started_)
        return;
    started_ = false;
    const bool ended = painter_.end();
    // The next print to a file asks for its name again in Reports > Setup rather than
    // overwriting this one unasked.
    if (printer_.outputFormat() == QPrinter::PdfFormat)
        printer_.setOutputFileName(QString());
    if (!ended)
        throw tess::PrintError("The printer did not take the document.");
}

void QtPrinter::abortDocument() {
    if (!started_)
        return;
    started_ = false;
    const QString file =
        printer_.outputFormat() == QPrinter::PdfFormat ? printer_.outputFileName() : QString();
    printer_.abort();
    if (painter_.isActive())
        painter_.end();
    // Aborting does not stop a PDF file from being written: what was printed of it goes.
    if (!file.isEmpty())
        QFile::remove(file);
}

namespace {
class PdfPrinter : public QtPrinter {
public:
    PdfPrinter(std::unique_ptr<QPrinter> printer, tess::TextEncoding encoding)
        : QtPrinter(*printer, encoding), owned_(std::move(printer)) {}
    // The document is dropped while its printer still exists: the base class would be too late.
    ~PdfPrinter() override { QtPrinter::abortDocument(); }

private:
    std::unique_ptr<QPrinter> owned_;
};
} // namespace

std::unique_ptr<tess::Printer> openPdfPrinter(const QString& path, tess::TextEncoding encoding) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return std::make_unique<PdfPrinter>(std::move(printer), encoding);
}

} // namespace ui
