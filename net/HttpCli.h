#pragma once
// Lumetta's HTTP/1.0 client: an explicit state machine over TWSocket. Every
// caller uses the synchronous Get or Head, which wait in a nested event loop
// so timers and input go on; a caller that wants a time limit arms its own
// timer and calls Abort.
#include "common/DateTime.h"
#include "common/Errors.h"
#include "net/DigestAuth.h"
#include "net/HttpErrors.h"
#include "net/HttpResponseParser.h"
#include "net/HttpUrl.h"
#include "net/MultipartStream.h"
#include "net/WSocket.h"

#include <QIODevice>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QStringList>
#include <QHash>
#include <QSet>
#include <functional>
#include <memory>

namespace lumetta {

enum THttpState {
    httpReady,
    httpNotConnected,
    httpConnected,
    httpDnsLookup,
    httpDnsLookupDone,
    httpWaitingHeader,
    httpWaitingBody,
    httpAborting,
};

enum THttpRequest { httpAbort, httpGET, httpPOST, httpHEAD };

// Relocations followed within one request before it fails.
inline constexpr int MaxRelocations = 20;

class EHttpException : public Error {
public:
    EHttpException(const QString &message, quint16 code) : Error(message), m_code(code) {}
    quint16 ErrorCode() const { return m_code; }

private:
    quint16 m_code;
};

// "If-Modified-Since" form of a date-time, taken as it stands.
QString HttpDateText(TDateTime value);

class THttpCli : public QObject, private HttpResponseParser::Listener {
    Q_OBJECT
public:
    explicit THttpCli(QObject *parent = nullptr);
    ~THttpCli() override;

    // Request properties.
    QString URL;
    QString Proxy;
    QString ProxyPort = QStringLiteral("80");
    QString Agent = QStringLiteral("Mozilla/3.0 (compatible)");
    QString Accept = QStringLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    QString Reference;
    QString Sender;
    QString Username;
    QString Password;
    QString ProxyUsername;
    QString ProxyPassword;
    bool NoCache = false;
    TDateTime ModifiedSince = 0;
    // Validators of the copy the caller holds, sent as the server wrote
    // them; ModifiedSinceText stands in for ModifiedSince when set.
    QString ModifiedSinceText;
    QString IfNoneMatch;
    QString Cookie;
    QString ContentTypePost = QStringLiteral("application/x-www-form-urlencoded");
    // Asked for by the request and cleared once sent; set from "Content-Range".
    QString ContentRangeBegin;
    QString ContentRangeEnd;
    bool MultiThreaded = false;
    QIODevice *RcvdStream = nullptr;  // owned by the caller; may stay unset
    QIODevice *SendStream = nullptr;  // data of a POST
    // Trusted for https in addition to the system's store.
    QList<QSslCertificate> ExtraCaCertificates;

    // Events; all optional.
    using TNotifyEvent = std::function<void(THttpCli *Sender)>;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnSessionConnected;
    TNotifyEvent OnRequestHeaderBegin;
    TNotifyEvent OnRequestHeaderEnd;
    std::function<void(THttpCli *Sender, const QString &Data)> OnCommand;
    TNotifyEvent OnHeaderBegin;
    TNotifyEvent OnHeaderData;
    TNotifyEvent OnHeaderEnd;
    std::function<void(THttpCli *Sender, const QString &Data, bool &Accept)> OnCookie;
    TNotifyEvent OnDocBegin;
    std::function<void(THttpCli *Sender, const char *Buffer, qint64 Len)> OnDocData;
    TNotifyEvent OnDocEnd;
    TNotifyEvent OnSendBegin;
    std::function<void(THttpCli *Sender, const char *Buffer, qint64 Len)> OnSendData;
    TNotifyEvent OnSendEnd;
    TNotifyEvent OnLocationChange;
    std::function<void(THttpCli *Sender, THttpRequest RqType, int Error)> OnRequestDone;
    std::function<void(THttpCli *Sender, const QString &Msg)> OnTrace;

    // Synchronous: return once the client is back in httpReady; raise
    // EHttpException when StatusCode is 400 or more.
    void Get();
    void Head();
    void Post();
    // Start only; OnRequestDone tells the end.
    void GetASync();
    void HeadASync();
    void PostASync();
    // Safe in any state.
    void Abort();

