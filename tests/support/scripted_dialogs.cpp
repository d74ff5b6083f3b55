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

ScriptedDialogs& ScriptedDialogs::answerQuestion(bool yes) {
    answers_.push_back({"question", yes});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerChoice(ui::Choice choice) {
    answers_.push_back({"choice", choice});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerInput(std::optional<QString> text) {
    answers_.push_back({"input", std::move(text)});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerOpen(std::optional<QString> path) {
    answers_.push_back({"open", std::move(path)});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerSave(std::optional<QString> path) {
    answers_.push_back({"save", std::move(path)});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerColor(std::optional<int32_t> color) {
    answers_.push_back({"color", color});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerPrinterSetup(bool ok) {
    answers_.push_back({"printer", ok});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerModal(ModalHandler handler) {
    answers_.push_back({"modal", std::move(handler)});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::acceptModal() {
    return answerModal([](QDialog& d) { return d.result(); });
}

std::vector<QString> ScriptedDialogs::messages() const {
    std::vector<QString> out;
    for (const Shown& s : shown)
        if (s.kind == "message")
            out.push_back(s.text);
    messagesLookedAt_ = out.size();
    return out;
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::take(const std::string& kind) {
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected '" << kind << "' dialog: " << shown.back().text.toStdString();
        return std::nullopt;
    }
    Queued next = std::move(answers_.front());
    answers_.pop_front();
    if (next.kind != kind) {
        ADD_FAILURE() << "a '" << kind << "' dialog came where a '" << next.kind
                      << "' was expected: " << shown.back().text.toStdString();
        return std::nullopt;
    }
    return std::move(next.answer);
}

void ScriptedDialogs::message(const QString& text, const QString& title) {
    shown.push_back({"message", text, title.isEmpty() ? ui::applicationTitle : title});
}

bool ScriptedDialogs::question(const QString& text, const QString& title) {
    shown.push_back({"question", text, title.isEmpty() ? ui::applicationTitle : title});
    const auto a = take("question");
    return a && std::get<bool>(*a);
}

ui::Choice ScriptedDialogs::choose(const QString& text, ui::ChoiceButtons, const QString& title) {
    shown.push_back({"choice", text, title.isEmpty() ? ui::applicationTitle : title});
    const auto a = take("choice");
    return a ? std::get<ui::Choice>(*a) : ui::Choice::cancel;
}

std::optional<QString> ScriptedDialogs::input(const QString& prompt, const QString& title,
                                              const QString&) {
    shown.push_back({"input", prompt, title});
    const auto a = take("input");
    return a ? std::get<std::optional<QString>>(*a) : std::nullopt;
}

std::optional<QString> ScriptedDialogs::openFile(const QString& filter) {
    shown.push_back({"open", filter, {}});
    const auto a = take("open");
    return a ? std::get<std::optional<QString>>(*a) : std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFile(const QString& filter, const QString&,
                                                 const QString& proposedName) {
    shown.push_back({"save", filter, proposedName});
    const auto a = take("save");
    return a ? std::get<std::optional<QString>>(*a) : std::nullopt;
}

std::optional<int32_t> ScriptedDialogs::color(int32_t initial) {
    shown.push_back({"color", QString::number(initial), {}});
    const auto a = take("color");
    return a ? std::get<std::optional<int32_t>>(*a) : std::nullopt;
}

bool ScriptedDialogs::printerSetup() {
    shown.push_back({"printer", {}, {}});
    const auto a = take("printer");
    return a && std::get<bool>(*a);
}

int ScriptedDialogs::showModal(QDialog& dialog) {
    shown.push_back({"modal", dialog.objectName(), dialog.windowTitle()});
    const auto a = take("modal");
    dialog.show();
    int result = QDialog::Rejected;
    if (a)
        result = std::get<ModalHandler>(*a)(dialog);
    if (dialog.isVisible())
        dialog.done(result);
    return result;
}

} // namespace testing_support
