#pragma once
// Every question the program asks a person goes through this seam, so tests
// answer in advance and record what was asked.
#include <QColor>
#include <QString>
#include <optional>

namespace lumetta {

enum class DialogButton { Ok, Cancel, Yes, No, YesToAll, Abort };

enum class QuestionKind {
    YesNo,           // default No
    OkCancel,        // default Cancel
    OkCancelWarning, // the same with the warning icon, for a question that destroys
    YesNoAllAbort,   // Yes, No, Yes to All, Abort; default No
};

enum class MessageIcon { None, Information, Warning, Error };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A plain message box with "OK" only.
    virtual void showMessage(const QString &text, MessageIcon icon = MessageIcon::None) = 0;
    // A message box with its own caption; without one of its own, the
    // implementation shows a plain message.
    virtual void showTitledMessage(const QString &title, const QString &text, MessageIcon icon)
    {
        (void)title;
        showMessage(text, icon);
    }
    // An empty title shows the application title.
    virtual DialogButton ask(const QString &text, QuestionKind kind, const QString &title = {}) = 0;
    // std::nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString &title, const QString &prompt,
                                             const QString &initial) = 0;
    virtual std::optional<QColor> chooseColor(const QColor &initial) = 0;
    virtual std::optional<QString> chooseFolder(const QString &title, const QString &start) = 0;
    // filter in the "Text (*.txt)|*.TXT|All files (*.*)|*.*" form the program uses.
    virtual std::optional<QString> chooseOpenFile(const QString &title, const QString &startDir,
                                                  const QString &filter) = 0;
    virtual std::optional<QString> chooseSaveFile(const QString &title, const QString &startDir,
                                                  const QString &filter) = 0;
    virtual void beep() = 0;
};

} // namespace lumetta
