#include "app/Lumetta.h"

#include "app/LumettaApplication.h"
#include "app/RunMode.h"
#include "app/TfrmMain.h"
#include "idle/IdleRun.h"
#include "platform/Clock.h"
#include "platform/EndSignals.h"
#include "platform/TimeSource.h"
#include "platform/Guarded.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"
#include "platform/VersionInfo.h"
#include "slideshow/ImageWindowRules.h"
#include "slideshow/SlideShow.h"
#include "slideshow/ShowWindows.h"
#include "slideshow/ShowingNow.h"
#include "slideshow/TfrmImage.h"

#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QTemporaryDir>
#include <csignal>
#include <unistd.h>

namespace lumetta {

int RunLumetta(int argc, char **argv)
{
    QStringList commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    // Qt takes its own options (-style, -platform, ...) when the application
    // starts; they must not be read as the screen-saver switches before.
    const QStringList arguments = WithoutQtOptions(commandLine);
    RunMode mode = ParseRunMode(arguments);
    if (mode.preview)
        return 0;
    if (mode.idle)
        return RunIdleWatcher(argc, argv);

    // Under a file-size limit a write fails, as on a full disk, and the
    // program says so; the signal would end it with the file half written.
    ::signal(SIGXFSZ, SIG_IGN);
    CatchEndSignals({SIGTERM, SIGINT, SIGHUP});
    const std::optional<quintptr> daemonWindow =
        mode.screenSaver ? EmbedWindowId(arguments, qEnvironmentVariable("XSCREENSAVER_WINDOW"))
                         : std::nullopt;
    SingleInstance instance;
    QTemporaryDir privateStore;
    if (!instance.acquire()) {
        // A daemon starts its program once per monitor, each in a window of
        // its own; ending here would show a crash there.
        mode.viewOnly = ShowsBesideAnotherRun(mode, daemonWindow);
        if (!mode.viewOnly)
            return 0;
        // Whatever this run stores goes to a copy.
        const QString store = privateStore.filePath(QStringLiteral("user.reg"));
        QFile::copy(RegistryFilePath(), store);
        qputenv("LUMETTA_REGISTRY", store.toLocal8Bit());
    }

    LumettaApplication app(argc, argv);
    QCoreApplication::setApplicationName(AppTitle);
    // The user's language, where a translation exists; Qt's own texts
    // (Yes, No, Cancel) come from Qt's translations.
    QTranslator own, qt;
    if (own.load(QLocale(), QStringLiteral("lumetta"), QStringLiteral("_"), QStringLiteral(":/translations")))
        QCoreApplication::installTranslator(&own);
    if (qt.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);

    QtDialogs qtDialogs;
    Dialogs &dialogs = qtDialogs;
    const std::unique_ptr<SystemShell> shell = MakeSystemShell();
    ScopedErrorSink beforeWindow([&dialogs](const QString &message) { dialogs.showMessage(message); });

    // The import dialog arrives with the list import.
    TfrmMain frmMain(mode, MainServices{dialogs, *shell, DefaultClock(), RealTimeSource()});
    qtDialogs.setParent(&frmMain);
    // The full-screen image window exists before set-up, which starts the
    // slide show in a screen-saver run. There it ends the process when it
    // closes, and draws into the daemon's window when one is given.
    const ImageWindowServices imageServices{dialogs, *shell, RealTimeSource(),
                                            [&frmMain] { return frmMain.displaySettings(); },
                                            &frmMain, arguments.value(0), daemonWindow, {}, {}, nullptr, {}};
    TfrmImage frmImage(frmMain.run(), imageServices);
    // On a screen of its own the show covers every monitor; in a daemon's
    // window, the daemon runs one process per monitor.
    ShowWindows showWindows(frmMain.run(), frmImage, [&frmMain, &imageServices](const QRect &monitor) {
        ImageWindowServices services = imageServices;
        services.monitor = monitor;
        return std::make_unique<TfrmImage>(frmMain.run(), services);
    }, [&frmMain] { return frmMain.displaySettings().differentPerMonitor; });
    ShowDisplay &display = daemonWindow ? static_cast<ShowDisplay &>(frmImage) : showWindows;
    // The copies a daemon starts on its other monitors show what this one shows.
    PublishingDisplay published(display, ShowingFilePath());
    frmMain.setShowDisplay(mode.viewOnly ? display : published);
    QObject::connect(&showWindows, &ShowWindows::holdToggled, &frmMain, [&frmMain] {
        if (SlideShow *show = frmMain.slideShow())
            show->toggleHold();
    });
    QObject::connect(&showWindows, &ShowWindows::inputEndedShow, &frmMain, [&frmMain] {
        if (SlideShow *show = frmMain.slideShow())
            show->endByInput();
    });
    QObject::connect(&showWindows, &ShowWindows::advertisementHeld, &frmMain, [&frmMain] {
        if (SlideShow *show = frmMain.slideShow())
            show->holdAdvertisement();
    });
    // Quitting does nothing before the main loop runs, so an ending set-up
    // is told, and its dialogs close at once.
    SetUpOutcome outcome;
    // The shutdown runs the Close button's path.
    WatchEndSignals(&frmMain, [&] {
        outcome.terminating = true;
        qtDialogs.endDialogs();
        frmMain.butCloseClick();
    });

    TfrmMain::SetupResult result = TfrmMain::SetupResult::Completed;
    outcome.completed = RunGuarded([&] { result = frmMain.FormCreate(); });
    outcome.endProcess = result != TfrmMain::SetupResult::Completed;

    int exitCode = 0;
    switch (DecideAfterSetUp(mode, outcome, frmMain.slideShow() != nullptr)) {
    case AfterSetUp::ShowWindowAndRun:
        frmMain.show();
        exitCode = app.exec();
        break;
    case AfterSetUp::RunWithoutWindow:
        exitCode = app.exec();
        break;
    case AfterSetUp::End:
        break;
    }
    RunGuarded([&] { frmMain.FormDestroy(); });
    return exitCode;
}

} // namespace lumetta
