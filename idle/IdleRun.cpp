#include "idle/IdleRun.h"

#include "common/Errors.h"
#include "idle/DesktopIdle.h"
#include "idle/IdleWatcher.h"
#include "platform/EndSignals.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "platform/SingleInstance.h"
#include "slideshow/XScreenSaverPrefs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <functional>
#include <cstdio>
#include <unistd.h>

namespace lumetta {

namespace {

void Say(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

qint64 DelayMs()
{
    try {
        return qint64(ReadSetting(Setting::ScreenSaveTimeOut)) * 1000;
    } catch (const Error &e) {
        Say(e.message() + QStringLiteral(": the idle delay stays 600 s."));
        return 600'000;
    }
}

} // namespace

int RunIdleWatcher(int argc, char **argv)
{
    // The watcher is not the show: the show's own single-instance rule
    // holds when it starts.
    SingleInstance instance{QLatin1String(IdleLockName)};
    if (!instance.acquire()) {
        Say(QStringLiteral("Lumetta's idle watcher runs already."));
        return 0;
    }
    CatchEndSignals({SIGTERM, SIGINT, SIGHUP});

    QCoreApplication app(argc, argv);
    DesktopIdle desktop;
    if (desktop.kind() == IdleSourceKind::None) {
        Say(QStringLiteral("Lumetta's idle watcher ends: no idle time from GNOME (org.gnome.Mutter.IdleMonitor), "
                           "the freedesktop screen saver (org.freedesktop.ScreenSaver) or the X server "
                           "(MIT-SCREEN-SAVER). On a Wayland compositor without these, start the screen saver "
                           "with swayidle."));
        return 1;
    }

    const QString program = QCoreApplication::applicationFilePath();
    QProcess show;
    show.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer clock;
    clock.start();
    IdleWatcherHooks hooks;
    hooks.nowMs = [&clock] { return clock.elapsed(); };
    hooks.delayMs = DelayMs;
    hooks.startShow = [&] {
        show.start(program, {QStringLiteral("/s")});
        return show.waitForStarted(10'000);
    };
    hooks.stopShow = [&show] { show.terminate(); };  // the show ends as by its Close button
    // After Install with XScreenSaver the daemon starts the show.
    hooks.standDown = [] {
        QFile prefs(XScreenSaverPrefsFile());
        return prefs.open(QIODevice::ReadOnly) && XScreenSaverSelectsLumetta(prefs.read(1 << 20));
    };
    IdleWatcher watcher(desktop, RealTimeSource(), hooks);
    QObject::connect(&show, &QProcess::finished, &watcher, [&watcher] { watcher.showEnded(); });
    QObject::connect(&desktop, &DesktopIdle::locking, &watcher, [&watcher] { watcher.desktopLocking(); });

    const auto end = [&] {
        if (show.state() != QProcess::NotRunning) {
            show.terminate();
            show.waitForFinished(5000);
        }
        app.quit();
    };
    WatchEndSignals(&app, end);
    // Un-install deletes the program the watcher runs from: the watcher
    // goes with it. A new version renamed over it keeps the watcher.
    // A linker or a copy that deletes before it writes leaves a moment
    // without the file: the watcher looks once more, 2 s later.
    QFileSystemWatcher self({program});
    const std::function<void(bool)> check = [&](bool lookAgain) {
        if (QFile::exists(program)) {
            // A file renamed over ours is a new one to watch.
            self.removePath(program);
            self.addPath(program);
        } else if (lookAgain) {
            QTimer::singleShot(2000, &app, [&check] { check(false); });
        } else {
            Say(QStringLiteral("Lumetta's idle watcher ends: %1 was removed.").arg(program));
            end();
        }
    };
    QObject::connect(&self, &QFileSystemWatcher::fileChanged, &app, [&check] { check(true); });
    QObject::connect(&watcher, &IdleWatcher::stoodDown, &app, [&] {
        Say(QStringLiteral("Lumetta's idle watcher ends: XScreenSaver starts Lumetta now."));
        end();
    });
    // A new idle delay from the Tools page: the store is replaced whole at
    // each write, so its folder is watched too.
    const QString store = RegistryFilePath();
    QFileSystemWatcher settings;
    const auto watchSettings = [&] {
        settings.addPath(QFileInfo(store).absolutePath());
        if (QFile::exists(store))
            settings.addPath(store);
    };
    watchSettings();
    const auto settingsChanged = [&] {
        watchSettings();
        watcher.settingsChanged();
    };
    QObject::connect(&settings, &QFileSystemWatcher::fileChanged, &app, settingsChanged);
    QObject::connect(&settings, &QFileSystemWatcher::directoryChanged, &app, settingsChanged);

    Say(QStringLiteral("Lumetta's idle watcher: idle time from %1; the show starts after %2 s.")
            .arg(desktop.sourceName())
            .arg(DelayMs() / 1000));
    watcher.begin();
    return app.exec();
}

} // namespace lumetta
