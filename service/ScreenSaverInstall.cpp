#include "service/ScreenSaverInstall.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"
#include "common/Subs.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "service/XScreenSaverPrefs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumetta {

namespace {

const QString ScreenSaverCaption = QStringLiteral("Screen Saver");
const QString SettingsParentKey = QStringLiteral("Software\\Korvane Software");

// The parent key "opens" when it or any key below it is in the store.
bool SettingsParentExists()
{
    const QString below = SettingsParentKey + QLatin1Char('\\');
    for (const QString &key : RegistryFile::load(RegistryFilePath()).keys())
        if (key.compare(SettingsParentKey, Qt::CaseInsensitive) == 0 || key.startsWith(below, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QString InstalledCopyPath()
{
    return WindowsFolder() + QStringLiteral("Lumetta.scr");
}

QString SystemScreenSaverFolder()
{
    for (const char *folder : {"/usr/libexec/xscreensaver/", "/usr/lib/xscreensaver/"})
        if (QFileInfo(QString::fromLatin1(folder)).isDir())
            return QString::fromLatin1(folder);
    return WindowsFolder();
}

bool InstallCopy(const QString &program, const QString &installed)
{
    const QFileInfo source(program);
    if (!source.isFile() || !QDir().mkpath(QFileInfo(installed).absolutePath()))
        return false;
    if (!CopyFileAtomically(program, installed, source.lastModified()))
        return false;
    // The daemon starts it as a program.
    QFile copy(installed);
    return copy.setPermissions(copy.permissions() | QFileDevice::ExeUser | QFileDevice::ReadUser);
}

Activation ActivateScreenSaver(const QString &installed, const QString &xscreensaverPrefs)
{
    Activation result;
    try {
        WriteRegString(DesktopKey, QStringLiteral("SCRNSAVE.EXE"), installed);
    } catch (const Error &) {
        return result;
    }
    QFile prefs(xscreensaverPrefs);
    if (!prefs.exists())
        return result;
    if (!prefs.open(QIODevice::ReadOnly)) {
        result.problem = prefs.errorString();
        return result;
    }
    const XScreenSaverEdit edit = SelectInXScreenSaver(prefs.readAll(), installed);
    prefs.close();
    if (edit.content.isEmpty()) {
        result.problem = edit.problem;
        return result;
    }
    const SaveResult saved = WriteFileAtomically(xscreensaverPrefs, edit.content);
    result.active = saved.ok;
    result.problem = saved.reason;
    return result;
}

bool SetActiveScreenSaver(const QString &installed)
{
    return ActivateScreenSaver(installed, XScreenSaverPrefsFile()).active;
}

QString SelectByHandMessage(const QString &installed, const QString &problem)
{
    const QString quoted = QLatin1Char('\'') + installed + QLatin1Char('\'');
    QString text = QStringLiteral(
                       "Screen saver installed successfully.\r\nTo select it: \r\n\r\n"
                       "1. with XScreenSaver: run xscreensaver-settings once and click Install again, "
                       "or add this line to the \"programs:\" list in ~/.xscreensaver and select Lumetta "
                       "in xscreensaver-settings:\r\n"
                       "     \"Lumetta\" %1 /s \\n\\\r\n"
                       "2. otherwise let an idle watcher start it, for example\r\n"
                       "     X11: xss-lock -- %1 /s\r\n"
                       "     Wayland: swayidle timeout 600 \"%1 /s\"")
                       .arg(quoted);
    if (!problem.isEmpty())
        text += QStringLiteral("\r\n\r\n~/.xscreensaver was left as it was: %1.").arg(problem);
    return text;
}

void InstallScreenSaver(Dialogs &dialogs, const QString &program)
{
    const QString installed = InstalledCopyPath();
    if (!InstallCopy(program, installed)) {
        dialogs.showTitledMessage(ScreenSaverCaption, QStringLiteral("Could not install screen saver."),
                                  MessageIcon::Warning);
        return;
    }
    const Activation activation = ActivateScreenSaver(installed, XScreenSaverPrefsFile());
    if (activation.active)
        dialogs.showMessage(QStringLiteral("Screen saver installed successfully."));
    else
        dialogs.showTitledMessage(QStringLiteral("ScreenSaver"), SelectByHandMessage(installed, activation.problem),
                                  MessageIcon::Information);
}

void RemoveScreenSaver(Dialogs &dialogs)
{
    // The store's "SCRNSAVE.EXE" and ~/.xscreensaver stay as they are.
    if (QFile::remove(InstalledCopyPath()))
        dialogs.showTitledMessage(ScreenSaverCaption, QStringLiteral("Screen saver removed successfully."),
                                  MessageIcon::Information);
    else
        dialogs.showTitledMessage(ScreenSaverCaption, QStringLiteral("Could not remove Screen saver."),
                                  MessageIcon::Warning);
}

void DeleteRegistryEntries(Dialogs &dialogs)
{
    const QString question = QStringLiteral(
        "You are about to delete the registry entries.\r\nYou webcam data WILL NOT be affected.\r\n\r\n"
        "Are you sure you want to continue?");
    if (dialogs.ask(question, QuestionKind::OkCancel, QStringLiteral("Warning")) == DialogButton::Cancel)
        return;
    if (!SettingsParentExists())
        return;
    dialogs.beep();
    dialogs.showMessage(DeleteRegKey(LumettaKey)
                            ? QStringLiteral("Registry Key Software\\Korvane Software\\Lumetta has been deleted")
                            : QStringLiteral("Registry Key Software\\Korvane Software\\Lumetta could not be deleted"));
}

} // namespace lumetta
