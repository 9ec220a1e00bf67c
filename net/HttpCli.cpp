#include "net/HttpCli.h"

#include <QDate>
#include <QEventLoop>
#include <QPointer>
#include <cmath>

namespace lumetta {

namespace {

EHttpException OwnError(int code)
{
    return EHttpException(HttpErrorText(code), static_cast<quint16>(code));
}

QString ErrorSuffix(int code)
{
    return QStringLiteral(" (Error #%1)").arg(code);
}

// The socket's text for code, with the code.
QString SocketFailureText(int code)
{
    return WSocketErrorDesc(code) + ErrorSuffix(code);
}

bool HasControlCharacter(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    return false;
}

bool HasLineBreak(const QString &text)
{
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            return true;
    return false;
}

QString BasicCredentials(const QString &user, const QString &password)
{
    return QString::fromLatin1((user + u':' + password).toLatin1().toBase64());
}

} // namespace

QString HttpDateText(TDateTime value)
{
    // The integer part counts days, the fraction (sign dropped) is the time.
    const double whole = std::trunc(value);
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    qint64 seconds = std::llround(std::fabs(value - whole) * SecondsPerDay);
    if (seconds >= 86400)
        seconds = 86399;
    static const char days[] = "MonTueWedThuFriSatSun";
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const int dow = date.isValid() ? date.dayOfWeek() : 1;
    const int month = date.isValid() ? date.month() : 1;
    return QString::asprintf("%.3s, %2.2d %.3s %4.4d %2.2d:%2.2d:%2.2d",
                             days + (dow - 1) * 3, date.day(), months + (month - 1) * 3, date.year(),
                             int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60));
}

THttpCli::THttpCli(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &TWSocket::dnsLookupDone, this, &THttpCli::onDnsLookupDone);
    connect(&m_socket, &TWSocket::sessionConnected, this, &THttpCli::onSessionConnected);
    connect(&m_socket, &TWSocket::tlsDone, this, &THttpCli::onTlsDone);
    connect(&m_socket, &TWSocket::dataAvailable, this, &THttpCli::onData);
    connect(&m_socket, &TWSocket::sessionClosed, this, &THttpCli::onSessionClosed);
}

THttpCli::~THttpCli()
{
    m_socket.disconnect(this);
    m_socket.CancelDnsLookup();
    // A Get still waiting in its loop must not wait for a dead client.
    if (m_state != httpReady)
        emit stateChanged(httpReady);
}

void THttpCli::setResolver(HostResolver *resolver)
{
    m_socket.setResolver(resolver);
}

void THttpCli::Get() { syncRequest(httpGET); }
void THttpCli::Head() { syncRequest(httpHEAD); }
void THttpCli::Post() { syncRequest(httpPOST); }
void THttpCli::GetASync() { startRequest(httpGET); }
void THttpCli::HeadASync() { startRequest(httpHEAD); }
void THttpCli::PostASync() { startRequest(httpPOST); }

