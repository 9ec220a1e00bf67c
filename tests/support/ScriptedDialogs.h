#pragma once
// Answers questions in advance and records every one asked, so GUI tests
// never block on a modal box.
#include "platform/Dialogs.h"

#include <QStringList>
#include <deque>
#include <variant>

namespace lumetta::test {

class ScriptedDialogs final : public Dialogs {
public:
    using Answer = std::variant<DialogButton, std::optional<QString>, std::optional<QColor>>;

    void setNextAnswer(Answer answer) { m_answers.push_back(std::move(answer)); }
    // Every message and question text, in order, prefixed with its kind.
    QStringList asked;
    int beeps = 0;

    MessageIcon lastIcon = MessageIcon::None;
    QuestionKind lastKind = QuestionKind::YesNo;

    void showMessage(const QString &text, MessageIcon icon) override
    {
        asked << "message: " + text;
        lastIcon = icon;
    }
    void showTitledMessage(const QString &title, const QString &text, MessageIcon icon) override
    {
        asked << "message: " + title + " | " + text;
        lastIcon = icon;
    }
    DialogButton ask(const QString &text, QuestionKind kind, const QString &title = {}) override
    {
        asked << "ask: " + (title.isEmpty() ? QString() : title + " | ") + text;
        lastKind = kind;
        if (auto a = next<DialogButton>())
            return *a;
        return kind == QuestionKind::OkCancel || kind == QuestionKind::OkCancelWarning ? DialogButton::Cancel
                                                                                      : DialogButton::No;
    }
    std::optional<QString> inputText(const QString &title, const QString &prompt,
                                     const QString &initial) override
    {
        asked << "input: " + title + " | " + prompt + " | " + initial;
        return next<std::optional<QString>>().value_or(std::nullopt);
    }
    std::optional<QColor> chooseColor(const QColor &) override
    {
        asked << QStringLiteral("color");
        return next<std::optional<QColor>>().value_or(std::nullopt);
    }
    std::optional<QString> chooseFolder(const QString &title, const QString &) override
    {
        asked << "folder: " + title;
        return next<std::optional<QString>>().value_or(std::nullopt);
    }
    std::optional<QString> chooseOpenFile(const QString &title, const QString &, const QString &filter) override
    {
        asked << "open: " + title + " | " + filter;
        return next<std::optional<QString>>().value_or(std::nullopt);
    }
    std::optional<QString> chooseSaveFile(const QString &title, const QString &, const QString &filter) override
    {
        asked << "save: " + title + " | " + filter;
        return next<std::optional<QString>>().value_or(std::nullopt);
    }
    void beep() override { ++beeps; }

private:
    // Takes the next answer when it is of the asked kind; a script that
    // answers the wrong kind of question is left for the test to notice.
    template <typename T>
    std::optional<T> next()
    {
        if (m_answers.empty() || !std::holds_alternative<T>(m_answers.front()))
            return std::nullopt;
        T value = std::get<T>(m_answers.front());
        m_answers.pop_front();
        return value;
    }
    std::deque<Answer> m_answers;
};

} // namespace lumetta::test
