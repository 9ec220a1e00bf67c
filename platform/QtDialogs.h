#pragma once
#include "platform/Dialogs.h"

class QWidget;

namespace lumetta {

// The real dialogs, parented to the window that asks.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void showMessage(const QString &text, MessageIcon icon) override;
    void showTitledMessage(const QString &title, const QString &text, MessageIcon icon) override;
    DialogButton ask(const QString &text, QuestionKind kind, const QString &title = {}) override;
    std::optional<QString> inputText(const QString &title, const QString &prompt,
                                     const QString &initial) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &start) override;
    std::optional<QString> chooseOpenFile(const QString &title, const QString &startDir,
                                          const QString &filter) override;
    std::optional<QString> chooseSaveFile(const QString &title, const QString &startDir,
                                          const QString &filter) override;
    void beep() override;

    // The program is ending: every open dialog closes with its negative
    // answer, and no later one is shown (a message goes to stderr).
    void endDialogs();

    // "Text (*.txt)|*.TXT|All (*.*)|*.*" to Qt's "Text (*.txt *.TXT);;All (*.*)".
    static QString QtFilter(const QString &filter);

private:
    QWidget *m_parent;
    bool m_ending = false;
};

} // namespace lumetta
