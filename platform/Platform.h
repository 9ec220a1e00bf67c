#pragma once
// Stand-ins for the operating-system services the program relies on.
#include <QString>
#include <memory>

namespace lumetta {

// The program folder, ending with '/' and made when missing, as
// ChooseProgramFolder decides: $LUMETTA_HOME, beside a build tree's or a
// portable program, else $XDG_DATA_HOME/Lumetta/ or the folder stored that
// holds the user's catalogue. A catalogue it takes over is copied there.
QString ResolveAppPath(const QString &executableDir, const QString &stored = {});

// <prefix>/share/lumetta/ of an installed program; empty for any other.
QString InstalledShareFolder(const QString &executableDir);
// The program runs from a system or user prefix (a package, cmake --install).
bool RunsInstalled(const QString &executableDir);

// Where the installed screen saver lives: $LUMETTA_WINDOWS_DIR, else
// $XDG_DATA_HOME/lumetta/; ends with '/'.
QString WindowsFolder();

// Where a run's session files go: $XDG_RUNTIME_DIR (the user's own, in
// memory), else the temporary folder.
QString RuntimeFolder();

// Where earlier versions installed it ($XDG_DATA_HOME/Korvane Software/);
// empty when $LUMETTA_WINDOWS_DIR is set.
QString FormerWindowsFolder();

// The window XScreenSaver gives a screen saver to draw in
// ($XSCREENSAVER_WINDOW, "0x..." or decimal); 0 when there is none.
quintptr ScreenSaverDaemonWindow();

// The maker's web site: $LUMETTA_SITE, else the built-in address; no trailing '/'.
QString VendorSite();


// Network state and shell "open" are behind an interface so tests can
// take the network away or record what would be opened.
class SystemShell {
public:
    virtual ~SystemShell() = default;
    virtual bool isInternetConnected() = 0;
    // Opens a web or mail link with its default handler; true on success.
    // Local files and other schemes are refused.
    virtual bool openDocument(const QString &target) = 0;
    // Starts a program with arguments, never through a shell string.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
    // Runs a program in this process's place; returns only when it could
    // not. A screen-saver daemon watches the process it started, and takes
    // its end for a crash.
    virtual bool runInstead(const QString &program, const QStringList &arguments)
    {
        return startProgram(program, arguments);
    }
};

std::unique_ptr<SystemShell> MakeSystemShell();

// Opens a link that came from a server, a list, the catalogue or the
// vendor's site, only when it is a web page (WebLink); false otherwise.
bool OpenWebLink(SystemShell &shell, const QString &link);

} // namespace lumetta