void THttpCli::syncRequest(THttpRequest rq)
{
    startRequest(rq);
    if (m_state != httpReady) {
        QPointer<THttpCli> self(this);
        QEventLoop loop;
        connect(this, &THttpCli::stateChanged, &loop, [&loop](int state) {
            if (state == httpReady)
                loop.quit();
        });
        loop.exec(MultiThreaded ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
        if (!self)
            throw OwnError(httperr::Aborted);
    }
    if (m_statusCode >= 400)
        throw EHttpException(m_reasonPhrase, static_cast<quint16>(m_statusCode));
}

void THttpCli::setState(THttpState state)
{
    m_state = state;
    if (OnStateChange)
        OnStateChange(this);
    emit stateChanged(state);
}

void THttpCli::startRequest(THttpRequest rq)
{
    if (m_state != httpReady)
        throw OwnError(httperr::Busy);
    if (rq == httpPOST && !SendStream)
        throw OwnError(httperr::NothingToPost);

    m_rq = rq;
    m_rcvdHeader.clear();
    m_statusCode = 0;
    m_reachedServer = false;
    m_reasonPhrase.clear();
    m_rcvdCount = 0;
    m_contentLength = -1;
    m_contentType.clear();
    m_docName.clear();
    m_acceptRanges.clear();
    m_wwwAuthenticate.clear();
    m_requestDoneError = 0;
    m_location = URL;
    m_finishing = false;
    m_failed = false;
    m_failReason.clear();
    m_failCode = 0;
    m_relocating = false;
    m_relocations = 0;
    m_docStarted = false;
    m_inTunnelSetup = false;
    m_sentDigest = m_answeredFresh = m_staleRetried = m_authRetry = false;
    m_responseStart = 0;
    m_stream.reset();
    m_partContentType.clear();
    m_tookStreamPart = false;
    m_parser.reset(m_rq == httpHEAD);
    m_socket.setExtraCaCertificates(ExtraCaCertificates);
    setState(httpNotConnected);
    if (m_state != httpNotConnected)
        return;  // aborted by a handler

    const HttpUrlParts url = SplitHttpUrl(URL);
    // Credentials of the URL serve this origin only; the properties stay.
    m_authUser = url.user.isEmpty() ? Username : url.user;
    m_authPassword = url.password.isEmpty() ? Password : url.password;

    Hop hop;
    hop.protocol = url.protocol;
    hop.host = url.host;
    hop.port = url.port;
    hop.path = url.path;
    hop.tls = IsHttps(url.protocol);
    m_originOfCredentials = hopOrigin(hop);

    QString docPath = url.path;
    if (docPath.isEmpty() || docPath == QLatin1String("/")) {
        m_docName = QStringLiteral("document.htm");
    } else {
        if (docPath.endsWith(u'/'))
            docPath.chop(1);
        m_docName = docPath.mid(docPath.lastIndexOf(u'/') + 1);
        const qsizetype q = m_docName.indexOf(u'?');
        if (q >= 0)
            m_docName.truncate(q);
    }

    // A line break smuggled into any of these would forge header lines.
    if (HasControlCharacter(URL)) {
        failOwn(httperr::ControlCharacter, QStringLiteral("URL"));
        return;
    }
    // A webcam URL planted by a list is fetched only as what it says it is.
    if (!url.protocol.isEmpty() && !IsHttpScheme(url.protocol)) {
        failOwn(httperr::OtherScheme, QStringLiteral("URL names"), url.protocol.left(16));
        return;
    }
    // Decoded from the URL, or set by the caller; Digest quotes it as it is.
    if (HasControlCharacter(m_authUser)) {
        failOwn(httperr::ControlCharacter, QStringLiteral("User name"));
        return;
    }
    for (const QString *value : {&Proxy, &ProxyPort, &Reference, &Sender, &Accept, &Agent, &Cookie,
                                 &ContentTypePost, &ContentRangeBegin, &ContentRangeEnd, &ModifiedSinceText,
                                 &IfNoneMatch}) {
        if (HasLineBreak(*value)) {
            failOwn(httperr::ControlCharacter, QStringLiteral("Request header value"));
            return;
        }
    }

    setupHop(hop);
    startLookup();
}

QString THttpCli::hopOrigin(const Hop &hop) const
{
    return OriginOf(hop.protocol, hop.host, hop.port);
}

void THttpCli::setupHop(const Hop &hop)
{
    m_hop = hop;
    m_hostName = hop.host;
    m_tunnel = false;
    m_useProxy = !Proxy.isEmpty();
    if (!m_useProxy) {
        m_path = hop.path;
        m_targetHost = hop.host;
        m_targetPort = hop.port.isEmpty() ? DefaultPort(hop.tls) : hop.port;
    } else {
        const HttpUrlParts proxy = SplitHttpUrl(Proxy);
        m_targetHost = proxy.host;
        m_targetPort = proxy.port.isEmpty() ? ProxyPort : proxy.port;
        if (hop.tls) {
            // Through a tunnel the origin server sees an ordinary request.
            m_tunnel = true;
            m_path = hop.path;
        } else {
            const QString protocol = hop.protocol.isEmpty() ? QStringLiteral("http") : hop.protocol;
            m_path = protocol + QLatin1String("://") + hop.host
                     + (hop.port.isEmpty() ? QString() : u':' + hop.port)
                     + (hop.path.isEmpty() ? QStringLiteral("/") : hop.path);
        }
    }
    if (m_path.isEmpty())
        m_path = QStringLiteral("/");
    // A blank would end the target and start forged request text.
    m_path = RequestTarget(m_path);
}

void THttpCli::startLookup()
{
    m_parser.reset(m_rq == httpHEAD);
    setState(httpDnsLookup);
    if (m_state != httpDnsLookup)
        return;
    m_socket.DnsLookup(StripBrackets(m_targetHost));
}

void THttpCli::onDnsLookupDone(int error)
{
    if (m_state != httpDnsLookup)
        return;
    if (error != 0) {
        fail(QStringLiteral("can't resolve hostname to IP address"), error);
        return;
    }
    setState(httpDnsLookupDone);
    if (m_state != httpDnsLookupDone)
        return;
    const int code = m_socket.Connect(m_socket.lookupResult(), m_targetPort, m_hop.tls);
    if (code != 0)
        fail(QStringLiteral("can't connect:") + SocketFailureText(code), code);
}

void THttpCli::onSessionConnected(int error)
{
    if (m_state != httpDnsLookupDone)
        return;
    if (error != 0) {
        fail(SocketFailureText(error), error);
        return;
    }
    m_reachedServer = true;
    if (m_tunnel)
        sendTunnelRequest();
    else if (m_hop.tls)
        m_socket.StartTls(StripBrackets(m_hop.host));
    else
        connectedForRequest();
}

void THttpCli::onTlsDone(int error)
{
    if (m_state != httpDnsLookupDone)
        return;
    if (error != 0) {
        fail(QStringLiteral("TLS handshake failed: ") + m_socket.tlsErrorText() + ErrorSuffix(error), error);
        return;
    }
    connectedForRequest();
}

void THttpCli::sendTunnelRequest()
{
    m_inTunnelSetup = true;
    m_tunnelParser.reset();
    const QString authority = m_hop.host + u':' + (m_hop.port.isEmpty() ? DefaultPort(true) : m_hop.port);
    QString request = QLatin1String("CONNECT ") + authority + QLatin1String(" HTTP/1.0\r\n")
                      + QLatin1String("Host: ") + authority + QLatin1String("\r\n");
    if (!Agent.isEmpty())
        request += QLatin1String("User-Agent: ") + Agent + QLatin1String("\r\n");
    if (!ProxyUsername.isEmpty())
        request += QLatin1String("Proxy-Authorization: Basic ") + BasicCredentials(ProxyUsername, ProxyPassword)
                   + QLatin1String("\r\n");
    request += QLatin1String("\r\n");
    m_socket.Send(request.toLatin1());
}

void THttpCli::connectedForRequest()
{
    setState(httpConnected);
    if (OnSessionConnected)
        OnSessionConnected(this);
    if (m_state != httpConnected)
        return;  // aborted by the handler
    setState(httpWaitingHeader);
    if (m_state == httpWaitingHeader)
        sendRequest();
}

void THttpCli::sendRequest()
{
    if (OnRequestHeaderBegin)
        OnRequestHeaderBegin(this);
    QByteArray buffer;
    auto send = [&](const QString &line) {
        if (OnCommand)
            OnCommand(this, line);
        buffer += line.toLatin1();
        buffer += "\r\n";
    };
    const char *method = m_rq == httpPOST ? "POST" : m_rq == httpHEAD ? "HEAD" : "GET";
    send(QLatin1String(method) + u' ' + m_path + QLatin1String(" HTTP/1.0"));
    if (!Sender.isEmpty())
        send(QLatin1String("From: ") + Sender);
    if (!Accept.isEmpty())
        send(QLatin1String("Accept: ") + Accept);
    // Credentials are for the server they belong to, never for the next.
    if (!Reference.isEmpty())
        send(QLatin1String("Referer: ") + WithoutUserInfo(Reference));
    if (m_rq == httpPOST && !ContentTypePost.isEmpty())
        send(QLatin1String("Content-Type: ") + ContentTypePost);
    if (!Agent.isEmpty())
        send(QLatin1String("User-Agent: ") + Agent);
    // The port goes with the host unless it is the scheme's own.
    const bool ownPort = m_hop.port.isEmpty() || m_hop.port == DefaultPort(m_hop.tls);
    send(QLatin1String("Host: ") + m_hostName + (ownPort ? QString() : u':' + m_hop.port));
    if (NoCache) {
        send(QStringLiteral("Pragma: no-cache"));
        send(QStringLiteral("Cache-Control: no-cache"));
    }
    QByteArray postData;
    if (m_rq == httpPOST && SendStream) {
        postData = SendStream->readAll();
        send(QLatin1String("Content-Length: ") + QString::number(postData.size()));
    }
    if (!ModifiedSinceText.isEmpty())
        send(QLatin1String("If-Modified-Since: ") + ModifiedSinceText);
    else if (ModifiedSince != 0)
        send(QLatin1String("If-Modified-Since: ") + HttpDateText(ModifiedSince) + QLatin1String(" GMT"));
    if (!IfNoneMatch.isEmpty())
        send(QLatin1String("If-None-Match: ") + IfNoneMatch);
    m_sentDigest = false;
    // An origin that asked for Digest last run gets no Basic before its challenge.
    const QString origin = hopOrigin(m_hop);
    const bool awaitChallenge = m_expectDigest.contains(origin) && !m_digest.contains(origin);
    const QString authorization = m_authUser.isEmpty() || awaitChallenge ? QString() : authorizationLine();
    if (!authorization.isEmpty())
        send(authorization);
    if (m_useProxy && !m_tunnel && !ProxyUsername.isEmpty())
        send(QLatin1String("Proxy-Authorization: Basic ") + BasicCredentials(ProxyUsername, ProxyPassword));
    if (!Cookie.isEmpty())
        send(QLatin1String("Cookie: ") + Cookie);
    if (!ContentRangeBegin.isEmpty() || !ContentRangeEnd.isEmpty()) {
        send(QLatin1String("Range: bytes=") + ContentRangeBegin + u'-' + ContentRangeEnd);
        ContentRangeBegin.clear();
        ContentRangeEnd.clear();
    }
    send(QString());
    if (OnRequestHeaderEnd)
        OnRequestHeaderEnd(this);
    if (OnTrace)
        OnTrace(this, QLatin1String(method) + u' ' + m_path);
    m_socket.Send(buffer);

    if (m_rq == httpPOST) {
        if (OnSendBegin)
            OnSendBegin(this);
        if (OnSendData)
            OnSendData(this, postData.constData(), postData.size());
        m_socket.Send(postData);
        if (OnSendEnd)
            OnSendEnd(this);
    }
}

bool THttpCli::AskedForDigest(const QString &url) const
{
    return m_digest.contains(UrlOrigin(url));
}

void THttpCli::ExpectDigest(const QString &url)
{
    m_expectDigest.insert(UrlOrigin(url));
}

// Basic for a server that never asked otherwise; once it asked for Digest,
// only Digest, so the password no longer crosses the network in clear.
// Empty: it asked, but left no challenge we can answer yet.
QString THttpCli::authorizationLine()
{
    const auto it = m_digest.find(hopOrigin(m_hop));
    if (it == m_digest.end())
        return QLatin1String("Authorization: Basic ") + BasicCredentials(m_authUser, m_authPassword);
    if (it->challenge.nonce.isEmpty())
        return {};
    m_sentDigest = true;
    DigestRequest request;
    request.user = m_authUser;
    request.password = m_authPassword;
    request.method = QLatin1String(m_rq == httpPOST ? "POST" : m_rq == httpHEAD ? "HEAD" : "GET");
    request.uri = m_path;
    request.cnonce = NewClientNonce();
    request.nc = ++it->nc;
    return QLatin1String("Authorization: ") + DigestAuthorization(it->challenge, request);
}

bool THttpCli::answerChallenge()
{
    if (m_parser.statusCode != 401 || m_rq == httpPOST)
        return false;
    const auto challenge = ChooseDigestChallenge(m_parser.wwwAuthenticate);
    const QString origin = hopOrigin(m_hop);
    if (!challenge) {
        const QString why = DigestRefusal(m_parser.wwwAuthenticate);
        if (why.isEmpty())
            return false;
        // It asked for Digest: never Basic for it, answerable or not.
        m_digest.insert(origin, DigestState{});
        if (m_authUser.isEmpty())
            return false;
        failOwn(httperr::DigestUnanswerable, why);
        return true;
    }
    m_digest.insert(origin, DigestState{*challenge, 0});
    if (m_authUser.isEmpty())
        return false;
    // One answer to a fresh challenge, one more for an expired nonce: a
    // wrong password ends with the 401, never in a loop.
    if (!m_answeredFresh && !(m_sentDigest && challenge->stale)) {
        m_answeredFresh = true;
    } else if (m_sentDigest && challenge->stale && !m_staleRetried) {
        m_staleRetried = true;
    } else {
        return false;
    }
    // The 401 was a step on the way: the header shows the answer's reply.
    m_rcvdHeader = m_rcvdHeader.mid(0, m_responseStart);
    m_authRetry = true;
    m_socket.Close();
    return true;
}

void THttpCli::onData(const QByteArray &data)
{
    if (m_inTunnelSetup) {
        m_tunnelParser.feed(data);
        if (m_tunnelParser.phase() == HttpResponseParser::Phase::Failed) {
            failOwn(httperr::ProxyReplyBad, m_tunnelParser.error);
        } else if (m_tunnelParser.headerEnded()) {
            m_inTunnelSetup = false;
            if (m_tunnelParser.statusCode / 100 == 2)
                m_socket.StartTls(StripBrackets(m_hop.host));
            else
                failOwn(httperr::ProxyRefused, QString::number(m_tunnelParser.statusCode),
                        m_tunnelParser.reasonPhrase);
        }
        return;
    }
    if (m_state != httpWaitingHeader && m_state != httpWaitingBody)
        return;
    m_parser.feed(data);
    if (m_failed || m_state == httpAborting)
        return;
    if (m_parser.phase() == HttpResponseParser::Phase::Failed)
        fail(m_parser.error, m_parser.errorCode);
    else if (m_stream && m_stream->failed())
        fail(m_stream->error, m_stream->errorCode);
    else if (m_authRetry || m_parser.closeWanted() || m_parser.bodyComplete() || (m_stream && m_stream->done()))
        m_socket.Close();
}

void THttpCli::headerBegin()
{
    m_responseStart = m_rcvdHeader.size();
    if (OnHeaderBegin)
        OnHeaderBegin(this);
}

void THttpCli::headerLine(const QString &line)
{
    if (m_state != httpWaitingHeader)
        return;
    m_rcvdHeader << line;
    m_statusCode = m_parser.statusCode;
    m_reasonPhrase = m_parser.reasonPhrase;
    m_contentLength = m_parser.contentLength;
    m_contentType = m_parser.contentType;
    m_acceptRanges = m_parser.acceptRanges;
    m_wwwAuthenticate = m_parser.wwwAuthenticate;
    if (!m_parser.contentRangeBegin.isEmpty() || !m_parser.contentRangeEnd.isEmpty()) {
        ContentRangeBegin = m_parser.contentRangeBegin;
        ContentRangeEnd = m_parser.contentRangeEnd;
    }
    if (OnHeaderData)
        OnHeaderData(this);
}

void THttpCli::cookie(const QString &value)
{
    bool accept = true;
    if (OnCookie)
        OnCookie(this, value, accept);
}

void THttpCli::headerEnd()
{
    if (m_state != httpWaitingHeader)
        return;
    // The "<HTML>" rule may end the header before any line set the type.
    m_contentType = m_parser.contentType;
    if (answerChallenge())
        return;
    if (m_parser.hasLocation && m_parser.statusCode < 400) {
        if (OnHeaderEnd)
            OnHeaderEnd(this);
        if (m_state == httpWaitingHeader)
            followLocation();
        return;
    }
    if (m_docName.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)
        && m_contentType == QLatin1String("text/html"))
        m_docName = m_docName.left(m_docName.size() - 3) + QLatin1String("htm");
    // An MJPEG stream never ends by itself: its first picture is the reply.
    if (m_parser.phase() == HttpResponseParser::Phase::Body && !m_parser.bodyComplete()
        && m_contentType.startsWith(QLatin1String("multipart/x-mixed-replace"))) {
        m_stream = std::make_unique<MultipartFirstPart>(
            MultipartBoundary(m_parser.contentTypeAsSent),
            [this](const char *data, qsizetype length) { deliverBody(data, length); });
    }
    setState(httpWaitingBody);
    if (OnHeaderEnd)
        OnHeaderEnd(this);
}

