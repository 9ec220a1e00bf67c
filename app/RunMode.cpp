#include "app/RunMode.h"

#include <algorithm>

namespace lumetta {

RunMode ParseRunMode(const QStringList &arguments)
{
    RunMode mode;
    if (arguments.isEmpty())
        return mode;
    // Exact, as other programs take them; "--HELP" stays a normal run.
    if (arguments.first() == QLatin1String("--help")) {
        mode.info = InfoRequest::Help;
        return mode;
    }
    if (arguments.first() == QLatin1String("--version")) {
        mode.info = InfoRequest::Version;
        return mode;
    }
    const QString first = arguments.first().toLower();
    // The switch character itself is never looked at, so "-s" works like "/s".
    const QChar letter = first.size() >= 2 ? first.at(1) : QChar();
    if (letter == QLatin1Char('p'))
        mode.preview = true;
    else if (letter == QLatin1Char('s'))
        mode.screenSaver = true;
    else if (letter == QLatin1Char('c'))
        mode.config = true;
    mode.admin = first == AdminWord;
    mode.idle = first == IdleWord;
    return mode;
}

// Qt's own options, as QGuiApplication and QApplication take them; either
// may be written with two dashes.
QStringList WithoutQtOptions(const QStringList &arguments)
{
    static const QStringList withValue = {
        "-style", "-stylesheet", "-platform", "-platformpluginpath", "-platformtheme", "-plugin",
        "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-session", "-display", "-geometry"};
    static const QStringList alone = {"-reverse", "-widgetcount", "-testability", "-nograb", "-dograb"};
    static const QStringList joined = {"-style=", "-stylesheet=", "-qmljsdebugger="};
    QStringList left;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString option = arguments[i];
        if (option.startsWith(QLatin1String("--")))
            option.remove(0, 1);
        if (withValue.contains(option))
            ++i;  // its value goes with it
        else if (!alone.contains(option)
                 && std::none_of(joined.begin(), joined.end(),
                                 [&option](const QString &start) { return option.startsWith(start); }))
            left << arguments[i];
    }
    return left;
}

QString MainCaption(const QString &title, const QString &fileVersion)
{
    const QStringList parts = fileVersion.split(QLatin1Char('.'));
    QStringList shown;
    for (int i = 0; i < 3; ++i)
        shown << QString::number(i < parts.size() ? parts.at(i).trimmed().toInt() : 0);
    return title + QStringLiteral(" v") + shown.join(QLatin1Char('.'));
}

AfterSetUp DecideAfterSetUp(const RunMode &mode, const SetUpOutcome &outcome, bool slideShowAvailable)
{
    if (outcome.terminating || outcome.endProcess)
        return AfterSetUp::End;
    if (!mode.screenSaver)
        return AfterSetUp::ShowWindowAndRun;  // a set-up error leaves the window usable
    return outcome.completed && slideShowAvailable ? AfterSetUp::RunWithoutWindow : AfterSetUp::End;
}

int StartingCamRow(bool adminRun, int selectedCam, int lastCam, int camCount)
{
    const int row = adminRun ? lastCam : selectedCam;
    return row >= 0 && row < camCount ? row : 0;
}

bool ShowsBesideAnotherRun(const RunMode &mode, const std::optional<quintptr> &daemonWindow)
{
    return mode.screenSaver && daemonWindow.has_value() && *daemonWindow != 0;
}

QString VersionText(const QString &version)
{
    return QStringLiteral("Lumetta %1\n").arg(version);
}

QString HelpText(const QString &version)
{
    return VersionText(version) + QStringLiteral(R"(Public webcams as a slide show and a screen saver.

Usage: lumetta [/s | /c | /p | --idle]
       lumetta --help | --version

Runs (the first argument; any switch character, any case):
  (none)     the main window: the catalogue, the settings and the slide show
  /s         the screen saver: the slide show full screen until a key, a click
             or a mouse move; in XScreenSaver's window when it gives one
  /c         the screen saver's settings
  /p         ends at once (the preview Windows asks for)
  --idle     no window: starts the screen saver when the desktop has been idle
             for the screen-saver delay, until the session ends (Install sets
             this up where XScreenSaver is not used)
  --help     this text
  --version  the version, as the About tab shows it
Any other first argument starts the main window. A second start while one
runs ends at once, unless it is a screen saver in a window of its own.
Qt's standard options (-style, -platform, -platformtheme, -display, -reverse,
-qwindowgeometry and the others of qt6options(7)) are taken by Qt wherever
they stand; the run is chosen by the first argument that is left.

Environment:
  LUMETTA_HOME         program folder (catalogue, backup, readme.txt, debug.log)
  LUMETTA_REGISTRY     settings file
  LUMETTA_WINDOWS_DIR  folder of the installed screen saver, Lumetta.scr
  LUMETTA_SITE         the vendor's web site
  LUMETTA_TICK_LOG     a file that gets a line for each tick of the show
  LUMETTA_DECODER      the picture decode worker, instead of lumetta-decoder
                       beside the program
  LUMETTA_DECODE_IN_PROCESS   when set, pictures are decoded without the worker
  XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR   where the defaults below live
  XSCREENSAVER_WINDOW  the window XScreenSaver gives the screen saver

Files:
  program folder   $LUMETTA_HOME, else ~/.local/share/Lumetta/ (a build tree,
                   or a folder holding a file lumetta.portable, keeps it beside
                   the program): lumetta.dat, Backup-lumetta.dat, readme.txt,
                   debug.log and the images/ download folder
  readme.txt       the program folder's, else <prefix>/share/lumetta/readme.txt
  settings         $LUMETTA_REGISTRY, else ~/.config/Korvane Software/user.reg
  screen saver     an installed program runs itself; a build's copy is
                   $LUMETTA_WINDOWS_DIR, else ~/.local/share/lumetta/Lumetta.scr
  ~/.xscreensaver  gets Lumetta's entry on Install
  ~/.config/autostart/lumetta-idle.desktop   starts --idle at login, where
                   XScreenSaver is not used
  images/health.db     what each webcam did, for the Health page

See lumetta(1).
)");
}

} // namespace lumetta
