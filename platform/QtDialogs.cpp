#include "platform/QtDialogs.h"

#include "platform/PlainText.h"
#include "platform/VersionInfo.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>

namespace lumetta {

namespace {
DialogButton NegativeAnswer(QuestionKind kind)
{
    return kind == QuestionKind::OkCancel || kind == QuestionKind::OkCancelWarning ? DialogButton::Cancel
           : kind == QuestionKind::YesNoAllAbort ? DialogButton::Abort
                                                 : DialogButton::No;
}
} // namespace

void QtDialogs::endDialogs()
{
    m_ending = true;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<QDialog *>(window); dialog && dialog->isVisible())
            dialog->reject();
}

void QtDialogs::showMessage(const QString &text, MessageIcon icon)
{
    showTitledMessage(AppTitle, text, icon);
}

void QtDialogs::showTitledMessage(const QString &title, const QString &text, MessageIcon icon)
{
    if (m_ending) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return;
    }
    QMessageBox box(m_parent);
    box.setWindowTitle(title.isEmpty() ? AppTitle : title);
    box.setTextFormat(Qt::PlainText);  // messages carry names and texts from servers
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    switch (icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    }
    box.exec();
}

DialogButton QtDialogs::ask(const QString &text, QuestionKind kind, const QString &title)
{
    if (m_ending)
        return NegativeAnswer(kind);
    QMessageBox box(m_parent);
    box.setWindowTitle(title.isEmpty() ? AppTitle : title);
    box.setTextFormat(Qt::PlainText);  // messages carry names and texts from servers
    box.setText(text);
    // The four-button question walks a list one entry at a time; it comes
    // without an icon.
    box.setIcon(kind == QuestionKind::YesNoAllAbort     ? QMessageBox::NoIcon
                : kind == QuestionKind::OkCancelWarning ? QMessageBox::Warning
                                                        : QMessageBox::Question);
    switch (kind) {
    case QuestionKind::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case QuestionKind::OkCancel:
    case QuestionKind::OkCancelWarning:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    case QuestionKind::YesNoAllAbort:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll
                               | QMessageBox::Abort);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return DialogButton::Ok;
    case QMessageBox::Yes: return DialogButton::Yes;
    case QMessageBox::YesToAll: return DialogButton::YesToAll;
    case QMessageBox::Abort: return DialogButton::Abort;
    case QMessageBox::No: return DialogButton::No;
    default:
        // Escape, the window's close box or the end of the program.
        return NegativeAnswer(kind);
    }
}

std::optional<QString> QtDialogs::inputText(const QString &title, const QString &prompt,
                                            const QString &initial)
{
    if (m_ending)
        return std::nullopt;
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    MakeLabelsPlain(&dialog);  // a prompt may name a webcam
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QColor> QtDialogs::chooseColor(const QColor &initial)
{
    if (m_ending)
        return std::nullopt;
    const QColor c = QColorDialog::getColor(initial, m_parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QString> QtDialogs::chooseFolder(const QString &title, const QString &start)
{
    if (m_ending)
        return std::nullopt;
    const QString dir = QFileDialog::getExistingDirectory(m_parent, title, start);
    if (dir.isEmpty())
        return std::nullopt;
    return dir;
}

std::optional<QString> QtDialogs::chooseOpenFile(const QString &title, const QString &startDir,
                                                 const QString &filter)
{
    if (m_ending)
        return std::nullopt;
    const QString file = QFileDialog::getOpenFileName(m_parent, title, startDir, QtFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<QString> QtDialogs::chooseSaveFile(const QString &title, const QString &startDir,
                                                 const QString &filter)
{
    if (m_ending)
        return std::nullopt;
    const QString file = QFileDialog::getSaveFileName(m_parent, title, startDir, QtFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

void QtDialogs::beep()
{
    QApplication::beep();
}

QString QtDialogs::QtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString title = parts[i];
        const qsizetype paren = title.indexOf(QLatin1Char('('));
        if (paren > 0)
            title = title.left(paren).trimmed();
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString lower = p.toLower();
            patterns << lower;
            if (p.toUpper() != lower)
                patterns << p.toUpper();
        }
        patterns.removeDuplicates();
        out << QStringLiteral("%1 (%2)").arg(title, patterns.join(QLatin1Char(' ')));
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace lumetta
