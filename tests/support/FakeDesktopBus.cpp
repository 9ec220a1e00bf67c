#include "support/FakeDesktopBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMutex>

namespace lumetta::test {

namespace {

QDBusConnection Bus() { return QDBusConnection(QStringLiteral("fake-desktop")); }

struct Replier final : QDBusVirtualObject {
    QMutex mutex;
    QMap<QString, QVariant> replies;  // "path interface.method"

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &m, const QDBusConnection &connection) override
    {
        QMutexLocker lock(&mutex);
        const auto it = replies.constFind(m.path() + ' ' + m.interface() + '.' + m.member());
        return it != replies.constEnd() && QDBusConnection(connection).send(m.createReply(*it));
    }
};

} // namespace

FakeDesktopBus::FakeDesktopBus()
{
    m_daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    if (!m_daemon.waitForReadyRead(10'000))
        return;
    const QByteArray address = m_daemon.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("fake-desktop"));
    m_thread.start();
    m_object = new Replier;
    m_object->moveToThread(&m_thread);
}

FakeDesktopBus::~FakeDesktopBus()
{
    clear();
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-desktop"));
    if (m_object)
        QMetaObject::invokeMethod(m_object, [o = m_object] { delete o; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    m_daemon.kill();
    m_daemon.waitForFinished();
}

void FakeDesktopBus::answer(const Service &s)
{
    auto *replier = static_cast<Replier *>(m_object);
    {
        QMutexLocker lock(&replier->mutex);
        replier->replies.insert(s.path + ' ' + s.interface + '.' + s.method, s.reply);
    }
    if (!m_paths.contains(s.path) && Bus().registerVirtualObject(s.path, m_object))
        m_paths << s.path;
    if (!m_services.contains(s.service) && Bus().registerService(s.service))
        m_services << s.service;
}

void FakeDesktopBus::clear()
{
    for (const QString &service : std::as_const(m_services))
        Bus().unregisterService(service);
    for (const QString &path : std::as_const(m_paths))
        Bus().unregisterObject(path);
    m_services.clear();
    m_paths.clear();
    if (auto *replier = static_cast<Replier *>(m_object)) {
        QMutexLocker lock(&replier->mutex);
        replier->replies.clear();
    }
}

void FakeDesktopBus::emitSignal(const QString &path, const QString &interface, const QString &name,
                                const QVariantList &args)
{
    QDBusMessage message = QDBusMessage::createSignal(path, interface, name);
    message.setArguments(args);
    Bus().send(message);
}

} // namespace lumetta::test
