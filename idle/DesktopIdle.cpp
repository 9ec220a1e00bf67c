#include "idle/DesktopIdle.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QFile>
#include <QDBusMessage>
#include <QSocketNotifier>
#include <QVariant>
#include <cstdlib>
#include <cstring>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

namespace lumetta {

namespace {

// A desktop that hangs must not hang the watcher for long.
constexpr int CallTimeoutMs = 2000;

struct Method {
    const char *service;
    const char *path;
    const char *interface;
    const char *name;
};

const Method MutterIdle{"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
                        "org.gnome.Mutter.IdleMonitor", "GetIdletime"};
const Method ScreenSaverIdle{"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                             "org.freedesktop.ScreenSaver", "GetSessionIdleTime"};
const Method GnomeInhibited{"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
                            "IsInhibited"};
const Method PowerInhibited{"org.freedesktop.PowerManagement", "/org/freedesktop/PowerManagement/Inhibit",
                            "org.freedesktop.PowerManagement.Inhibit", "HasInhibit"};
const Method GnomeLocked{"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "GetActive"};
const Method ScreenSaverLocked{"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                               "org.freedesktop.ScreenSaver", "GetActive"};

// The first value of the reply; none when nobody answered.
std::optional<QVariant> Call(QDBusConnection bus, const Method &method, const QVariantList &arguments = {})
{
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(method.service),
                                                          QString::fromLatin1(method.path),
                                                          QString::fromLatin1(method.interface),
                                                          QString::fromLatin1(method.name));
    message.setArguments(arguments);
    // Asking must not start a service that is not there.
    message.setAutoStartService(false);
    const QDBusMessage reply = bus.call(message, QDBus::Block, CallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments().first();
}

std::optional<qint64> CallIdle(const QDBusConnection &bus, const Method &method)
{
    const std::optional<QVariant> value = Call(bus, method);
    bool ok = false;
    const qint64 ms = value ? value->toLongLong(&ok) : 0;
    return ok && ms >= 0 ? std::optional<qint64>(ms) : std::nullopt;
}

// The process name of the service's owner, as /proc tells it.
QString OwnerProcess(const QDBusConnection &bus, const QString &service)
{
    const QDBusConnectionInterface *names = bus.interface();
    const QDBusReply<uint> pid = names ? names->servicePid(service) : QDBusReply<uint>();
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid.isValid() ? pid.value() : 0));
    return pid.isValid() && comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.read(64)).trimmed()
                                                            : QString();
}

bool CallTrue(const QDBusConnection &bus, const Method &method, const QVariantList &arguments = {})
{
    const std::optional<QVariant> value = Call(bus, method, arguments);
    return value && value->toBool();
}

template <typename T>
struct Freed {
    T *p;
    ~Freed() { std::free(p); }
};

} // namespace

// One connection to the X server, no window: the idle time and saver state
// of the extension, and the focused window's full-screen state.
struct DesktopIdle::X11 {
    xcb_connection_t *c = nullptr;
    xcb_window_t root = 0;
    bool saver = false;  // the extension is there
    bool held = false;   // its saver suspended by us
    quint8 firstEvent = 0;
    xcb_atom_t activeWindow = 0, wmState = 0, fullScreen = 0;

    X11()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return;
        int screenNumber = 0;
        c = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(c)) {
            xcb_disconnect(c);
            c = nullptr;
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screenNumber && it.rem; ++i)
            xcb_screen_next(&it);
        root = it.data->root;
        const xcb_query_extension_reply_t *extension = xcb_get_extension_data(c, &xcb_screensaver_id);
        saver = extension && extension->present;
        if (saver) {
            firstEvent = extension->first_event;
            xcb_screensaver_select_input(c, root, XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
        }
        activeWindow = atom("_NET_ACTIVE_WINDOW");
        wmState = atom("_NET_WM_STATE");
        fullScreen = atom("_NET_WM_STATE_FULLSCREEN");
        xcb_flush(c);
    }
    ~X11()
    {
        if (c)
            xcb_disconnect(c);
    }

    bool usable() const { return c && !xcb_connection_has_error(c); }

    // Made when missing: a window manager that starts after us uses the
    // same atoms, and one looked up too early would stay 0 for the run.
    xcb_atom_t atom(const char *name)
    {
        Freed<xcb_intern_atom_reply_t> reply{
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr)};
        return reply.p ? reply.p->atom : 0;
    }

    Freed<xcb_screensaver_query_info_reply_t> info()
    {
        if (!usable() || !saver)
            return {nullptr};
        return {xcb_screensaver_query_info_reply(c, xcb_screensaver_query_info(c, root), nullptr)};
    }

    std::optional<qint64> idleMs()
    {
        const auto reply = info();
        return reply.p ? std::optional<qint64>(reply.p->ms_since_user_input) : std::nullopt;
    }

    // The server's own saver timeout (xset s), 0 when off.
    std::optional<qint64> saverTimeoutMs()
    {
        if (!usable())
            return std::nullopt;
        const Freed<xcb_get_screen_saver_reply_t> reply{
            xcb_get_screen_saver_reply(c, xcb_get_screen_saver(c), nullptr)};
        return reply.p ? std::optional<qint64>(qint64(reply.p->timeout) * 1000) : std::nullopt;
    }

    bool saverOn()
    {
        const auto reply = info();
        return reply.p && reply.p->state == XCB_SCREENSAVER_STATE_ON;
    }

    // Property values of 32-bit items.
    QList<quint32> property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
    {
        Freed<xcb_get_property_reply_t> reply{
            xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 64), nullptr)};
        QList<quint32> values;
        if (!reply.p || reply.p->format != 32)
            return values;
        const auto *items = static_cast<const quint32 *>(xcb_get_property_value(reply.p));
        for (int i = 0; i < xcb_get_property_value_length(reply.p) / 4; ++i)
            values << items[i];
        return values;
    }

    bool focusedFullScreen()
    {
        if (!usable() || !activeWindow || !wmState || !fullScreen)
            return false;
        const QList<quint32> active = property(root, activeWindow, XCB_ATOM_WINDOW);
        if (active.isEmpty() || active.first() == 0)
            return false;
        return property(active.first(), wmState, XCB_ATOM_ATOM).contains(fullScreen);
    }

    // True when the server's saver came on among the waiting events.
    bool saverCameOn()
    {
        bool on = false;
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == firstEvent + XCB_SCREENSAVER_NOTIFY)
                on = on || reinterpret_cast<xcb_screensaver_notify_event_t *>(event)->state
                               == XCB_SCREENSAVER_STATE_ON;
            std::free(event);
        }
        return on;
    }
};

