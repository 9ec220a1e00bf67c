#include "slideshow/ScreenSaverInstall.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"
#include "common/Subs.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "platform/SingleInstance.h"
#include "slideshow/AutostartEntry.h"
#include "slideshow/XScreenSaverPrefs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <optional>

namespace lumetta {

namespace {

// Translated when shown: a constant would be made before the translation loads.
QString ScreenSaverCaption()
{
    return QCoreApplication::translate("ScreenSaverInstall", "Screen Saver");
}

// untranslated: a key of the store
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

QStringList InstalledCopyPaths()
{
    QStringList paths{InstalledCopyPath()};
    if (const QString former = FormerWindowsFolder(); !former.isEmpty())
        paths << former + QStringLiteral("Lumetta.scr");
    return paths;
}

QStringList XScreenSaverProgramFolders()
{
    return {QStringLiteral("/usr/libexec/xscreensaver/"), QStringLiteral("/usr/lib/xscreensaver/")};
}

QString SystemScreenSaverFolder()
{
    for (const QString &folder : XScreenSaverProgramFolders())
        if (QFileInfo(folder).isDir())
            return folder;
    return WindowsFolder();
}

QStringList OfflineSaverArguments(const QString &program, const QStringList &xscreensaverFolders)
{
    const QFileInfo info(program);
    const QString folder = info.absolutePath();
    const QString real = QFileInfo(folder).canonicalFilePath();
    for (const QString &candidate : xscreensaverFolders) {
        const QString trimmed = QDir::cleanPath(candidate);
        if (folder == trimmed || (!real.isEmpty() && real == QFileInfo(trimmed).canonicalFilePath()))
            // As the daemon starts its programs: "--root" draws into the
            // daemon's window when $XSCREENSAVER_WINDOW, which the program
            // inherits, names one, else on the root window. They refuse "/s".
            return {QStringLiteral("--root")};
    }
    return {QStringLiteral("/s")};
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

namespace {

// The daemon's preferences as they stand; none when the file is missing,
// or when it cannot be read (problem says why).
std::optional<QByteArray> ReadXScreenSaverPrefs(const QString &path, QString &problem)
{
    QFile prefs(path);
    if (!prefs.exists())
        return std::nullopt;
    if (!prefs.open(QIODevice::ReadOnly)) {
        problem = prefs.errorString();
        return std::nullopt;
    }
    return prefs.readAll();
}

} // namespace

Activation ActivateScreenSaver(const QString &installed, const QString &xscreensaverPrefs)
{
    Activation result;
    try {
        WriteSetting(Setting::ScreenSaverProgram, installed);
    } catch (const Error &) {
        return result;
    }
    const std::optional<QByteArray> content = ReadXScreenSaverPrefs(xscreensaverPrefs, result.problem);
    if (!content)
        return result;
    const XScreenSaverEdit edit = SelectInXScreenSaver(*content, installed, QDir::homePath());
    if (edit.content.isEmpty()) {
        result.problem = edit.problem;
        return result;
    }
    const SaveResult saved = WriteFileAtomically(xscreensaverPrefs, edit.content);
    result.active = saved.ok;
    result.problem = saved.reason;
    return result;
}

QString SelectByHandMessage(const QString &installed, const QString &problem)
{
    const QString quoted = QLatin1Char('\'') + installed + QLatin1Char('\'');
    const QByteArray entry = XScreenSaverEntry(installed, QDir::homePath());
    // xscreensaver-settings writes ~/.xscreensaver only when a setting is
    // changed, not when it is merely opened and closed.
    QString text = QCoreApplication::translate(
                       "ScreenSaverInstall",
                       "Screen saver installed successfully.\r\nTo select it: \r\n\r\n"
                       "1. with XScreenSaver: open xscreensaver-settings and change any setting (for example "
                       "\"Blank After\"), which writes ~/.xscreensaver, then click Install again; "
                       "or add this line to the \"programs:\" list in ~/.xscreensaver and select Lumetta "
                       "in xscreensaver-settings:\r\n"
                       "     %2 \\n\\\r\n"
                       "2. otherwise let an idle watcher start it, for example\r\n"
                       "     X11: xss-lock -- %1 /s\r\n"
                       "     Wayland: swayidle timeout 600 \"%1 /s\"")
                       .arg(quoted, entry.isEmpty() ? QStringLiteral("\"Lumetta\" ") + quoted + QStringLiteral(" /s")
                                                    : QString::fromUtf8(entry));
    if (!problem.isEmpty())
        text += QCoreApplication::translate("ScreenSaverInstall", "\r\n\r\n~/.xscreensaver was left as it was: %1.")
                    .arg(problem);
    return text;
}

QString IdleWatcherMessage(const QString &installed, int idleSeconds, const QString &problem)
{
    if (!problem.isEmpty())
        return SelectByHandMessage(installed, QString()) +
               QCoreApplication::translate("ScreenSaverInstall",
                                           "\r\n\r\nLumetta's own idle watcher could not be set up: %1.")
                   .arg(problem);
    const QString after = idleSeconds > 0 && idleSeconds % 60 == 0
                              ? QCoreApplication::translate("ScreenSaverInstall", "%1 minute(s)").arg(idleSeconds / 60)
                              : QCoreApplication::translate("ScreenSaverInstall", "%1 second(s)").arg(idleSeconds);
    return QCoreApplication::translate(
               "ScreenSaverInstall",
               "Screen saver installed successfully.\r\n\r\n"
               "XScreenSaver is not used here, so Lumetta watches for idleness itself: the slide show "
               "starts after %1 without input, and not while a video plays, a full-screen window has "
               "the focus or the screen is locked. The watcher runs now and at every login "
               "(%2).")
        .arg(after, AutostartEntryPath());
}

QString ScreenSaverTarget(const QString &program)
{
    const QFileInfo info(program);
    return RunsInstalled(info.absolutePath()) ? info.absoluteFilePath() : InstalledCopyPath();
}

namespace {

// Ends a watcher that runs from elsewhere or is no longer wanted; a new
// one started while it still held its lock would end at once.
void EndIdleWatcher()
{
    SingleInstance watcher{QLatin1String(IdleLockName)};
    (void)watcher.endHolder(3000);
}

// Copies left by an earlier Install that no entry runs any more.
void RemoveCopiesBut(const QString &kept)
{
    for (const QString &copy : InstalledCopyPaths())
        if (copy != kept && QFile::exists(copy))
            QFile::remove(copy);
}

} // namespace

void InstallScreenSaver(Dialogs &dialogs, const QString &program, SystemShell *shell)
{
    const QString installed = ScreenSaverTarget(program);
    const bool copied = installed == InstalledCopyPath();
    if (copied && !InstallCopy(program, installed)) {
        dialogs.showTitledMessage(ScreenSaverCaption(),
                                  QCoreApplication::translate("ScreenSaverInstall", "Could not install screen saver."),
                                  MessageIcon::Warning);
        return;
    }
    const QString prefs = XScreenSaverPrefsFile();
    const Activation activation = ActivateScreenSaver(installed, prefs);
    if (activation.active) {
        // The daemon runs this program now; a copy elsewhere would only go
        // stale, and a watcher too would start the show twice.
        RemoveCopiesBut(installed);
        RemoveAutostartEntry();
        EndIdleWatcher();
        dialogs.showMessage(QCoreApplication::translate("ScreenSaverInstall", "Screen saver installed successfully."));
        return;
    }
    if (QFile::exists(prefs)) {
        dialogs.showTitledMessage(QStringLiteral("ScreenSaver"), SelectByHandMessage(installed, activation.problem),
                                  MessageIcon::Information);
        return;
    }
    const QString problem = WriteAutostartEntry(installed);
    if (problem.isEmpty()) {
        RemoveCopiesBut(installed);
        // The watcher that runs now may run an older program.
        EndIdleWatcher();
        if (shell)
            shell->startProgram(installed, {QStringLiteral("--idle")});
    }
    int seconds = 600;
    try {
        seconds = ReadSetting(Setting::ScreenSaveTimeOut);
    } catch (const Error &) {
    }
    dialogs.showTitledMessage(QStringLiteral("ScreenSaver"), IdleWatcherMessage(installed, seconds, problem),
                              MessageIcon::Information);
}

bool MoveScreenSaverToProgram(const QString &program, SystemShell *shell)
{
    const QString target = ScreenSaverTarget(program);
    if (target == InstalledCopyPath())
        return false;
    bool moved = false;
    bool copyStillRuns = false;
    const auto runsACopy = [](const QByteArray &text) { return text.contains("Lumetta.scr"); };
    QFile entry(AutostartEntryPath());
    if (entry.open(QIODevice::ReadOnly) && runsACopy(entry.read(1 << 16))) {
        entry.close();
        if (WriteAutostartEntry(target).isEmpty()) {
            EndIdleWatcher();
            if (shell)
                shell->startProgram(target, {QStringLiteral("--idle")});
            moved = true;
        } else {
            copyStillRuns = true;
        }
    }
    // Only where Lumetta alone is chosen: selecting it again changes nothing else.
    const QString prefs = XScreenSaverPrefsFile();
    QString problem;
    if (const auto content = ReadXScreenSaverPrefs(prefs, problem); content && runsACopy(*content)) {
        const XScreenSaverEdit edit = XScreenSaverSelectsLumetta(*content)
                                          ? SelectInXScreenSaver(*content, target, QDir::homePath())
                                          : XScreenSaverEdit{};
        if (!edit.content.isEmpty() && WriteFileAtomically(prefs, edit.content).ok)
            moved = true;
        else
            copyStillRuns = true;
    } else if (!problem.isEmpty()) {
        copyStillRuns = true;  // an entry we cannot read may run it
    }
    if (!moved)
        return false;
    (void)TryWriteSetting(Setting::ScreenSaverProgram, target);
    // A copy no entry of ours ran (an idle tool set up by hand) stays.
    if (!copyStillRuns)
        RemoveCopiesBut(target);
    return true;
}

Deselection DeselectInXScreenSaver(const QString &xscreensaverPrefs)
{
    Deselection result;
    const std::optional<QByteArray> content = ReadXScreenSaverPrefs(xscreensaverPrefs, result.problem);
    if (!content)
        return result;
    const XScreenSaverRemoval removal = RemoveFromXScreenSaver(*content);
    result.problem = removal.problem;
    if (removal.content.isEmpty())
        return result;
    const SaveResult saved = WriteFileAtomically(xscreensaverPrefs, removal.content);
    result.removed = saved.ok;
    result.blanked = saved.ok && removal.blanked;
    result.problem = saved.reason;
    return result;
}

QString RemovedMessage(bool copyRemoved, const Deselection &deselection, bool watcherRemoved)
{
    QString text = copyRemoved ? QCoreApplication::translate("ScreenSaverInstall", "Screen saver removed successfully.")
                               : QCoreApplication::translate("ScreenSaverInstall", "Could not remove Screen saver.");
    if (watcherRemoved)
        text += copyRemoved ? QCoreApplication::translate(
                                  "ScreenSaverInstall",
                                  "\r\n\r\nLumetta's idle watcher was stopped and no longer starts at login.")
                            : QCoreApplication::translate("ScreenSaverInstall",
                                                          "\r\n\r\nLumetta's idle watcher no longer starts at login.");
    if (deselection.blanked)
        text += QCoreApplication::translate(
            "ScreenSaverInstall",
            "\r\n\r\nLumetta was taken off XScreenSaver's list; XScreenSaver now blanks the "
            "screen instead.");
    else if (deselection.removed)
        text += QCoreApplication::translate("ScreenSaverInstall", "\r\n\r\nLumetta was taken off XScreenSaver's list.");
    else if (!deselection.problem.isEmpty())
        text += QCoreApplication::translate("ScreenSaverInstall",
                                            "\r\n\r\n~/.xscreensaver was left as it was: %1. Take Lumetta off its "
                                            "\"programs:\" list in xscreensaver-settings.")
                    .arg(deselection.problem);
    return text;
}

void RemoveScreenSaver(Dialogs &dialogs, const QString &program)
{
    // The store's "SCRNSAVE.EXE" stays as it is; XScreenSaver, which would
    // show a crash at every blank, forgets the program. An installed
    // program has no copy: taking its entries away is its removal.
    bool removed = false;
    for (const QString &copy : InstalledCopyPaths())
        removed = QFile::remove(copy) || removed;
    const bool watcherRemoved = RemoveAutostartEntry();
    EndIdleWatcher();
    const Deselection deselection = DeselectInXScreenSaver(XScreenSaverPrefsFile());
    removed = removed || (RunsInstalled(QFileInfo(program).absolutePath()) && (watcherRemoved || deselection.removed));
    dialogs.showTitledMessage(ScreenSaverCaption(), RemovedMessage(removed, deselection, watcherRemoved),
                              removed ? MessageIcon::Information : MessageIcon::Warning);
}

void DeleteRegistryEntries(Dialogs &dialogs)
{
    const QString question = QCoreApplication::translate(
        "ScreenSaverInstall",
        "You are about to delete the registry entries.\r\nYou webcam data WILL NOT be affected.\r\n\r\n"
        "Are you sure you want to continue?");
    if (dialogs.ask(question, QuestionKind::OkCancel, QCoreApplication::translate("ScreenSaverInstall", "Warning")) ==
        DialogButton::Cancel)
        return;
    if (!SettingsParentExists())
        return;
    dialogs.beep();
    dialogs.showMessage(
        DeleteRegKey(LumettaKey)
            ? QCoreApplication::translate("ScreenSaverInstall",
                                          "Registry Key Software\\Korvane Software\\Lumetta has been deleted")
            : QCoreApplication::translate("ScreenSaverInstall",
                                          "Registry Key Software\\Korvane Software\\Lumetta could not be deleted"));
}

} // namespace lumetta
