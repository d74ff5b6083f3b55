#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tess {

// A print failure (no printer, a printer fault): its description is shown as it is.
class PrintError : public std::runtime_error {
public:
    explicit PrintError(const std::string& description) : std::runtime_error(description) {}
};

// Where printed lines go: plain text, one line at a time, down the page in a fixed-pitch font.
// Positions are in twips (1/1440 inch) from the top of the printable area. The program prints
// through the Qt printer; tests and benchmarks through a recording one. Any call may throw
// PrintError.
class Printer {
public:
    virtual ~Printer() = default;
    // Starts a page; the first call starts the first page.
    virtual void newPage() = 0;
    // Prints one line (bytes in the dataset's encoding) and moves down by one line.
    virtual void printLine(std::string_view text) = 0;
    virtual int currentY() const = 0;
    virtual int pageHeight() const = 0;
    // Hands the document to the printer.
    virtual void endDocument() = 0;
    // Drops the document: nothing of it is printed.
    virtual void abortDocument() = 0;
    // The widest line to come, in characters, told before the first page: a printer may then
    // choose a type small enough for it to fit the page's width.
    virtual void fitColumns(long long columns) { (void)columns; }
    // The most characters a line may hold and still fit the page's width at the smallest type
    // the printer sets; 0 when there is no such limit.
    virtual long long maxColumns() const { return 0; }
};

} // namespace tess
