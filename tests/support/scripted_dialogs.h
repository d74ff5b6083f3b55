#pragma once

#include "ui/dialogs.h"

#include <QDialog>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace testing_support {

// The tests' dialogs: answers are queued in the order the program will ask for them, every
// dialog shown is recorded, and a dialog that nobody queued an answer for fails the test.
// Message boxes need no answer (OK is their only button), but a test that never looks at the
// messages shown (through messages()) fails when there were any.
class ScriptedDialogs : public ui::Dialogs {
public:
    struct Shown {
        std::string kind; // "message", "question", "choice", "input", "open", "save", "color",
                          // "printer", "modal"
        QString text;     // message or prompt text, the filter of a file dialog, a window's name
        QString title;
    };
    using ModalHandler = std::function<int(QDialog&)>;

    ~ScriptedDialogs() override;

    ScriptedDialogs& answerQuestion(bool yes) { return queue("question", yes); }
    ScriptedDialogs& answerChoice(ui::Choice choice) { return queue("choice", choice); }
    ScriptedDialogs& answerInput(std::optional<QString> text) { return queue("input", text); }
    ScriptedDialogs& answerOpen(std::optional<QString> path) { return queue("open", path); }
    ScriptedDialogs& answerSave(std::optional<QString> path) { return queue("save", path); }
    ScriptedDialogs& answerColor(std::optional<int32_t> color) { return queue("color", color); }
    ScriptedDialogs& answerPrinterSetup(bool ok) { return queue("printer", ok); }
    // The handler drives the shown window (its Form_Load has run) and returns its result.
    ScriptedDialogs& answerModal(ModalHandler handler) { return queue("modal", handler); }
    // Closes the next modal window at once with its current state.
    ScriptedDialogs& acceptModal() {
        return answerModal([](QDialog& d) { return d.result(); });
    }

    std::vector<Shown> shown;
    // The messages shown so far; looking at them is what makes them expected.
    std::vector<QString> messages() const;

    void message(const QString& text, const QString& title = {}) override;
    bool question(const QString& text, const QString& title = {}) override;
    ui::Choice choose(const QString& text, ui::ChoiceButtons buttons,
                      const QString& title = {}) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& preset) override;
    std::optional<QString> openFile(const QString& filter, const QString& folder) override;
    std::optional<QString> saveFile(const QString& filter, const QString& defaultSuffix,
                                    const QString& proposedName) override;
    std::optional<int32_t> color(int32_t initial) override;
    bool printerSetup() override;
    int showModal(QDialog& dialog) override;

private:
    using Answer = std::variant<bool, std::optional<QString>, std::optional<int32_t>, ModalHandler,
                                ui::Choice>;
    struct Queued {
        std::string kind;
        Answer answer;
    };
    ScriptedDialogs& queue(const char* kind, Answer answer) {
        answers_.push_back({kind, std::move(answer)});
        return *this;
    }
    // Records the dialog; its queued answer, which must be of its kind, or the fallback (and a
    // failure).
    template <class T>
    T ask(const char* kind, const QString& text, const QString& title, T fallback);
    std::deque<Queued> answers_;
    mutable size_t messagesLookedAt_ = 0;
};

} // namespace testing_support
