#pragma once

#include "core/printer.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// A printer that keeps what it is given: pages of lines, each line 240 twips high on pages of
// a chosen height. It can be told to fail at a given line.
class RecordingPrinter : public tess::Printer {
public:
    explicit RecordingPrinter(int pageHeight = 15840) : pageHeight_(pageHeight) {}

    std::vector<std::vector<std::string>> pages;
    bool ended = false;
    bool aborted = false;
    int failAtLine = -1;     // the printLine call (from 0) that throws
    long long columns = 0;   // the widest line that fits; 0: any
    long long fittedTo = -1; // what fitColumns was last told

    static constexpr int lineHeight = 240;

    void newPage() override {
        pages.emplace_back();
        y_ = 0;
    }
    void printLine(std::string_view text) override {
        if (linesPrinted_++ == failAtLine)
            throw tess::PrintError("The printer is out of paper.");
        if (pages.empty())
            newPage();
        pages.back().emplace_back(text);
        y_ += lineHeight;
    }
    int currentY() const override { return y_; }
    int pageHeight() const override { return pageHeight_; }
    void endDocument() override { ended = true; }
    void abortDocument() override { aborted = true; }
    void fitColumns(long long n) override { fittedTo = n; }
    long long maxColumns() const override { return columns; }

    // A printer that records into this one, for a window that opens its own and drops it.
    std::unique_ptr<tess::Printer> share() { return std::make_unique<Share>(*this); }

private:
    struct Share : tess::Printer {
        explicit Share(RecordingPrinter& shared) : r(shared) {}
        void newPage() override { r.newPage(); }
        void printLine(std::string_view text) override { r.printLine(text); }
        int currentY() const override { return r.currentY(); }
        int pageHeight() const override { return r.pageHeight(); }
        void endDocument() override { r.endDocument(); }
        void abortDocument() override { r.abortDocument(); }
        void fitColumns(long long n) override { r.fitColumns(n); }
        long long maxColumns() const override { return r.maxColumns(); }
        RecordingPrinter& r;
    };

    int pageHeight_;
    int y_ = 0;
    int linesPrinted_ = 0;
};

} // namespace testing_support
