#include "ui/qt_printer.h"

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "ui/dialogs.h"
#include "ui/text_codec.h"

#include <QFile>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include <unistd.h>

namespace ui {

namespace {

// Writes a document to a descriptor and keeps the first failure: QFile forgets one at its next
// write, and a PDF cut short by a full disk would be taken for a finished one.
class DescriptorDevice : public QIODevice {
public:
    explicit DescriptorDevice(int fd) : fd_(fd) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    // Writes what is held back; 0 or the first failure's error number.
    int finish() {
        flushBuffer();
        return error_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (error_ != 0)
            return -1;
        buffer_.append(data, static_cast<size_t>(size));
        if (buffer_.size() >= (size_t{1} << 16))
            flushBuffer();
        return error_ != 0 ? -1 : size;
    }

private:
    void flushBuffer() {
        size_t done = 0;
        while (error_ == 0 && done < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                error_ = n < 0 ? errno : ENOSPC;
            else
                done += static_cast<size_t>(n);
        }
        buffer_.clear();
    }

    int fd_;
    int error_ = 0;
    std::string buffer_;
};

// Type is never set smaller than this.
constexpr double smallestPointSize = 4.0;
// What a line may take of the page's width: the rest is kept for the font's rounding.
constexpr double widthUsed = 0.97;

} // namespace

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

int QtPrinter::resolution() const {
    return printer_.resolution() > 0 ? printer_.resolution() : 72;
}

int QtPrinter::toTwips(int deviceUnits) const {
    return static_cast<int>(static_cast<long long>(deviceUnits) * 1440 / resolution());
}

long long QtPrinter::maxColumns() const {
    QFont smallest = font_;
    smallest.setPointSizeF(smallestPointSize);
    const QFontMetricsF metrics(smallest, &printer_);
    const double width = printer_.pageLayout().paintRectPixels(printer_.resolution()).width();
    const double advance = metrics.horizontalAdvance(QLatin1Char('M'));
    return advance > 0 ? static_cast<long long>(widthUsed * width / advance) : 0;
}

void QtPrinter::begin() {
    if (printer_.outputFormat() != QPrinter::PdfFormat) {
        if (!painter_.begin(&printer_))
            throw tess::PrintError("No printer could be started. Choose a printer, or printing "
                                   "to a PDF file, in Reports > Setup.");
        device_ = &printer_;
        return;
    }
    const QString target = printer_.outputFileName();
    // Without a printer Qt falls back to a PDF file, which has no name until one is chosen.
    if (target.isEmpty())
        throw tess::PrintError("No printer is set up. Choose a printer, or printing to a PDF "
                               "file, in Reports > Setup.");
    try {
        // Refuses a pipe or a device at once, which would otherwise hang or be replaced.
        pending_ = std::make_unique<tess::PendingFile>(QFile::encodeName(target).toStdString());
    } catch (const tess::FileError& e) {
        throw tess::PrintError(e.description());
    }
    pdfFile_ = std::make_unique<DescriptorDevice>(pending_->fd());
    pdf_ = std::make_unique<QPdfWriter>(pdfFile_.get());
    pdf_->setResolution(resolution());
    pdf_->setPageLayout(printer_.pageLayout());
    pdf_->setCreator(QStringLiteral("Tessaline"));
    if (!painter_.begin(pdf_.get()))
        throw tess::PrintError("Cannot save \"" + target.toStdString() +
                               "\": the PDF file could not be started");
    device_ = pdf_.get();
}

void QtPrinter::newPage() {
    if (!started_) {
        begin();
        started_ = true;
        // The widest line fits the page: the type is made smaller for it where it must be.
        const QFontMetricsF at9(font_, &printer_);
        const double width = printer_.pageLayout().paintRectPixels(printer_.resolution()).width();
        const double needed =
            static_cast<double>(columns_) * at9.horizontalAdvance(QLatin1Char('M'));
        if (needed > width && needed > 0)
            font_.setPointSizeF(
                std::max(smallestPointSize, font_.pointSizeF() * widthUsed * width / needed));
        painter_.setFont(font_);
        const QFontMetrics metrics(painter_.font(), device_);
        lineHeight_ = metrics.lineSpacing();
        ascent_ = metrics.ascent();
    } else if (!device_->newPage()) {
        throw tess::PrintError("The printer could not start a new page.");
    }
    y_ = 0;
}

void QtPrinter::printLine(std::string_view text) {
    if (!started_)
        newPage();
    if (!text.empty())
        // As on the terminal: a control or a mark that reorders text (U+202E) is shown, not
        // obeyed, so a name cannot turn the rest of a printed line around.
        painter_.drawText(0, y_ + ascent_,
                          QString::fromStdString(tess::terminalText(text, encoding_)));
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
    if (pending_) {
        const QString target = printer_.outputFileName();
        // The next print to a file asks for its name again rather than overwriting this one
        // unasked.
        printer_.setOutputFileName(QString());
        pdf_.reset();
        const int failure = static_cast<DescriptorDevice&>(*pdfFile_).finish();
        pdfFile_.reset();
        std::unique_ptr<tess::PendingFile> pending = std::move(pending_);
        if (!ended || failure != 0)
            throw tess::PrintError("Cannot save \"" + target.toStdString() + "\": " +
                                   (failure != 0 ? std::string(std::strerror(failure))
                                                 : std::string("the PDF file could not be "
                                                               "finished")));
        try {
            pending->commit();
        } catch (const tess::FileError& e) {
            throw tess::PrintError(e.description());
        }
        return;
    }
    if (!ended)
        throw tess::PrintError("The printer did not take the document.");
}

void QtPrinter::abortDocument() {
    if (!started_)
        return;
    started_ = false;
    if (!pending_)
        printer_.abort();
    if (painter_.isActive())
        painter_.end();
    // What was printed of a PDF file goes with its temporary file; the file named is untouched.
    pdf_.reset();
    pdfFile_.reset();
    pending_.reset();
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

std::unique_ptr<tess::Printer> openChosenPrinter(QPrinter& printer, Dialogs& dialogs,
                                                 QString& lastPdf, tess::TextEncoding encoding) {
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
        const std::optional<QString> path =
            dialogs.saveFile(QStringLiteral("PDF files | *.pdf"), QStringLiteral("pdf"), lastPdf);
        if (!path)
            return nullptr;
        lastPdf = *path;
        printer.setOutputFileName(*path);
    }
    return std::make_unique<QtPrinter>(printer, encoding);
}

std::unique_ptr<tess::Printer> openPdfPrinter(const QString& path, tess::TextEncoding encoding) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return std::make_unique<PdfPrinter>(std::move(printer), encoding);
}

} // namespace ui