// A connection of its own: the session bus as the environment names it now.
DesktopIdle::DesktopIdle(QObject *parent)
    : QObject(parent), m_x11(std::make_unique<X11>()),
      m_busName(QStringLiteral("lumetta-idle-%1").arg(quintptr(this))),
      m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_busName))
{
    if (CallIdle(m_bus, MutterIdle))
        m_kind = IdleSourceKind::Mutter;
    else if (CallIdle(m_bus, ScreenSaverIdle)) {
        m_kind = IdleSourceKind::ScreenSaver;
        m_owner = OwnerProcess(m_bus, QLatin1String(ScreenSaverIdle.service));
    }
    else if (m_x11->usable() && m_x11->saver)
        m_kind = IdleSourceKind::X11;

    for (const Method &m : {GnomeLocked, ScreenSaverLocked})
        m_bus.connect(QString::fromLatin1(m.service), QString::fromLatin1(m.path), QString::fromLatin1(m.interface),
                    QStringLiteral("ActiveChanged"), this, SLOT(activeChanged(bool)));
    if (m_x11->usable() && m_x11->saver) {
        auto *notifier = new QSocketNotifier(xcb_get_file_descriptor(m_x11->c), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
            if (!m_x11->usable()) {
                notifier->setEnabled(false);  // the server went away
                return;
            }
            if (m_x11->saverCameOn())
                emit locking();
        });
    }
}

DesktopIdle::~DesktopIdle()
{
    QDBusConnection::disconnectFromBus(m_busName);
}

QString DesktopIdle::sourceName() const
{
    switch (m_kind) {
    case IdleSourceKind::Mutter:
        return QStringLiteral("GNOME's idle monitor (org.gnome.Mutter.IdleMonitor)");
    case IdleSourceKind::ScreenSaver:
        return QStringLiteral("the desktop's screen saver (org.freedesktop.ScreenSaver)");
    case IdleSourceKind::X11:
        return QStringLiteral("the X server (MIT-SCREEN-SAVER)");
    case IdleSourceKind::None:
        break;
    }
    return {};
}

void DesktopIdle::activeChanged(bool active)
{
    if (active)
        emit locking();
}

std::optional<qint64> DesktopIdle::idleMs()
{
    switch (m_kind) {
    case IdleSourceKind::Mutter:
        return CallIdle(m_bus, MutterIdle);
    case IdleSourceKind::ScreenSaver: {
        const std::optional<qint64> answered = CallIdle(m_bus, ScreenSaverIdle);
        if (!answered)
            return std::nullopt;
        // Decided once: the unit is the service's, not the moment's.
        if (m_unit == IdleUnit::Unknown)
            m_unit = ScreenSaverIdleUnit(*answered, m_x11->idleMs(), m_owner);
        return m_unit == IdleUnit::Seconds ? *answered * 1000 : *answered;
    }
    case IdleSourceKind::X11:
        return m_x11->idleMs();
    case IdleSourceKind::None:
        break;
    }
    return std::nullopt;
}

bool DesktopIdle::inhibited()
{
    constexpr uint InhibitIdle = 8;  // GNOME's flag for "the session is not idle"
    return CallTrue(m_bus, GnomeInhibited, {QVariant::fromValue(InhibitIdle)}) || CallTrue(m_bus, PowerInhibited);
}

bool DesktopIdle::locked(bool *serviceAnswered)
{
    const std::optional<QVariant> gnome = Call(m_bus, GnomeLocked);
    const std::optional<QVariant> freedesktop = Call(m_bus, ScreenSaverLocked);
    *serviceAnswered = gnome || freedesktop;
    return (gnome && gnome->toBool()) || (freedesktop && freedesktop->toBool()) || m_x11->saverOn();
}

void DesktopIdle::holdServerSaver(bool hold)
{
    // The server counts suspends per client: one at a time.
    if (hold == m_x11->held || !m_x11->usable() || !m_x11->saver)
        return;
    xcb_screensaver_suspend(m_x11->c, hold);
    xcb_flush(m_x11->c);
    m_x11->held = hold;
}

DesktopState DesktopIdle::read()
{
    DesktopState state;
    state.idleMs = idleMs();
    // Without an idle time there is nothing to weigh them against.
    if (state.idleMs) {
        state.inhibited = inhibited();
        state.locked = locked(&state.screenSaverService);
        state.fullScreen = m_x11->focusedFullScreen();
        state.serverSaverMs = m_x11->saverTimeoutMs();
    }
    return state;
}

} // namespace lumetta