void THttpCli::followLocation()
{
    const QString value = m_parser.location;
    if (HasControlCharacter(value)) {
        failOwn(httperr::ControlCharacter, QStringLiteral("Relocation target"));
        return;
    }
    if (m_relocations >= MaxRelocations) {
        failOwn(httperr::TooManyRelocations, QString::number(MaxRelocations));
        return;
    }

    Hop next = m_hop;
    QString newUrl;
    if (value.contains(QLatin1String("://"))) {
        const HttpUrlParts url = SplitHttpUrl(value);
        if (!IsHttpScheme(url.protocol)) {
            failOwn(httperr::OtherScheme, QStringLiteral("Relocation leads to"), url.protocol.left(16));
            return;
        }
        next.protocol = url.protocol;
        next.tls = IsHttps(url.protocol);
        next.host = url.host;
        next.path = url.path;
        // No port: the scheme's own, as for any absolute URL.
        next.port = url.port;
        newUrl = value;
    } else {
        if (value.startsWith(u'/')) {
            next.path = value;
        } else {
            // Relative to the folder of the current document.
            QString base = m_hop.path;
            base.truncate(base.indexOf(u'?') < 0 ? base.size() : base.indexOf(u'?'));
            base = base.left(base.lastIndexOf(u'/') + 1);
            next.path = (base.isEmpty() ? QStringLiteral("/") : base) + value;
        }
        const QString protocol = next.protocol.isEmpty() ? QStringLiteral("http") : next.protocol;
        newUrl = protocol + QLatin1String("://") + next.host + (next.port.isEmpty() ? QString() : u':' + next.port)
                 + next.path;
    }

    ++m_relocations;
    m_relocating = true;
    m_location = RequestTarget(newUrl);
    if (hopOrigin(next) != m_originOfCredentials) {
        m_authUser = Username;
        m_authPassword = Password;
    }
    setupHop(next);
    m_socket.Close();
}

