#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class QDialog;

namespace ui {

// The application's own title, shown by message boxes that name no title of their own.
inline const QString applicationTitle = QStringLiteral("Varelta: Tessaline");

// Every modal interaction of the program goes through here, so that windows can be driven
// headless: the real implementation shows Qt dialogs, the tests' one answers from a script.
// Filters are given as the program writes them, "Description | *.ext", several separated by
// ";;".
// The answers of a question that can also be called off.
enum class Choice { yes, no, cancel };
// Which words the three buttons carry: "Save", "Discard", "Cancel" for unsaved work, or "Yes",
// "No", "Cancel".
enum class ChoiceButtons { saveDiscardCancel, yesNoCancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box with an OK button.
    virtual void message(const QString& text, const QString& title = {}) = 0;
    // A message box with Yes and No; true for Yes.
    virtual bool question(const QString& text, const QString& title = {}) = 0;
    // A message box with three buttons, the first the default; Escape or closing the box is
    // Cancel.
    virtual Choice choose(const QString& text, ChoiceButtons buttons,
                          const QString& title = {}) = 0;
    // An input box; nothing when cancelled.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& preset) = 0;
    // The Open dialog, started in the folder (the current one when empty); the chosen full
    // path, or nothing when cancelled.
    virtual std::optional<QString> openFile(const QString& filter, const QString& folder) = 0;
    // The Save As dialog (asks before overwriting), started at the proposed name (a path
    // names its folder too); nothing when cancelled.
    virtual std::optional<QString> saveFile(const QString& filter, const QString& defaultSuffix,
                                            const QString& proposedName) = 0;
    // The colour dialog preset with a colour (0x00BBGGRR); nothing when cancelled.
    virtual std::optional<int32_t> color(int32_t initial) = 0;
    // The printer set-up dialog; false when cancelled.
    virtual bool printerSetup() = 0;
    // Shows one of the program's own modal windows and waits until it closes; returns its
    // result code (QDialog::Accepted or Rejected).
    virtual int showModal(QDialog& dialog) = 0;
};

} // namespace ui
