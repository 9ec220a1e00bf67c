#pragma once
// How the command line chooses the run: the screen-saver switches Windows
// passes ("/s", "/c", "/p", any switch character, any case) and the word
// that opens the administration tab.
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

namespace lumetta {

inline const QString AdminWord = QStringLiteral("tavel");
inline const QString IdleWord = QStringLiteral("--idle");

// "--help" and "--version" as the first argument are answered before any
// run mode is read: they print and end, whatever follows them.
enum class InfoRequest { None, Help, Version };

struct RunMode {
    bool preview = false;      // ends at once, before anything else
    bool screenSaver = false;
    bool config = false;
    bool admin = false;
    bool viewOnly = false;     // a screen saver beside another run's show: shows its pictures, writes nothing
    InfoRequest info = InfoRequest::None;
    bool idle = false;         // "--idle": the windowless watcher that starts the screen saver
};

// arguments: the command line without the program itself.
RunMode ParseRunMode(const QStringList &arguments);

// The command line without Qt's standard options (-style Fusion, -platform
// xcb, -reverse, ...), which Qt takes wherever they stand; what is left
// chooses the run.
QStringList WithoutQtOptions(const QStringList &arguments);

// What --help and --version print, each ending with a line break.
QString HelpText(const QString &version);
QString VersionText(const QString &version);

// While another run holds the single-instance lock: a screen saver in a
// daemon's window shows that run's pictures instead of ending.
bool ShowsBesideAnotherRun(const RunMode &mode, const std::optional<quintptr> &daemonWindow);

// What a run does once the main window's set-up is over. A run that has
// nothing to show ends: nobody could end it otherwise, and it would hold
// the single-instance lock.
enum class AfterSetUp { ShowWindowAndRun, RunWithoutWindow, End };
struct SetUpOutcome {
    bool completed = false;    // every step ran
    bool endProcess = false;   // no program folder yet, or the offline screen saver took over
    bool terminating = false;  // SIGTERM or SIGINT arrived meanwhile
};
AfterSetUp DecideAfterSetUp(const RunMode &mode, const SetUpOutcome &outcome, bool slideShowAvailable);

// The row of the webcam selected at start-up: an administration run takes
// up at "LastCam", any other at "SelectedCam"; an index outside the
// catalogue's camCount webcams selects the first.
int StartingCamRow(bool adminRun, int selectedCam, int lastCam, int camCount);

// "Lumetta v2.4.1" for file version "2.4.1.77": the build number stays out.
QString MainCaption(const QString &title, const QString &fileVersion);

} // namespace lumetta
