#include "net/WSocket.h"

#include <QHash>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <cerrno>
#include <sys/socket.h>
#endif

namespace lumetta {

QString WSocketErrorDesc(int code)
{
    struct Entry {
        int code;
        const char *text;
    };
    static const Entry table[] = {
        {0, "No Error"},
        {10004, "Interrupted system call"},
        {10009, "Bad file number"},
        {10013, "Permission denied"},
        {10014, "Bad address"},
        {10022, "Invalid argument"},
        {10024, "Too many open files"},
        {10035, "Operation would block"},
        {10036, "Operation now in progress"},
        {10037, "Operation already in progress"},
        {10038, "Socket operation on non-socket"},
        {10039, "Destination address required"},
        {10040, "Message too long"},
        {10041, "Protocol wrong type for socket"},
        {10042, "Protocol not available"},
        {10043, "Protocol not supported"},
        {10044, "Socket type not supported"},
        {10045, "Operation not supported on socket"},
        {10046, "Protocol family not supported"},
        {10047, "Address family not supported by protocol family"},
        {10048, "Address already in use"},
        {10049, "Address not available"},
        {10050, "Network is down"},
        {10051, "Network is unreachable"},
        {10052, "Network dropped connection on reset"},
        {10053, "Connection aborted"},
        {10054, "Connection reset by peer"},
        {10055, "No buffer space available"},
        {10056, "Socket is already connected"},
        {10057, "Socket is not connected"},
        {10058, "Can't send after socket shutdown"},
        {10059, "Too many references, can't splice"},
        {10060, "Connection timed out"},
        {10061, "Connection refused"},
        {10062, "Too many levels of symbolic links"},
        {10063, "File name too long"},
        {10064, "Host is down"},
        {10065, "No route to host"},
        {10066, "Directory not empty"},
        {10067, "Too many processes"},
        {10068, "Too many users"},
        {10069, "Disc quota exceeded"},
        {10070, "Stale NFS file handle"},
        {10071, "Too many levels of remote in path"},
        {10091, "Network subsystem is unusable"},
        {10092, "Winsock DLL cannot support this application"},
        {10093, "Winsock not initialized"},
        {10101, "Disconnect"},
        {11001, "Host not found"},
        {11002, "Non-authoritative host not found"},
        {11003, "Non-recoverable error"},
        {11004, "Valid name, no data record of requested type"},
    };
    for (const Entry &e : table)
        if (e.code == code)
            return QString::fromLatin1(e.text);
    return QStringLiteral("Not a WinSock error");
}

namespace {

int WinsockCode(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return wsa::ConnRefused;
    case QAbstractSocket::RemoteHostClosedError: return wsa::ConnReset;
    case QAbstractSocket::HostNotFoundError: return wsa::HostNotFound;
    case QAbstractSocket::SocketAccessError: return 10013;
    case QAbstractSocket::SocketResourceError: return wsa::NoBufs;
    case QAbstractSocket::SocketTimeoutError: return wsa::TimedOut;
    case QAbstractSocket::NetworkError: return wsa::NetUnreach;
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError: return wsa::AddrNotAvail;
    case QAbstractSocket::UnsupportedSocketOperationError: return 10045;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError: return wsa::TlsFailed;
    default: return wsa::ConnAborted;
    }
}

// Takes the error the system holds for the socket, as a Winsock code; 0
// when none. Qt reads a reset by the peer as a plain end of stream, so the
// socket layer must look before every read.
int TakeSocketError(qintptr descriptor)
{
    if (descriptor < 0)
        return 0;
    int error = 0;
#ifdef Q_OS_WIN
    int length = sizeof error;
    if (::getsockopt(SOCKET(descriptor), SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&error), &length) != 0)
        return 0;
    return error;  // already a Winsock code
#else
    socklen_t length = sizeof error;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return 0;
    switch (error) {
    case 0: return 0;
    case ECONNRESET: return wsa::ConnReset;
    case ETIMEDOUT: return wsa::TimedOut;
    case ENETUNREACH: return wsa::NetUnreach;
    case ENETDOWN: return wsa::NetDown;
    case EHOSTUNREACH: return wsa::HostUnreach;
    default: return wsa::ConnAborted;
    }
#endif
}

