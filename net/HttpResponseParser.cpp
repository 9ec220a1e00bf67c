#include "net/HttpResponseParser.h"

#include <cstring>

namespace lumetta {

namespace {

QString SkipBlanks(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    return text.mid(i);
}

bool StartsWithHtmlTag(const QByteArray &line)
{
    return line.size() >= 6 && qstrnicmp(line.constData(), "<HTML>", 6) == 0;
}

} // namespace

void HttpResponseParser::reset()
{
    *this = HttpResponseParser(m_listener);
}

bool HttpResponseParser::closeWanted() const
{
    return statusCode >= 400 || m_phase == Phase::Discard || m_phase == Phase::Failed;
}

void HttpResponseParser::feed(QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype pos = 0;
    const qsizetype size = bytes.size();
    while (pos < size) {
        if (m_phase == Phase::Body) {
            deliver(data + pos, size - pos);
            return;
        }
        if (m_phase != Phase::Header)
            return;
        if (!m_headerStarted) {
            m_headerStarted = true;
            if (m_listener)
                m_listener->headerBegin();
        }
        const void *found = std::memchr(data + pos, '\n', static_cast<size_t>(size - pos));
        const qsizetype end = found ? static_cast<const char *>(found) - data : size;
        m_headerBytes += end - pos + (found ? 1 : 0);
        if (m_headerBytes > MaxHeaderSize) {
            m_line.clear();
            failWith(httperr::HeaderTooLong);
            return;
        }
        m_line.append(data + pos, end - pos);
        if (m_line.size() >= MaxLineLength) {
            m_line.clear();
            failWith(httperr::LineTooLong);
            return;
        }
        if (!found)
            return;
        pos = end + 1;
        QByteArray line;
        line.swap(m_line);
        if (line.endsWith('\r'))
            line.chop(1);
        headerLine(std::move(line));
    }
}

void HttpResponseParser::finish()
{
    if (m_phase == Phase::Header && !m_line.isEmpty()) {
        QByteArray line;
        line.swap(m_line);
        if (line.endsWith('\r'))
            line.chop(1);
        headerLine(std::move(line));
    }
}

void HttpResponseParser::headerLine(QByteArray line)
{
    if (StartsWithHtmlTag(line)) {
        // No (further) header: the server went straight to a page.
        if (contentType.isEmpty())
            contentType = QStringLiteral("text/html");
        endHeader(statusCode < 400 && !hasLocation);
        if (m_phase == Phase::Body)
            deliver(line.constData(), line.size());
        return;
    }
    if (line.isEmpty()) {
        endHeader(statusCode < 400 && !hasLocation);
        return;
    }

    const QString text = QString::fromLatin1(line);
    if (text.startsWith(QLatin1String("HTTP/1.0")) || text.startsWith(QLatin1String("HTTP/1.1"))) {
        const QString code = text.mid(9, 3);
        bool digits = code.size() == 3;
        for (QChar c : code)
            digits = digits && c.isDigit();
        statusCode = digits ? code.toInt() : 0;
        reasonPhrase = text.mid(13);
    } else if (const qsizetype colon = text.indexOf(u':'); colon >= 0) {
        const QString name = text.left(colon).trimmed().toLower();
        const QString value = SkipBlanks(text.mid(colon + 1));
        if (name == QLatin1String("location")) {
            hasLocation = true;
            location = value;
            while (location.endsWith(u' '))
                location.chop(1);
        } else if (name == QLatin1String("content-length")) {
            bool ok = false;
            const qint64 n = value.trimmed().toLongLong(&ok);
            contentLength = ok && n >= 0 ? n : -1;
        } else if (name == QLatin1String("content-range")) {
            // "bytes 0-99/200"
            const QString range = value.mid(value.indexOf(u' ') + 1);
            const qsizetype dash = range.indexOf(u'-');
            const qsizetype slash = range.indexOf(u'/');
            if (dash < 0) {
                contentRangeBegin = range.left(slash).trimmed();
                contentRangeEnd.clear();
            } else {
                contentRangeBegin = range.left(dash).trimmed();
                contentRangeEnd = (slash > dash ? range.mid(dash + 1, slash - dash - 1) : range.mid(dash + 1)).trimmed();
            }
        } else if (name == QLatin1String("accept-ranges")) {
            acceptRanges = value;
        } else if (name == QLatin1String("content-type")) {
            contentType = value.toLower();
        } else if (name == QLatin1String("www-authenticate")) {
            wwwAuthenticate << value;
        } else if (name == QLatin1String("set-cookie")) {
            if (m_listener)
                m_listener->cookie(value);
        }
    }
    if (m_listener)
        m_listener->headerLine(text);
}

void HttpResponseParser::endHeader(bool toBody)
{
    m_phase = toBody ? Phase::Body : Phase::Discard;
    if (m_listener)
        m_listener->headerEnd();
}

void HttpResponseParser::failWith(int code)
{
    errorCode = code;
    error = HttpErrorText(code);
    m_phase = Phase::Failed;
}

void HttpResponseParser::deliver(const char *data, qsizetype length)
{
    if (contentLength >= 0)
        length = qMin(length, contentLength - bodyCount);
    if (length <= 0)
        return;
    bodyCount += length;
    if (m_listener)
        m_listener->body(data, length);
}

} // namespace lumetta
