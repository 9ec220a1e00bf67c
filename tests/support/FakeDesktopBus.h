#pragma once
// A session bus of the test's own (a private dbus-daemon) with fake desktop
// services: they answer from a thread of their own, so a blocking call from
// the test thread gets its reply.
#include <QProcess>
#include <QThread>
#include <QVariant>

class QDBusVirtualObject;

namespace lumetta::test {

class FakeDesktopBus {
public:
    // Points $DBUS_SESSION_BUS_ADDRESS at the new bus: create it before
    // anything uses the session bus.
    FakeDesktopBus();
    ~FakeDesktopBus();
    bool running() const { return m_object != nullptr; }

    // service owns path, where interface.method answers reply.
    struct Service {
        QString service, path, interface, method;
        QVariant reply;
    };
    void answer(const Service &s);
    void clear();  // every service leaves the bus
    void emitSignal(const QString &path, const QString &interface, const QString &name, const QVariantList &args);

private:
    QProcess m_daemon;
    QThread m_thread;
    QDBusVirtualObject *m_object = nullptr;
    QStringList m_services, m_paths;
};

} // namespace lumetta::test
