#pragma once
// The socket under the HTTP client: one non-blocking TCP connection at a
// time, optionally wrapped in TLS. Lookup, connect, data and close arrive as
// signals on the UI thread, and every error carries the classic Winsock code
// and text, so the client's messages read the same on every platform.
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QAbstractSocket>
#include <QSslCertificate>
#include <QString>
#include <QStringList>
#include <functional>

class QTcpSocket;

namespace lumetta {

// Winsock error codes the client reports.
namespace wsa {
inline constexpr int NoError = 0;
inline constexpr int Inval = 10022;
inline constexpr int AddrNotAvail = 10049;
inline constexpr int NetDown = 10050;
inline constexpr int NetUnreach = 10051;
inline constexpr int ConnAborted = 10053;
inline constexpr int ConnReset = 10054;
inline constexpr int NoBufs = 10055;
inline constexpr int TimedOut = 10060;
inline constexpr int ConnRefused = 10061;
inline constexpr int HostUnreach = 10065;
inline constexpr int HostNotFound = 11001;
inline constexpr int TryAgain = 11002;
inline constexpr int NoRecovery = 11003;
inline constexpr int NoData = 11004;
// Not Winsock: a TLS handshake or certificate failure.
inline constexpr int TlsFailed = 12001;
} // namespace wsa

// "Connection refused" for 10061, "No Error" for 0, "Not a WinSock error"
// for a code outside the table.
QString WSocketErrorDesc(int code);

// Name resolution behind an interface, so tests can hold a lookup open or
// answer it without a name server. Answers arrive later on the UI thread,
// never from inside lookup().
class HostResolver {
public:
    using Done = std::function<void(int error, const QList<QHostAddress> &addresses)>;
    virtual ~HostResolver() = default;
    // Returns a ticket for cancel(); after cancel() done is never called.
    virtual int lookup(const QString &host, Done done) = 0;
    virtual void cancel(int ticket) = 0;
};

// QHostInfo underneath; literal addresses answer without a lookup.
HostResolver &SystemResolver();

class TWSocket : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, DnsLookup, Connecting, Handshaking, Connected };

    explicit TWSocket(QObject *parent = nullptr);
    ~TWSocket() override;

    void setResolver(HostResolver *resolver);  // nullptr: the system's
    // Trusted in addition to the system's certificate store.
    void setExtraCaCertificates(const QList<QSslCertificate> &certificates);

    State state() const { return m_state; }

    // Answers with dnsLookupDone(); the address is then in lookupResult().
    void DnsLookup(const QString &host);
    void CancelDnsLookup();
    QHostAddress lookupResult() const { return m_address; }

    // Starts a connection; returns a Winsock code when the attempt cannot
    // even start (bad port or address), else 0 and answers with
    // sessionConnected(). Only a connection that may turn to TLS pays for
    // the TLS socket's extra buffering.
    [[nodiscard]] int Connect(const QHostAddress &address, const QString &port, bool mayUseTls);
    // On a connected plain socket; answers with tlsDone().
    void StartTls(const QString &peerName);

    void Send(const QByteArray &data);
    // Drops the connection at once; sessionClosed(0) follows, posted.
    // The peer's end posts sessionClosed too: 0 for a plain close, the
    // Winsock code for a reset or another error.
    void Close();

    QString tlsErrorText() const { return m_tlsError; }

signals:
    void dnsLookupDone(int error);
    void sessionConnected(int error);
    void tlsDone(int error);
    // The bytes are only valid during the call.
    void dataAvailable(const QByteArray &data);
    void sessionClosed(int error);

private:
    void dropSocket();
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void postClosed(int error);

    HostResolver *m_resolver = nullptr;
    HostResolver *m_lookupResolver = nullptr;
    QList<QSslCertificate> m_extraCa;
    QPointer<QTcpSocket> m_socket;
    State m_state = State::Closed;
    QHostAddress m_address;
    int m_lookupTicket = 0;
    QString m_tlsError;
    QStringList m_sslErrors;
    bool m_closePosted = false;
    // A socket error seen before a read, reported when the stream ends.
    int m_pendingError = 0;
    static constexpr qsizetype ReadChunk = 256 * 1024;
    QByteArray m_readBuffer;
    // Bumped per connection so a late signal of a dropped socket is ignored.
    quint64 m_generation = 0;
};

} // namespace lumetta
