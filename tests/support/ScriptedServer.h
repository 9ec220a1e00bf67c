#pragma once
// A loopback server for network tests. It runs in a thread of its own and
// plays one script per accepted connection: read the request (recorded),
// send exact bytes, switch to TLS, hang without answering or reset the
// connection; its end closes it gently. Connections beyond the scripts get
// the default script, if any, or are closed at once. No step waits on the
// clock: a script moves on when the client has read what was sent.
#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

namespace lumetta::test {

class ServerScript {
public:
    struct Step {
        enum Kind { ReadRequest, Send, AwaitRead, StartTls, Hang, Reset };
        Kind kind;
        QByteArray data;
    };

    // Reads up to the empty line after the header; the bytes are recorded.
    ServerScript &readRequest() { return add(Step::ReadRequest); }
    ServerScript &send(const QByteArray &bytes) { return add(Step::Send, bytes); }
    // Waits until the client has read every byte sent so far, so that the
    // next send reaches it as a read of its own.
    ServerScript &awaitRead() { return add(Step::AwaitRead); }
    ServerScript &startTls() { return add(Step::StartTls); }
    // Keeps the connection open and silent until the client closes it or
    // the server stops.
    ServerScript &hang() { return add(Step::Hang); }
    // Drops the connection with a reset (RST) instead of a close.
    ServerScript &reset() { return add(Step::Reset); }

    QList<Step> steps;

private:
    ServerScript &add(Step::Kind kind, const QByteArray &data = {})
    {
        steps.append({kind, data});
        return *this;
    }
};

class ScriptedServer {
public:
    // On any free loopback port.
    ScriptedServer();
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer &) = delete;
    ScriptedServer &operator=(const ScriptedServer &) = delete;

    // Both PEM; needed before a script's startTls().
    void setTls(const QByteArray &certificatePem, const QByteArray &keyPem);
    void addConnection(const ServerScript &script);
    void setDefaultScript(const ServerScript &script);

    quint16 port() const { return m_port; }
    QString url(const QString &path = QStringLiteral("/")) const;
    // Requests recorded so far, in arrival order.
    QList<QByteArray> requests() const;
    int connectionCount() const { return m_connections.load(); }

private:
    void run();
    void serve(int fd, const ServerScript &script);

    int m_listenFd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    QList<ServerScript> m_scripts;
    std::optional<ServerScript> m_default;
    QList<QByteArray> m_requests;
    QByteArray m_certificatePem;
    QByteArray m_keyPem;
    std::thread m_thread;
};

// A self-signed certificate for hostName made with the openssl tool into
// dir; false when the tool fails.
bool MakeTestCertificate(const QString &dir, const QString &hostName, QByteArray &certificatePem,
                         QByteArray &keyPem);

} // namespace lumetta::test
