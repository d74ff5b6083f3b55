#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace testing_support {

ScriptedDialogs::~ScriptedDialogs() {
    std::vector<QString> all;
    for (const Shown& s : shown)
        if (s.kind == "message")
            all.push_back(s.text);
    for (size_t i = messagesLookedAt_; i < all.size(); ++i)
        ADD_FAILURE() << "a message box nobody expected: " << all[i].toStdString();
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " queued answers were never asked for; "
                                  << "the first was for a '" << answers_.front().kind << "'";
}

std::vector<QString> ScriptedDialogs::messages() const {
    std::vector<QString> out;
    for (const Shown& s : shown)
        if (s.kind == "message")
            out.push_back(s.text);
    messagesLookedAt_ = out.size();
    return out;
}

template <class T>
T ScriptedDialogs::ask(const char* kind, const QString& text, const QString& title, T fallback) {
    shown.push_back({kind, text, title});
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected '" << kind << "' dialog: " << text.toStdString();
        return fallback;
    }
    Queued next = std::move(answers_.front());
    answers_.pop_front();
    if (next.kind != kind) {
        ADD_FAILURE() << "a '" << kind << "' dialog came where a '" << next.kind
                      << "' was expected: " << text.toStdString();
        return fallback;
    }
    return std::get<T>(next.answer);
}

void ScriptedDialogs::message(const QString& text, const QString& title) {
    shown.push_back({"message", text, title.isEmpty() ? ui::applicationTitle : title});
}

bool ScriptedDialogs::question(const QString& text, const QString& title) {
    return ask("question", text, title.isEmpty() ? ui::applicationTitle : title, false);
}

ui::Choice ScriptedDialogs::choose(const QString& text, ui::ChoiceButtons, const QString& title) {
    return ask("choice", text, title.isEmpty() ? ui::applicationTitle : title, ui::Choice::cancel);
}

std::optional<QString> ScriptedDialogs::input(const QString& prompt, const QString& title,
                                              const QString&) {
    return ask("input", prompt, title, std::optional<QString>());
}

std::optional<QString> ScriptedDialogs::openFile(const QString& filter, const QString& folder) {
    return ask("open", filter, folder, std::optional<QString>());
}

std::optional<QString> ScriptedDialogs::saveFile(const QString& filter, const QString&,
                                                 const QString& proposedName) {
    return ask("save", filter, proposedName, std::optional<QString>());
}

std::optional<int32_t> ScriptedDialogs::color(int32_t initial) {
    return ask("color", QString::number(initial), {}, std::optional<int32_t>());
}

bool ScriptedDialogs::printerSetup() {
    return ask("printer", {}, {}, false);
}

int ScriptedDialogs::showModal(QDialog& dialog) {
    const ModalHandler handler =
        ask("modal", dialog.objectName(), dialog.windowTitle(), ModalHandler());
    dialog.show();
    const int result = handler ? handler(dialog) : int(QDialog::Rejected);
    if (dialog.isVisible())
        dialog.done(result);
    return result;
}

} // namespace testing_support
