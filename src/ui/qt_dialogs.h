#pragma once

#include "ui/dialogs.h"

#include <memory>

#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QWidget>

class QPrinter;

namespace ui {

// The real dialogs, parented to a window of the program.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr);
    ~QtDialogs() override;
    // The printer the set-up dialog chooses and printing uses, kept for the whole run.
    QPrinter& printer();
    void setParent(QWidget* parent) { parent_ = parent; }
    // While the program ends on a termination signal nobody may be there to answer: messages
    // go to standard error, questions are answered No and other dialogs cancelled.
    void setUnattended(bool unattended) { unattended_ = unattended; }
    bool unattended() const { return unattended_; }

    void message(const QString& text, const QString& title = {}) override;
    bool question(const QString& text, const QString& title = {}) override;
    Choice choose(const QString& text, ChoiceButtons buttons, const QString& title = {}) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& preset) override;
    std::optional<QString> openFile(const QString& filter, const QString& folder) override;
    std::optional<QString> saveFile(const QString& filter, const QString& defaultSuffix,
                                    const QString& proposedName) override;
    std::optional<int32_t> color(int32_t initial) override;
    bool printerSetup() override;
    int showModal(QDialog& dialog) override;

private:
    QWidget* parentWidget() const;
    void report(const QString& text, const QString& title) const;
    QPointer<QWidget> parent_;
    // The program's window the user was last in: a box shown just after a modal window closed,
    // before the window manager handed the focus back, belongs to it and not to the main window.
    QPointer<QWidget> lastActive_;
    QMetaObject::Connection tracking_;
    bool unattended_ = false;
    std::unique_ptr<QPrinter> printer_;
};

// Qt's print dialog tries to open the output file it is given before it closes, and opening a
// FIFO waits for a reader for ever: such a name (a device or socket too) is refused first.
class PrintDialog : public QPrintDialog {
public:
    using QPrintDialog::QPrintDialog;
    void accept() override;
};

// The program's message boxes: the application's title unless one is given, and no icon.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text,
                                            const QString& title,
                                            QMessageBox::StandardButtons buttons);

// "Data files: | *.qd3" becomes Qt's "Data files: (*.qd3)".
QString qtFilter(const QString& filter);

} // namespace ui
