#pragma once
// URLs as the HTTP client reads them: split into their parts, credentials
// taken out, the scheme's default port.
#include <QString>

namespace lumetta {

// The parts of a URL as the client splits it; port and user stay empty
// when the URL names none. User and password come percent-decoded.
struct HttpUrlParts {
    QString protocol;
    QString user;
    QString password;
    QString host;
    QString port;
    QString path;
};
HttpUrlParts SplitHttpUrl(const QString &url);

// url without the "user:password@" before its host, split as above.
QString WithoutUserInfo(const QString &url);

// "scheme://host:port", lower-cased, the scheme's default port filled in
// (no scheme: http): credentials and a Digest note belong to one origin.
QString OriginOf(const QString &protocol, const QString &host, const QString &port);
// The same of a URL; empty for one without a host.
QString UrlOrigin(const QString &url);

// RFC 3986 percent-decoding; a '%' without two hex digits stays as it is.
// The bytes are read as UTF-8 when they are valid UTF-8, else as Latin-1.
QString PercentDecoded(const QString &text);

// text as a request line can carry it: every byte outside RFC 3986's
// unreserved and reserved characters percent-encoded, '%' left alone.
QString RequestTarget(const QString &text);

bool IsHttps(const QString &protocol);
// http or https, in any case.
bool IsHttpScheme(const QString &protocol);
QString DefaultPort(bool tls);
// An IPv6 literal without its brackets, as the socket wants it.
QString StripBrackets(const QString &host);

} // namespace lumetta
