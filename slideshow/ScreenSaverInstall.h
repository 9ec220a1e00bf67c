#pragma once
// The Tools tab's screen-saver buttons and the deletion of the settings:
// the installed copy in the stand-in Windows folder, the store's active
// screen saver and XScreenSaver's choice of it.
#include <QString>
#include <QStringList>

namespace lumetta {

class Dialogs;
class SystemShell;

// WindowsFolder() + "Lumetta.scr".
QString InstalledCopyPath();
// That and the copy an earlier version may have left in its former folder.
QStringList InstalledCopyPaths();

// Where XScreenSaver's programs may live.
QStringList XScreenSaverProgramFolders();

// Where the system keeps its screen savers, for choosing an offline one:
// XScreenSaver's folder of programs when there is one, else WindowsFolder().
QString SystemScreenSaverFolder();

// What the offline screen saver is started with: a program from one of
// xscreensaverFolders as the daemon starts it, anything else with "/s".
QStringList OfflineSaverArguments(const QString &program, const QStringList &xscreensaverFolders);

// Copies program over installed (the folder is made when missing); the
// copy keeps program's modification time, so a start of the same version
// leaves it alone. False when it could not be copied; an old copy then stays.
[[nodiscard]] bool InstallCopy(const QString &program, const QString &installed);

struct Activation {
    bool active = false;  // the desktop's screen-saver daemon runs it now
    QString problem;      // why a preferences file was left as it was
};

// Stores "SCRNSAVE.EXE" under the desktop key, then selects the copy in
// XScreenSaver's preferences file when that file exists.
Activation ActivateScreenSaver(const QString &installed, const QString &xscreensaverPrefs);

struct Deselection {
    bool removed = false;  // Lumetta is off XScreenSaver's list
    bool blanked = false;  // it was the one chosen: the daemon blanks instead
    QString problem;       // why a preferences file was left as it was
};

// Takes Lumetta off XScreenSaver's list when the preferences file lists it.
Deselection DeselectInXScreenSaver(const QString &xscreensaverPrefs);

// Un-install's one message; watcherRemoved: the idle watcher's autostart
// entry was taken away.
QString RemovedMessage(bool copyRemoved, const Deselection &deselection, bool watcherRemoved = false);

// Install's message where Lumetta starts itself: the watcher runs now and
// at each login (problem empty), or why it could not be set up.
QString IdleWatcherMessage(const QString &installed, int idleSeconds, const QString &problem);

// The long message for a copy the daemon does not run yet: how to select
// it by hand on this desktop.
QString SelectByHandMessage(const QString &installed, const QString &problem);

// What the screen-saver entries run for program: an installed program
// itself (by absolute path), so upgrades reach the screen saver and the
// package's removal ends it; any other the copy InstalledCopyPath().
QString ScreenSaverTarget(const QString &program);

// The buttons' whole dialogue. Where XScreenSaver is not used, Install
// sets up the idle watcher and starts it through shell (when given); either
// way it ends a watcher already running. Un-install takes away what Install
// wrote for program.
void InstallScreenSaver(Dialogs &dialogs, const QString &program, SystemShell *shell = nullptr);
void RemoveScreenSaver(Dialogs &dialogs, const QString &program);

// At a normal start of an installed program: the entries an earlier
// Install pointed at a copy run the program itself from now on (the
// watcher is restarted), and the copies go once no entry runs them. True
// when an entry was moved. For any other program nothing changes.
bool MoveScreenSaverToProgram(const QString &program, SystemShell *shell);
void DeleteRegistryEntries(Dialogs &dialogs);

} // namespace lumetta
