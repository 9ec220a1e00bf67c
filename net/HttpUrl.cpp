#include "net/HttpUrl.h"

#include <QStringDecoder>
#include <cstring>

namespace lumetta {

namespace {

struct ProtocolSplit {
    QString protocol;
    qsizetype rest = 0;  // where the text after the protocol starts; -1 for a bare path
};

ProtocolSplit SplitProtocol(const QString &url)
{
    const qsizetype sep = url.indexOf(QLatin1String("://"));
    if (sep >= 0)
        return {url.left(sep), sep + 3};
    if (url.startsWith(u'/'))
        return {{}, -1};
    if (url.startsWith(QLatin1String("http:"), Qt::CaseInsensitive))
        return {QStringLiteral("http"), 5};
    if (url.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return {QStringLiteral("mailto"), 7};
    return {};
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = char(c | 0x20);
    if (lower >= 'a' && lower <= 'f')
        return lower - 'a' + 10;
    return -1;
}

} // namespace

QString PercentDecoded(const QString &text)
{
    const QByteArray in = text.toUtf8();
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const int high = in[i] == '%' && i + 2 < in.size() ? HexDigit(in[i + 1]) : -1;
        const int low = high < 0 ? -1 : HexDigit(in[i + 2]);
        if (low < 0) {
            out += in[i];
            continue;
        }
        out += char(high * 16 + low);
        i += 2;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(out);
    return utf8.hasError() ? QString::fromLatin1(out) : decoded;
}

QString RequestTarget(const QString &text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    QString out;
    for (const char c : text.toUtf8()) {
        const auto byte = uchar(c);
        // Visible ASCII but these nine is what RFC 3986 allows, '%' included.
        if (byte > 0x20 && byte < 0x7F && !std::strchr("\"<>\\^`{|}", c)) {
            out += QLatin1Char(c);
        } else {
            out += u'%';
            out += QLatin1Char(hex[byte >> 4]);
            out += QLatin1Char(hex[byte & 15]);
        }
    }
    return out;
}

QString DefaultPort(bool tls)
{
    return tls ? QStringLiteral("443") : QStringLiteral("80");
}

bool IsHttps(const QString &protocol)
{
    return protocol.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

bool IsHttpScheme(const QString &protocol)
{
    return IsHttps(protocol) || protocol.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0;
}

QString OriginOf(const QString &protocol, const QString &host, const QString &port)
{
    const QString scheme = protocol.isEmpty() ? QStringLiteral("http") : protocol.toLower();
    return scheme + QLatin1String("://") + host.toLower() + u':' + (port.isEmpty() ? DefaultPort(IsHttps(scheme)) : port);
}

QString UrlOrigin(const QString &url)
{
    const HttpUrlParts p = SplitHttpUrl(url);
    return p.host.isEmpty() ? QString() : OriginOf(p.protocol, p.host, p.port);
}

QString StripBrackets(const QString &host)
{
    if (host.startsWith(u'[') && host.endsWith(u']'))
        return host.mid(1, host.size() - 2);
    return host;
}

HttpUrlParts SplitHttpUrl(const QString &url)
{
    HttpUrlParts p;
    const ProtocolSplit split = SplitProtocol(url);
    if (split.rest < 0) {
        p.path = url;
        return p;
    }
    p.protocol = split.protocol;
    const QString rest = url.mid(split.rest);

    const qsizetype slash = rest.indexOf(u'/');
    const QString authority = slash < 0 ? rest : rest.left(slash);
    if (slash >= 0)
        p.path = rest.mid(slash);

    const qsizetype at = authority.lastIndexOf(u'@');
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        const qsizetype colon = userInfo.indexOf(u':');
        // Split first, then decode: an escaped '@' or ':' belongs to its part.
        if (colon >= 0) {
            p.user = PercentDecoded(userInfo.left(colon));
            p.password = PercentDecoded(userInfo.mid(colon + 1));
        } else {
            p.user = PercentDecoded(userInfo);
        }
    }
    const QString hostPort = authority.mid(at + 1);
    qsizetype colon = hostPort.lastIndexOf(u':');
    // The colons of an IPv6 literal are not a port separator.
    if (colon >= 0 && hostPort.startsWith(u'[') && colon < hostPort.lastIndexOf(u']'))
        colon = -1;
    if (colon >= 0) {
        p.host = hostPort.left(colon);
        p.port = hostPort.mid(colon + 1);
    } else {
        p.host = hostPort;
    }
    return p;
}

QString WithoutUserInfo(const QString &url)
{
    const ProtocolSplit split = SplitProtocol(url);
    if (split.rest < 0)
        return url;
    qsizetype end = url.indexOf(u'/', split.rest);
    if (end < 0)
        end = url.size();
    const qsizetype at = QStringView(url).sliced(split.rest, end - split.rest).lastIndexOf(u'@');
    return at < 0 ? url : url.left(split.rest) + url.mid(split.rest + at + 1);
}

} // namespace lumetta