void THttpCli::body(const char *data, qsizetype length)
{
    if (m_state != httpWaitingBody)
        return;
    if (m_stream) {
        m_stream->feed(QByteArrayView(data, length));
        return;
    }
    deliverBody(data, length);
}

void THttpCli::deliverBody(const char *data, qsizetype length)
{
    if (!m_docStarted) {
        m_docStarted = true;
        if (OnDocBegin)
            OnDocBegin(this);
    }
    if (RcvdStream)
        RcvdStream->write(data, length);
    m_rcvdCount += length;
    if (OnDocData)
        OnDocData(this, data, length);
}

void THttpCli::onSessionClosed(int error)
{
    if (m_finishing || m_state == httpReady || m_state == httpNotConnected || m_state == httpDnsLookup)
        return;
    if (m_failed || m_state == httpAborting) {
        finishRequest();
        return;
    }
    if (m_inTunnelSetup || m_state == httpDnsLookupDone) {
        if (m_tunnel)
            failOwn(httperr::ProxyClosed);
        else
            fail(SocketFailureText(wsa::ConnReset), wsa::ConnReset);
        return;
    }
    if (m_authRetry) {
        m_authRetry = false;
        startLookup();
        return;
    }
    if (m_relocating) {
        m_relocating = false;
        if (OnLocationChange)
            OnLocationChange(this);
        if (m_state == httpAborting || m_failed) {
            finishRequest();
            return;
        }
        startLookup();
        return;
    }
    // A reset by the peer, or any other socket error, is no normal end.
    if (error != 0) {
        fail(SocketFailureText(error), error);
        return;
    }
    if (m_stream) {
        // The stream's framing ended the reply, whatever the outer one says.
        m_stream->finish();
        if (m_stream->failed()) {
            fail(m_stream->error, m_stream->errorCode);
            return;
        }
        m_tookStreamPart = true;
        m_partContentType = m_stream->contentType;
    } else {
        m_parser.finish();
    }
    if (m_parser.phase() == HttpResponseParser::Phase::Failed) {
        fail(m_parser.error, m_parser.errorCode);
        return;
    }
    if (m_relocating) {
        // The last header line, cut short by the close, was a relocation's.
        onSessionClosed(error);
        return;
    }
    if (m_docStarted && OnDocEnd)
        OnDocEnd(this);
    finishRequest();
}

