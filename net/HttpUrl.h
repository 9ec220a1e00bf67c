#pragma once
// URLs as the HTTP client reads them: split into their parts, credentials
// taken out, the scheme's default port.
#include <QString>

namespace lumetta {

// The parts of a URL as the client splits it; port and user stay empty
// when the URL names none.
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

bool IsHttps(const QString &protocol);
QString DefaultPort(bool tls);
// An IPv6 literal without its brackets, as the socket wants it.
QString StripBrackets(const QString &host);

} // namespace lumetta
