#include "net/HttpResponseParser.h"

#include "common/Subs.h"

#include <cstring>
#include <limits>

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

// A reply to HEAD, and any 204 or 304, ends at the header's empty line.
bool ReplyHasBody(bool forHead, int statusCode)
{
    return !forHead && statusCode != 204 && statusCode != 304;
}

// The last coding named decides how the body is framed.
bool EndsInChunked(const QString &transferEncoding)
{
    const QString last = transferEncoding.mid(transferEncoding.lastIndexOf(u',') + 1).trimmed();
    return last.compare(QLatin1String("chunked"), Qt::CaseInsensitive) == 0;
}

// The size a chunk-size line announces: hex digits, then blanks or a ";"
// extension. -1 for anything else, or a size beyond 63 bits.
qint64 ChunkSizeOf(QByteArrayView line)
{
    qint64 size = 0;
    qsizetype i = 0;
    for (; i < line.size(); ++i) {
        const int digit = HexDigitValue(line[i]);
        if (digit < 0)
            break;
        if (size > (std::numeric_limits<qint64>::max() >> 4))
            return -1;
        size = size * 16 + digit;
    }
    if (i == 0)
        return -1;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    return i == line.size() || line[i] == ';' ? size : -1;
}

} // namespace

void HttpResponseParser::reset(bool forHead)
{
    *this = HttpResponseParser(m_listener);
    m_forHead = forHead;
}

bool HttpResponseParser::closeWanted() const
{
    // A 401's challenges follow its status line: its header is read whole.
    return (statusCode >= 400 && statusCode != 401) || m_phase == Phase::Discard || m_phase == Phase::Failed;
}

void HttpResponseParser::feed(QByteArrayView bytes)
{
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size && !bodyComplete()) {
        if (m_phase == Phase::Header)
            pos = feedHeader(data, pos, size);
        else if (m_phase == Phase::Body)
            pos = feedBody(data, pos, size);
        else
            return;
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
    // An error status needs no more than its status line.
    const bool cutInHeader = m_phase == Phase::Header && statusCode < 400;
    const bool cutInBody = m_phase == Phase::Body && !m_complete && (m_framedByChunks || contentLength >= 0);
    if (cutInHeader || cutInBody)
        failWith(httperr::CutShort);
}

bool HttpResponseParser::takeLine(const char *data, qsizetype &pos, qsizetype size, int tooLong, bool countAsHeader,
                                  QByteArray &line)
{
    const void *found = std::memchr(data + pos, '\n', static_cast<size_t>(size - pos));
    const qsizetype end = found ? static_cast<const char *>(found) - data : size;
    if (countAsHeader) {
        m_headerBytes += end - pos + (found ? 1 : 0);
        if (m_headerBytes > MaxHeaderSize) {
            failWith(httperr::HeaderTooLong);
            return false;
        }
    }
    m_line.append(data + pos, end - pos);
    if (m_line.size() >= MaxLineLength) {
        failWith(tooLong);
        return false;
    }
    pos = found ? end + 1 : size;
    if (!found)
        return false;
    line.clear();
    line.swap(m_line);
    if (line.endsWith('\r'))
        line.chop(1);
    return true;
}

qsizetype HttpResponseParser::feedHeader(const char *data, qsizetype pos, qsizetype size)
{
    if (!m_headerStarted) {
        m_headerStarted = true;
        if (m_listener)
            m_listener->headerBegin();
    }
    QByteArray line;
    if (takeLine(data, pos, size, httperr::LineTooLong, true, line))
        headerLine(std::move(line));
    return pos;
}

qsizetype HttpResponseParser::feedBody(const char *data, qsizetype pos, qsizetype size)
{
    if (m_framedByChunks)
        return feedChunked(data, pos, size);
    qsizetype length = size - pos;
    if (contentLength >= 0)
        length = qMin<qint64>(length, contentLength - bodyCount);
    deliver(data + pos, length);
    m_complete = contentLength >= 0 && bodyCount >= contentLength;
    return size;
}

qsizetype HttpResponseParser::feedChunked(const char *data, qsizetype pos, qsizetype size)
{
    if (m_chunk == Chunk::Data) {
        const qsizetype length = qMin<qint64>(m_chunkLeft, size - pos);
        deliver(data + pos, length);
        m_chunkLeft -= length;
        if (m_chunkLeft == 0)
            m_chunk = Chunk::DataEnd;
        return pos + length;
    }
    if (m_chunk == Chunk::DataEnd) {
        // Exactly a line end follows the data; anything else means the
        // size lied.
        const char c = data[pos];
        if (c == '\r' && m_line.isEmpty()) {
            m_line = "\r";
        } else if (c == '\n') {
            m_line.clear();
            m_chunk = Chunk::Size;
        } else {
            failWith(httperr::BadChunk);
        }
        return pos + 1;
    }
    const bool trailer = m_chunk == Chunk::Trailer;
    QByteArray line;
    if (!takeLine(data, pos, size, trailer ? httperr::LineTooLong : httperr::BadChunk, trailer, line))
        return pos;
    if (trailer) {
        // Trailer fields are not kept; the empty line ends the reply.
        m_complete = line.isEmpty();
        return pos;
    }
    m_chunkLeft = ChunkSizeOf(line);
    if (m_chunkLeft < 0)
        failWith(httperr::BadChunk);
    else
        m_chunk = m_chunkLeft == 0 ? Chunk::Trailer : Chunk::Data;
    return pos;
}

void HttpResponseParser::headerLine(QByteArray line)
{
    if (StartsWithHtmlTag(line)) {
        // No (further) header: the server went straight to a page, which
        // runs to the close whatever framing the header announced.
        if (contentType.isEmpty())
            contentType = QStringLiteral("text/html");
        endHeader(statusCode < 400 && !hasLocation, false);
        if (m_phase == Phase::Body && !m_complete)
            feedBody(line.constData(), 0, line.size());
        return;
    }
    if (line.isEmpty()) {
        endHeader(statusCode < 400 && !hasLocation, chunked);
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
        } else if (name == QLatin1String("transfer-encoding")) {
            chunked = EndsInChunked(value);
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
            contentTypeAsSent = value;
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

void HttpResponseParser::endHeader(bool toBody, bool framedByChunks)
{
    m_phase = toBody ? Phase::Body : Phase::Discard;
    if (toBody) {
        // Chunks frame the body over any "Content-Length".
        m_framedByChunks = framedByChunks;
        m_complete = !ReplyHasBody(m_forHead, statusCode) || (!framedByChunks && contentLength == 0);
    }
    if (m_listener)
        m_listener->headerEnd();
}

void HttpResponseParser::failWith(int code)
{
    m_line.clear();
    errorCode = code;
    error = HttpErrorText(code);
    m_phase = Phase::Failed;
}

void HttpResponseParser::deliver(const char *data, qsizetype length)
{
    if (length <= 0)
        return;
    bodyCount += length;
    if (m_listener)
        m_listener->body(data, length);
}

QByteArray EncodeChunked(const QByteArray &body)
{
    QByteArray out;
    for (qsizetype at = 0; at < body.size(); at += 1000) {
        const QByteArray piece = body.mid(at, 1000);
        out += QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
    }
    return out + "0\r\n\r\n";
}

} // namespace lumetta