bool THttpCli::socketOpen() const
{
    const TWSocket::State s = m_socket.state();
    return s != TWSocket::State::Closed && s != TWSocket::State::DnsLookup;
}

void THttpCli::fail(const QString &reason, int code)
{
    if (m_finishing)
        return;
    if (!m_failed) {
        m_failed = true;
        m_failReason = reason;
        m_failCode = code;
    }
    if (OnTrace)
        OnTrace(this, reason);
    if (socketOpen())
        m_socket.Close();  // the close finishes the request
    else
        finishRequest();
}

void THttpCli::Abort()
{
    if (m_state == httpReady || m_finishing) {
        if (socketOpen())
            m_socket.Close();
        return;
    }
    if (m_state == httpAborting)
        return;
    if (!m_failed) {
        m_failed = true;
        m_failReason = HttpErrorText(httperr::Aborted);
        m_failCode = httperr::Aborted;
    }
    const bool lookingUp = m_state == httpDnsLookup || m_state == httpNotConnected;
    setState(httpAborting);
    if (lookingUp || !socketOpen()) {
        m_socket.CancelDnsLookup();
        finishRequest();
    } else {
        m_socket.Close();
    }
}

void THttpCli::finishRequest()
{
    if (m_finishing)
        return;
    m_finishing = true;
    m_relocating = false;
    m_authRetry = false;
    m_inTunnelSetup = false;
    if (m_failed) {
        m_statusCode = 404;
        m_reasonPhrase = m_failReason;
        m_requestDoneError = m_failCode;
    }
    QMetaObject::invokeMethod(this, [this] {
        m_finishing = false;
        setState(httpReady);
        const THttpRequest rq = m_rq;
        const int error = m_requestDoneError;
        QMetaObject::invokeMethod(this, [this, rq, error] {
            if (OnRequestDone)
                OnRequestDone(this, rq, error);
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

} // namespace lumetta