    THttpState State() const { return m_state; }
    int StatusCode() const { return m_statusCode; }
    // The last request connected to a server or proxy: a failure before
    // that (no name, no route, refused) may only mean the network is down.
    bool ReachedServer() const { return m_reachedServer; }
    QString ReasonPhrase() const { return m_reasonPhrase; }
    const QStringList &RcvdHeader() const { return m_rcvdHeader; }
    qint64 RcvdCount() const { return m_rcvdCount; }
    qint64 ContentLength() const { return m_contentLength; }
    QString ContentType() const { return m_contentType; }
    QString Location() const { return m_location; }
    QString DocName() const { return m_docName; }
    int RequestDoneError() const { return m_requestDoneError; }
    QString AcceptRanges() const { return m_acceptRanges; }
    QStringList WwwAuthenticate() const { return m_wwwAuthenticate; }
    // The reply was a multipart/x-mixed-replace stream (MJPEG) and the body
    // is its first part, of this Content-Type as sent (empty: none named).
    bool TookStreamPart() const { return m_tookStreamPart; }
    QString PartContentType() const { return m_partContentType; }
    // The server of url asked this client for Digest; it gets no Basic.
    bool AskedForDigest(const QString &url) const;
    // The server of url asked for Digest before (another run): it gets no
    // Basic either, and its challenge is answered with Digest.
    void ExpectDigest(const QString &url);
    // Where this hop goes.
    QString HostName() const { return m_hostName; }
    QString Path() const { return m_path; }
    QString TargetHost() const { return m_targetHost; }
    QString TargetPort() const { return m_targetPort; }

    void setResolver(HostResolver *resolver);

signals:
    void stateChanged(int state);

private:
    struct Hop {
        QString protocol;
        QString host;
        QString port;  // as the URL gives it; may be empty
        QString path;
        bool tls = false;
    };

    void syncRequest(THttpRequest rq);
    void startRequest(THttpRequest rq);
    void setState(THttpState state);
    void setupHop(const Hop &hop);
    QString hopOrigin(const Hop &hop) const;
    void startLookup();
    void sendRequest();
    void sendTunnelRequest();
    void fail(const QString &reason, int code);
    // A failure of the client's own: its text from the table, %1... filled.
    template <typename... Args>
    void failOwn(int code, const Args &...args)
    {
        QString text = HttpErrorText(code);
        ((text = text.arg(args)), ...);
        fail(text, code);
    }
    void finishRequest();
    bool socketOpen() const;
    void followLocation();
    // A 401 with a Digest challenge the credentials can answer: the same
    // request goes again with the answer. False leaves the 401 standing.
    bool answerChallenge();
    QString authorizationLine();
    void deliverBody(const char *data, qsizetype length);

    void onDnsLookupDone(int error);
    void onSessionConnected(int error);
    void onTlsDone(int error);
    void onData(const QByteArray &data);
    void onSessionClosed(int error);
    void connectedForRequest();

    // HttpResponseParser::Listener
    void headerBegin() override;
    void headerLine(const QString &line) override;
    void headerEnd() override;
    void cookie(const QString &value) override;
    void body(const char *data, qsizetype length) override;

    TWSocket m_socket;
    HttpResponseParser m_parser{this};
    HttpResponseParser m_tunnelParser;

    THttpState m_state = httpReady;
    bool m_reachedServer = false;
    THttpRequest m_rq = httpAbort;
    bool m_finishing = false;
    bool m_failed = false;
    QString m_failReason;
    int m_failCode = 0;

    Hop m_hop;
    QString m_originOfCredentials;
    QString m_authUser;
    QString m_authPassword;
    bool m_useProxy = false;
    bool m_tunnel = false;
    bool m_inTunnelSetup = false;
    bool m_relocating = false;
    int m_relocations = 0;
    // Per origin, for the client's life: who asked for Digest, with the
    // challenge and its nonce count for the next request.
    struct DigestState {
        DigestChallenge challenge;
        quint32 nc = 0;
    };
    QHash<QString, DigestState> m_digest;
    QSet<QString> m_expectDigest;  // origins awaiting their challenge
    bool m_sentDigest = false;        // this attempt carried a Digest answer
    bool m_answeredFresh = false;     // a challenge of this request was answered
    bool m_staleRetried = false;
    bool m_authRetry = false;         // the connection closes for the answer
    qsizetype m_responseStart = 0;    // where this response's lines begin
    std::unique_ptr<MultipartFirstPart> m_stream;
    QString m_partContentType;
    bool m_tookStreamPart = false;
    bool m_docStarted = false;

    QString m_hostName;
    QString m_path;
    QString m_targetHost;
    QString m_targetPort;

    int m_statusCode = 0;
    QString m_reasonPhrase;
    QStringList m_rcvdHeader;
    qint64 m_rcvdCount = 0;
    qint64 m_contentLength = -1;
    QString m_contentType;
    QString m_location;
    QString m_docName;
    int m_requestDoneError = 0;
    QString m_acceptRanges;
    QStringList m_wwwAuthenticate;
};

} // namespace lumetta
