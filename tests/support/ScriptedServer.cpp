#include "ScriptedServer.h"

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace lumetta::test {

ScriptedServer::ScriptedServer()
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listenFd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 && ::listen(m_listenFd, 16) == 0) {
        socklen_t len = sizeof addr;
        ::getsockname(m_listenFd, reinterpret_cast<sockaddr *>(&addr), &len);
        m_port = ntohs(addr.sin_port);
    }
    if (m_port != 0)
        m_thread = std::thread([this] { run(); });
}

ScriptedServer::~ScriptedServer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listenFd >= 0)
        ::close(m_listenFd);
}

void ScriptedServer::setTls(const QByteArray &certificatePem, const QByteArray &keyPem)
{
    std::lock_guard lock(m_mutex);
    m_certificatePem = certificatePem;
    m_keyPem = keyPem;
}

void ScriptedServer::addConnection(const ServerScript &script)
{
    std::lock_guard lock(m_mutex);
    m_scripts.append(script);
}

void ScriptedServer::setDefaultScript(const ServerScript &script)
{
    std::lock_guard lock(m_mutex);
    m_default = script;
}

QString ScriptedServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QList<QByteArray> ScriptedServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void ScriptedServer::run()
{
    while (!m_stop) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_connections;
        std::optional<ServerScript> script;
        {
            std::lock_guard lock(m_mutex);
            script = m_scripts.isEmpty() ? m_default : m_scripts.takeFirst();
        }
        if (!script) {
            ::close(fd);
            continue;
        }
        serve(fd, *script);
    }
}

namespace {

// Bytes that reached the client's end of a loopback connection but that the
// client has not read yet, from the kernel's table of TCP sockets; 0 once
// its end is gone.
qint64 UnreadByClient(quint16 clientPort, quint16 serverPort)
{
    const auto address = [](quint16 port) {
        return "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    };
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return 0;
    while (!table.atEnd()) {
        const QList<QByteArray> f = table.readLine().simplified().split(' ');
        if (f.size() > 4 && f[1] == address(clientPort) && f[2] == address(serverPort))
            return f[4].mid(f[4].indexOf(':') + 1).toLongLong(nullptr, 16);
    }
    return 0;
}

} // namespace

void ScriptedServer::serve(int fd, const ServerScript &script)
{
    QSslSocket sock;
    if (!sock.setSocketDescriptor(fd)) {
        ::close(fd);
        return;
    }
    auto connected = [&] { return sock.state() == QAbstractSocket::ConnectedState; };

    for (const ServerScript::Step &step : script.steps) {
        if (m_stop || !connected())
            return;
        switch (step.kind) {
        case ServerScript::Step::ReadRequest: {
            QByteArray buffer;
            while (!m_stop && !buffer.contains("\r\n\r\n")) {
                if (sock.bytesAvailable() == 0 && !sock.waitForReadyRead(20)) {
                    if (!connected())
                        break;
                    continue;
                }
                buffer += sock.readAll();
            }
            std::lock_guard lock(m_mutex);
            m_requests.append(buffer);
            break;
        }
        case ServerScript::Step::Send:
            sock.write(step.data);
            while (!m_stop && sock.bytesToWrite() > 0 && connected())
                sock.waitForBytesWritten(20);
            break;
        case ServerScript::Step::AwaitRead: {
            const int raw = int(sock.socketDescriptor());
            sockaddr_in peer{};
            socklen_t len = sizeof peer;
            ::getpeername(raw, reinterpret_cast<sockaddr *>(&peer), &len);
            for (;;) {
                int unsent = 0;
                ::ioctl(raw, SIOCOUTQ, &unsent);
                if (m_stop || !connected() || (unsent == 0 && UnreadByClient(ntohs(peer.sin_port), m_port) == 0))
                    break;
                sock.waitForReadyRead(1);  // notices a close meanwhile
            }
            break;
        }
        case ServerScript::Step::StartTls: {
            {
                std::lock_guard lock(m_mutex);
                sock.setLocalCertificate(QSslCertificate(m_certificatePem));
                sock.setPrivateKey(QSslKey(m_keyPem, QSsl::Ec));
            }
            QSslConfiguration conf = sock.sslConfiguration();
            conf.setPeerVerifyMode(QSslSocket::VerifyNone);
            sock.setSslConfiguration(conf);
            sock.startServerEncryption();
            while (!m_stop && !sock.isEncrypted() && connected())
                sock.waitForEncrypted(20);
            if (!sock.isEncrypted())
                return;
            break;
        }
        case ServerScript::Step::Hang:
            while (!m_stop && connected()) {
                sock.waitForReadyRead(20);
                sock.readAll();
            }
            break;
        case ServerScript::Step::Reset: {
            // A zero linger turns the close into a reset.
            const linger abortive{1, 0};
            ::setsockopt(int(sock.socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            sock.abort();
            return;
        }
        }
    }
    if (!connected())
        return;
    // Unread request bytes would turn the close into a reset.
    if (sock.bytesAvailable() > 0 || sock.waitForReadyRead(0))
        sock.readAll();
    sock.disconnectFromHost();
    if (sock.state() != QAbstractSocket::UnconnectedState)
        sock.waitForDisconnected(1000);
}

bool MakeTestCertificate(const QString &dir, const QString &hostName, QByteArray &certificatePem,
                         QByteArray &keyPem)
{
    const QString certPath = dir + QStringLiteral("/cert.pem");
    const QString keyPath = dir + QStringLiteral("/key.pem");
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    const QString args = "req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=%1 "
                         "-addext subjectAltName=DNS:%1";
    openssl.start(QStringLiteral("openssl"),
                  args.arg(hostName).split(u' ') + QStringList{"-keyout", keyPath, "-out", certPath});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        return false;
    QFile cert(certPath);
    QFile key(keyPath);
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return false;
    certificatePem = cert.readAll();
    keyPem = key.readAll();
    return !certificatePem.isEmpty() && !keyPem.isEmpty();
}

} // namespace lumetta::test
