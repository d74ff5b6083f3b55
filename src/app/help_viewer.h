#pragma once

#include <QPlainTextEdit>

namespace tess {

// The help text, read-only, in a window of its own.
class HelpViewer : public QPlainTextEdit {
    Q_OBJECT
public:
    // Reads the text file; returns nothing when it cannot be read.
    static HelpViewer* open(const QString& path);

private:
    explicit HelpViewer(const QString& text);
};

} // namespace tess
