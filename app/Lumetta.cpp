#include "app/Lumetta.h"

#include "app/LumettaApplication.h"
#include "app/RunMode.h"
#include "app/TfrmMain.h"
#include "platform/Clock.h"
#include "platform/TimeSource.h"
#include "platform/Guarded.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"
#include "platform/SingleInstance.h"
#include "platform/VersionInfo.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace lumetta {

namespace {

int SignalPipe[2] = {-1, -1};

extern "C" void OnTerminateSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[0], &byte, 1);
}

// SIGTERM and SIGINT arrive on the event loop as a readable socket, so the
// shutdown runs the Close button's path and stores what it stores.
void WatchTerminateSignals(QObject *owner, const std::function<void()> &onSignal)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(SignalPipe[1], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [onSignal] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(SignalPipe[1], &byte, 1);
        onSignal();
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

int RunLumetta(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const RunMode mode = ParseRunMode(arguments);
    if (mode.preview)
        return 0;

    SingleInstance instance;
    if (!instance.acquire())
        return 0;

    LumettaApplication app(argc, argv);
    QCoreApplication::setApplicationName(AppTitle);

    QtDialogs qtDialogs;
    Dialogs &dialogs = qtDialogs;
    const std::unique_ptr<SystemShell> shell = MakeSystemShell();
    ScopedErrorSink beforeWindow([&dialogs](const QString &message) { dialogs.showMessage(message); });

    // The full-screen image window comes first in a screen-saver run and
    // after the main window otherwise; it and the import dialog arrive with
    // the slide show and the list import.
    TfrmMain frmMain(mode, MainServices{dialogs, *shell, DefaultClock(), RealTimeSource()});
    qtDialogs.setParent(&frmMain);
    WatchTerminateSignals(&frmMain, [&frmMain] { frmMain.butCloseClick(); });

    TfrmMain::SetupResult result = TfrmMain::SetupResult::Completed;
    RunGuarded([&] { result = frmMain.FormCreate(); });

    int exitCode = 0;
    if (result == TfrmMain::SetupResult::Completed) {
        if (!mode.screenSaver)
            frmMain.show();
        exitCode = app.exec();
    }
    // An offline screen saver took over, or there is no program folder yet:
    // nothing is left for this run to show.
    RunGuarded([&] { frmMain.FormDestroy(); });
    return exitCode;
}

} // namespace lumetta
