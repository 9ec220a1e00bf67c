#pragma once
// A loopback server for network tests. It runs in a thread of its own and
// plays one script per accepted connection: read the request (recorded),
// send exact bytes, wait, switch to TLS, hang without answering, close
// early or reset the connection. Connections beyond the scripts get the default script, if any, or
// are closed at once.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace lumetta::test {

class ServerScript {
public:
    struct Step {
        enum Kind { ReadRequest, Send, Delay, StartTls, Hang, Close, Reset };
        Kind kind;
        QByteArray data;
        int ms = 0;
    };

    // Reads up to the empty line after the header (and a Content-Length
    // body); the bytes are recorded.
    ServerScript &readRequest();
    ServerScript &send(const QByteArray &bytes);
    ServerScript &delay(int ms);
    ServerScript &startTls();
    // Keeps the connection open and silent until the client closes it or
    // the server stops.
    ServerScript &hang();
    ServerScript &close();
    // Drops the connection with a reset (RST) instead of a close.
    ServerScript &reset();

    QList<Step> steps;
};

class ScriptedServer {
public:
    // Port 0: any free port.
    explicit ScriptedServer(quint16 port = 0);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer &) = delete;
    ScriptedServer &operator=(const ScriptedServer &) = delete;

    // Both PEM; needed before a script's startTls().
    void setTls(const QByteArray &certificatePem, const QByteArray &keyPem);
    void addConnection(const ServerScript &script);
    void setDefaultScript(const ServerScript &script);

    quint16 port() const { return m_port; }
    bool listening() const { return m_port != 0; }
    QString url(const QString &path = QStringLiteral("/")) const;
    // Requests recorded so far, in arrival order.
    QList<QByteArray> requests() const;
    int connectionCount() const { return m_connections.load(); }
    // TLS handshakes that failed on the server side.
    QStringList tlsFailures() const;

private:
    void run();
    void serve(int fd, const ServerScript &script);

    int m_listenFd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    QList<ServerScript> m_scripts;
    std::unique_ptr<ServerScript> m_default;
    QList<QByteArray> m_requests;
    QStringList m_tlsFailures;
    QByteArray m_certificatePem;
    QByteArray m_keyPem;
    std::thread m_thread;
};

// A self-signed certificate for hostName made with the openssl tool into
// dir; false when the tool fails.
bool MakeTestCertificate(const QString &dir, const QString &hostName, QByteArray &certificatePem,
                         QByteArray &keyPem);

} // namespace lumetta::test
