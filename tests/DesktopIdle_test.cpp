#include "idle/DesktopIdle.h"

#include "support/FakeDesktopBus.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <xcb/xcb.h>

using namespace lumetta;

namespace {

using Service = test::FakeDesktopBus::Service;
const QString Saver = "org.freedesktop.ScreenSaver", SaverPath = "/org/freedesktop/ScreenSaver";
const Service MutterIdle{"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
                         "org.gnome.Mutter.IdleMonitor", "GetIdletime", QVariant::fromValue(quint64(1234))};
const Service SaverIdle{Saver, SaverPath, Saver, "GetSessionIdleTime", QVariant::fromValue(uint(4321))};
const Service SaverLocked{Saver, SaverPath, Saver, "GetActive", true};
const Service GnomeInhibit{"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
                           "IsInhibited", true};
const Service PowerInhibit{"org.freedesktop.PowerManagement", "/org/freedesktop/PowerManagement/Inhibit",
                           "org.freedesktop.PowerManagement.Inhibit", "HasInhibit", true};
const Service GnomeLocked{"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "GetActive",
                          true};

// The signals cross a real bus or an X connection: a bounded wait for
// them, not for a timer.
void WaitFor(const int &count)
{
    for (QDeadlineTimer deadline(5000); count == 0 && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    QCoreApplication::processEvents();
}

// The sources in their order, the inhibitors and the lock, against fake
// services on a private bus; the X server only at the end, last in order.
TEST(DesktopIdle, FirstSourceThatAnswersWithInhibitorsAndLock)
{
    qunsetenv("DISPLAY");
    test::FakeDesktopBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    struct {
        const char *description;
        std::vector<Service> services;
        IdleSourceKind kind;
        std::optional<qint64> idle;
        bool inhibited, locked;
    } const cases[] = {
        {"GNOME's monitor before the screen saver", {SaverIdle, MutterIdle}, IdleSourceKind::Mutter, 1234, 0, 0},
        {"the screen saver where GNOME is not", {SaverIdle, PowerInhibit, SaverLocked}, IdleSourceKind::ScreenSaver,
         4321, 1, 1},
        {"GNOME's inhibitor and shield", {MutterIdle, GnomeInhibit, GnomeLocked}, IdleSourceKind::Mutter, 1234, 1, 1},
        {"a lock service alone is no idle source", {GnomeLocked}, IdleSourceKind::None, std::nullopt, 0, 0},
    };
    for (const auto &c : cases) {
        bus.clear();
        for (const Service &s : c.services)
            bus.answer(s);
        DesktopIdle desktop;
        const DesktopState state = desktop.read();
        EXPECT_EQ(desktop.kind(), c.kind) << c.description;
        EXPECT_EQ(state.idleMs, c.idle) << c.description;
        EXPECT_EQ(state.inhibited, c.inhibited) << c.description;
        EXPECT_EQ(state.locked, c.locked) << c.description;
        EXPECT_EQ(state.screenSaverService, c.locked) << "a locker answers: " << c.description;
    }

    // light-locker answers in seconds; here the service's process is this one.
    char name[16] = {};
    ::prctl(PR_GET_NAME, name);
    ::prctl(PR_SET_NAME, "light-locker");
    bus.clear();
    bus.answer(Service{Saver, SaverPath, Saver, "GetSessionIdleTime", QVariant::fromValue(uint(786))});
    EXPECT_EQ(DesktopIdle().read().idleMs, 786'000);
    ::prctl(PR_SET_NAME, name);

    // The screen saver's shield coming up stops the show; going down does not.
    // The service answers read() after its signals: then all are queued here.
    bus.clear();
    bus.answer(SaverIdle);
    DesktopIdle desktop;
    int locking = 0;
    QObject::connect(&desktop, &DesktopIdle::locking, [&locking] { ++locking; });
    (void)desktop.read();  // the bus has taken our match rules
    for (bool active : {false, true, false})
        bus.emitSignal(SaverPath, Saver, "ActiveChanged", {active});
    (void)desktop.read();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(locking, 1);

    // When no bus service answers, the X server does; its own saver coming on
    // (as for xss-lock's locker) stops the show and holds the next one back.
    bus.clear();
    QProcess xvfb;
    xvfb.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "320x240x24"});
    ASSERT_TRUE(xvfb.waitForReadyRead(10'000)) << "Xvfb did not start";
    const QByteArray display = ":" + xvfb.readLine().trimmed();
    qputenv("DISPLAY", display);
    DesktopIdle x11;
    ASSERT_EQ(x11.kind(), IdleSourceKind::X11);
    EXPECT_TRUE(x11.read().idleMs.has_value());
    EXPECT_FALSE(x11.read().locked);
    xcb_connection_t *c = xcb_connect(display.constData(), nullptr);
    // The focused window full screen, as a window manager marks it; another state is not.
    const auto atom = [c](const char *name) {
        auto *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = reply->atom;
        std::free(reply);
        return a;
    };
    const xcb_window_t window = xcb_generate_id(c), root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_create_window(c, 0, window, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, 0, 0, nullptr);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1, &window);
    for (const char *state : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_FULLSCREEN"}) {
        const xcb_atom_t value = atom(state);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &value);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // the server has it
        EXPECT_EQ(x11.read().fullScreen, value == atom("_NET_WM_STATE_FULLSCREEN")) << state;
    }
    int saverOn = 0;
    QObject::connect(&x11, &DesktopIdle::locking, [&saverOn] { ++saverOn; });
    xcb_force_screen_saver(c, XCB_SCREEN_SAVER_ACTIVE);
    xcb_flush(c);
    WaitFor(saverOn);
    EXPECT_EQ(saverOn, 1);
    EXPECT_TRUE(x11.read().locked);
    xcb_disconnect(c);
    xvfb.terminate();
    xvfb.waitForFinished();
}

} // namespace