class QtResolver final : public HostResolver {
public:
    int lookup(const QString &host, Done done) override
    {
        const int ticket = ++m_next;
        m_pending.insert(ticket, std::move(done));
        QString name = host;
        if (name.startsWith(u'[') && name.endsWith(u']'))
            name = name.mid(1, name.size() - 2);
        QHostAddress literal;
        if (name.isEmpty() || literal.setAddress(name)) {
            // Answer on the next turn of the loop, as a real lookup would.
            QTimer::singleShot(0, &m_context, [this, ticket, literal] {
                if (literal.isNull())
                    answer(ticket, wsa::HostNotFound, {});
                else
                    answer(ticket, 0, {literal});
            });
            return ticket;
        }
        const int id = QHostInfo::lookupHost(name, &m_context, [this, ticket](const QHostInfo &info) {
            m_qtIds.remove(ticket);
            if (info.error() != QHostInfo::NoError)
                answer(ticket, info.error() == QHostInfo::HostNotFound ? wsa::HostNotFound : wsa::NoRecovery, {});
            else if (info.addresses().isEmpty())
                answer(ticket, wsa::NoData, {});
            else
                answer(ticket, 0, info.addresses());
        });
        m_qtIds.insert(ticket, id);
        return ticket;
    }

    void cancel(int ticket) override
    {
        m_pending.remove(ticket);
        if (auto it = m_qtIds.find(ticket); it != m_qtIds.end()) {
            QHostInfo::abortHostLookup(it.value());
            m_qtIds.erase(it);
        }
    }

private:
    void answer(int ticket, int error, const QList<QHostAddress> &addresses)
    {
        auto it = m_pending.find(ticket);
        if (it == m_pending.end())
            return;
        Done done = std::move(it.value());
        m_pending.erase(it);
        done(error, addresses);
    }

    QObject m_context;
    int m_next = 0;
    QHash<int, Done> m_pending;
    QHash<int, int> m_qtIds;
};

} // namespace

HostResolver &SystemResolver()
{
    static QtResolver resolver;
    return resolver;
}

TWSocket::TWSocket(QObject *parent) : QObject(parent) {}

TWSocket::~TWSocket()
{
    CancelDnsLookup();
    dropSocket();
}

void TWSocket::setResolver(HostResolver *resolver)
{
    m_resolver = resolver;
}

void TWSocket::setExtraCaCertificates(const QList<QSslCertificate> &certificates)
{
    m_extraCa = certificates;
}

void TWSocket::DnsLookup(const QString &host)
{
    CancelDnsLookup();
    m_address = QHostAddress();
    m_state = State::DnsLookup;
    HostResolver &resolver = m_resolver ? *m_resolver : SystemResolver();
    m_lookupResolver = &resolver;
    m_lookupTicket = resolver.lookup(host, [this](int error, const QList<QHostAddress> &addresses) {
        m_lookupTicket = 0;
        m_lookupResolver = nullptr;
        m_state = State::Closed;
        // IPv4 first: servers that listen on 127.0.0.1 only are common.
        for (const QHostAddress &a : addresses) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                m_address = a;
                break;
            }
        }
        if (m_address.isNull() && !addresses.isEmpty())
            m_address = addresses.first();
        if (error == 0 && m_address.isNull())
            error = wsa::NoData;
        emit dnsLookupDone(error);
    });
}

void TWSocket::CancelDnsLookup()
{
    if (m_lookupTicket != 0 && m_lookupResolver)
        m_lookupResolver->cancel(m_lookupTicket);
    m_lookupTicket = 0;
    m_lookupResolver = nullptr;
    if (m_state == State::DnsLookup)
        m_state = State::Closed;
}

int TWSocket::Connect(const QHostAddress &address, const QString &port, bool mayUseTls)
{
    bool ok = false;
    const uint number = port.trimmed().toUInt(&ok);
    if (!ok || number == 0 || number > 65535 || address.isNull())
        return wsa::AddrNotAvail;

    dropSocket();
    m_closePosted = false;
    m_tlsError.clear();
    m_sslErrors.clear();
    QTcpSocket *s = mayUseTls ? new QSslSocket(this) : new QTcpSocket(this);
    m_socket = s;
    // Lumetta's own proxy settings decide; the environment's must not.
    s->setProxy(QNetworkProxy::NoProxy);

    connect(s, &QAbstractSocket::connected, this, &TWSocket::onConnected);
    connect(s, &QIODevice::readyRead, this, &TWSocket::onReadyRead);
    connect(s, &QAbstractSocket::disconnected, this, &TWSocket::onDisconnected);
    connect(s, &QAbstractSocket::errorOccurred, this, &TWSocket::onError);
    if (auto *tls = qobject_cast<QSslSocket *>(s)) {
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        if (!m_extraCa.isEmpty())
            conf.addCaCertificates(m_extraCa);
        tls->setSslConfiguration(conf);
        connect(tls, &QSslSocket::encrypted, this, [this] {
            if (m_state != State::Handshaking)
                return;
            m_state = State::Connected;
            emit tlsDone(0);
            onReadyRead();
        });
        connect(tls, &QSslSocket::sslErrors, this, [this](const QList<QSslError> &errors) {
            for (const QSslError &e : errors)
                m_sslErrors << e.errorString();
        });
    }

    m_state = State::Connecting;
    m_pendingError = 0;
    // Unbuffered, a plain socket is read only by onReadyRead, which can
    // then look for a reset before Qt's read hides it.
    s->connectToHost(address, static_cast<quint16>(number),
                     mayUseTls ? QIODevice::ReadWrite : QIODevice::ReadWrite | QIODevice::Unbuffered);
    return 0;
}

