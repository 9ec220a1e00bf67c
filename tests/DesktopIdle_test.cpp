#include "idle/DesktopIdle.h"

#include "support/FakeDesktopBus.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

const QString Mutter = "org.gnome.Mutter.IdleMonitor";
const QString MutterPath = "/org/gnome/Mutter/IdleMonitor/Core";
const QString ScreenSaver = "org.freedesktop.ScreenSaver";
const QString ScreenSaverPath = "/org/freedesktop/ScreenSaver";

// The sources in their order, the inhibitors and the lock, against fake
// services on a private bus; no X server, so X11 never answers.
TEST(DesktopIdle, FirstSourceThatAnswersWithInhibitorsAndLock)
{
    qunsetenv("DISPLAY");
    test::FakeDesktopBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";

    struct Service {
        QString service, path, interface, method;
        QVariant reply;
    };
    const Service mutterIdle{Mutter, MutterPath, Mutter, "GetIdletime", QVariant::fromValue(quint64(1234))};
    const Service saverIdle{ScreenSaver, ScreenSaverPath, ScreenSaver, "GetSessionIdleTime",
                            QVariant::fromValue(uint(4321))};
    const Service gnomeInhibit{"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
                               "IsInhibited", true};
    const Service powerInhibit{"org.freedesktop.PowerManagement", "/org/freedesktop/PowerManagement/Inhibit",
                               "org.freedesktop.PowerManagement.Inhibit", "HasInhibit", true};
    const Service gnomeLocked{"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver",
                              "GetActive", true};
    const Service saverLocked{ScreenSaver, ScreenSaverPath, ScreenSaver, "GetActive", true};
    struct {
        const char *description;
        std::vector<Service> services;
        IdleSourceKind kind;
        std::optional<qint64> idle;
        bool inhibited, locked;
    } const cases[] = {
        {"GNOME's monitor before the screen saver", {saverIdle, mutterIdle}, IdleSourceKind::Mutter, 1234, false,
         false},
        {"the screen saver where GNOME is not", {saverIdle, powerInhibit, saverLocked}, IdleSourceKind::ScreenSaver,
         4321, true, true},
        {"GNOME's inhibitor and shield", {mutterIdle, gnomeInhibit, gnomeLocked}, IdleSourceKind::Mutter, 1234, true,
         true},
        {"a lock service alone is no idle source", {gnomeLocked}, IdleSourceKind::None, std::nullopt, false, false},
    };
    for (const auto &c : cases) {
        bus.clear();
        for (const Service &s : c.services)
            bus.answer(s.service, s.path, s.interface, s.method, s.reply);
        DesktopIdle desktop;
        EXPECT_EQ(desktop.kind(), c.kind) << c.description;
        const DesktopState state = desktop.read();
        EXPECT_EQ(state.idleMs, c.idle) << c.description;
        EXPECT_EQ(state.inhibited, c.inhibited) << c.description;
        EXPECT_EQ(state.locked, c.locked) << c.description;
        EXPECT_FALSE(state.fullScreen) << c.description;
    }

    // The screen saver's shield coming up stops the show; going down does not.
    bus.clear();
    bus.answer(saverIdle.service, saverIdle.path, saverIdle.interface, saverIdle.method, saverIdle.reply);
    DesktopIdle desktop;
    int locking = 0;
    QObject::connect(&desktop, &DesktopIdle::locking, [&locking] { ++locking; });
    bus.emitSignal(ScreenSaverPath, ScreenSaver, "ActiveChanged", {false});
    bus.emitSignal(ScreenSaverPath, ScreenSaver, "ActiveChanged", {true});
    bus.emitSignal(ScreenSaverPath, ScreenSaver, "ActiveChanged", {false});
    // The signals cross a real bus; a bounded wait for them, not for a timer.
    for (QDeadlineTimer deadline(5000); locking == 0 && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(locking, 1);
}

} // namespace