void TWSocket::StartTls(const QString &peerName)
{
    auto *tls = qobject_cast<QSslSocket *>(m_socket.data());
    if (!tls || m_state != State::Connected)
        return;
    m_state = State::Handshaking;
    tls->setPeerVerifyName(peerName);
    tls->startClientEncryption();
}

void TWSocket::Send(const QByteArray &data)
{
    if (m_socket && m_state == State::Connected)
        m_socket->write(data);
}

void TWSocket::Close()
{
    if (!m_socket)
        return;
    dropSocket();
    m_closePosted = false;
    postClosed(0);
}

void TWSocket::dropSocket()
{
    if (m_socket) {
        ++m_generation;
        QTcpSocket *s = m_socket;
        m_socket = nullptr;
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
    if (m_state != State::DnsLookup)
        m_state = State::Closed;
}

void TWSocket::onConnected()
{
    if (m_state != State::Connecting)
        return;
    m_state = State::Connected;
    const quint64 gen = m_generation;
    QMetaObject::invokeMethod(this, [this, gen] {
        if (gen == m_generation)
            emit sessionConnected(0);
    }, Qt::QueuedConnection);
}

void TWSocket::onReadyRead()
{
    // Handlers may close the socket while data is being handed on.
    // One reused buffer: a fresh large allocation per chunk costs more than
    // the copy itself.
    if (m_readBuffer.size() != ReadChunk)
        m_readBuffer.resize(ReadChunk);
    while (m_socket && m_state == State::Connected) {
        if (const int error = TakeSocketError(m_socket->socketDescriptor()))
            m_pendingError = error;
        const qint64 n = m_socket->read(m_readBuffer.data(), m_readBuffer.size());
        if (n > 0) {
            emit dataAvailable(QByteArray::fromRawData(m_readBuffer.constData(), n));
            continue;
        }
        // An unbuffered socket tells its end only here, without a signal.
        if (n < 0 && m_socket->state() == QAbstractSocket::UnconnectedState) {
            int code = m_pendingError;
            if (code == 0 && m_socket->error() != QAbstractSocket::RemoteHostClosedError)
                code = WinsockCode(m_socket->error());
            postClosed(code);
        }
        break;
    }
}

void TWSocket::onDisconnected()
{
    if (m_state == State::Connected) {
        onReadyRead();
        if (m_socket)
            postClosed(0);
    } else if (m_state == State::Handshaking) {
        onError(QAbstractSocket::RemoteHostClosedError);
    }
}

void TWSocket::onError(QAbstractSocket::SocketError error)
{
    const int code = WinsockCode(error);
    const quint64 gen = m_generation;
    switch (m_state) {
    case State::Connecting:
        dropSocket();
        // Also posted when Qt reports the failure inside connectToHost.
        QMetaObject::invokeMethod(this, [this, gen = m_generation, code] {
            if (gen == m_generation)
                emit sessionConnected(code);
        }, Qt::QueuedConnection);
        break;
    case State::Handshaking: {
        if (!m_sslErrors.isEmpty())
            m_tlsError = m_sslErrors.join(QStringLiteral("; "));
        else if (error == QAbstractSocket::RemoteHostClosedError)
            m_tlsError = QStringLiteral("Connection closed during the TLS handshake");
        else
            m_tlsError = m_socket ? m_socket->errorString() : QString();
        dropSocket();
        QMetaObject::invokeMethod(this, [this, gen = m_generation] {
            if (gen == m_generation)
                emit tlsDone(wsa::TlsFailed);
        }, Qt::QueuedConnection);
        break;
    }
    case State::Connected:
        // Reads what is left; the end itself is posted there or, for a
        // peer's plain close, by onDisconnected.
        onReadyRead();
        if (error != QAbstractSocket::RemoteHostClosedError && gen == m_generation && m_socket)
            postClosed(code);
        break;
    default:
        break;
    }
}

void TWSocket::postClosed(int error)
{
    if (m_closePosted)
        return;
    m_closePosted = true;
    const quint64 gen = m_generation;
    QMetaObject::invokeMethod(this, [this, gen, error] {
        if (gen == m_generation)
            emit sessionClosed(error);
    }, Qt::QueuedConnection);
}

} // namespace lumetta
