#include "net/MultipartStream.h"

#include <QRegularExpression>

namespace lumetta {

QByteArray MultipartBoundary(const QString &contentType)
{
    static const QRegularExpression param(
        QStringLiteral("(?:^|[;\\s])boundary\\s*=\\s*(?:\"([^\"]*)\"|([^;\\s\"]+))(?=;|\\s|$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = param.match(contentType);
    if (!m.hasMatch())
        return {};
    const QString value = m.captured(1).isNull() ? m.captured(2) : m.captured(1);
    // RFC 2046 allows 70 characters; cameras stay well within 200.
    if (value.isEmpty() || value.size() > 200)
        return {};
    for (QChar c : value)
        if (c.unicode() < 0x20 || c.unicode() >= 0x7F)
            return {};
    return value.toLatin1();
}

MultipartFirstPart::MultipartFirstPart(QByteArray boundary, Sink sink, qint64 limit)
    : m_boundary(std::move(boundary)), m_sink(std::move(sink)), m_limit(limit),
      // A boundary at the very start then begins a line like any other.
      m_buffer("\n")
{
    if (m_boundary.isEmpty())
        failWith(httperr::StreamNoBoundary);
}

qsizetype MultipartFirstPart::findDelimiter() const
{
    qsizetype at = m_buffer.indexOf("\n--" + m_boundary);
    // Many cameras name "--x" as the boundary and then write "--x" alone.
    if (m_boundary.startsWith("--")) {
        const qsizetype other = m_buffer.indexOf('\n' + m_boundary);
        if (other >= 0 && (at < 0 || other < at))
            at = other;
    }
    return at;
}

void MultipartFirstPart::feed(QByteArrayView bytes)
{
    if (done() || failed())
        return;
    m_buffer.append(bytes);
    while (true) {
        if (m_phase == Phase::Preamble) {
            // The first delimiter line must end within the preamble's
            // bytes, however the stream was cut on its way.
            const qsizetype at = findDelimiter();
            const qsizetype end = at < 0 ? -1 : m_buffer.indexOf('\n', at + 1);
            if (end > MaxPreamble || (end < 0 && m_buffer.size() > MaxPreamble)) {
                failWith(httperr::StreamNoPart);
                return;
            }
            if (end < 0)
                return;
            m_buffer.remove(0, end + 1);
            m_phase = Phase::Header;
        } else if (m_phase == Phase::Header) {
            const qsizetype end = m_buffer.indexOf('\n');
            if (m_headerBytes + (end < 0 ? m_buffer.size() : end + 1) > MaxPartHeader) {
                failWith(httperr::StreamBadPart);
                return;
            }
            if (end < 0)
                return;
            QByteArray line = m_buffer.left(end);
            m_headerBytes += end + 1;
            m_buffer.remove(0, end + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            if (!line.isEmpty()) {
                headerLine(line);
                continue;
            }
            if (partLength > m_limit) {
                failWith(httperr::StreamPartTooLarge);
                return;
            }
            m_phase = Phase::Body;
        } else {
            if (m_phase == Phase::Body)
                body();
            return;
        }
    }
}

bool MultipartFirstPart::headerLine(const QByteArray &line)
{
    const qsizetype colon = line.indexOf(':');
    if (colon < 0)
        return true;
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "content-type") {
        contentType = QString::fromLatin1(value);
    } else if (name == "content-length") {
        bool ok = false;
        const qint64 n = value.toLongLong(&ok);
        partLength = ok && n >= 0 ? n : -1;  // a garbled length: up to the boundary instead
    }
    return true;
}

void MultipartFirstPart::body()
{
    if (partLength >= 0) {
        deliver(qMin<qint64>(partLength - delivered, m_buffer.size()));
        if (!failed() && delivered == partLength)
            m_phase = Phase::Done;
        return;
    }
    const qsizetype at = findDelimiter();
    if (at >= 0) {
        deliver(at > 0 && m_buffer[at - 1] == '\r' ? at - 1 : at);
        if (!failed())
            m_phase = Phase::Done;
        return;
    }
    // Keep what could still be the start of a delimiter: CR LF, "--" and
    // all of the boundary but its last byte.
    const qsizetype keep = m_boundary.size() + 3;
    if (m_buffer.size() > keep)
        deliver(m_buffer.size() - keep);
}

void MultipartFirstPart::deliver(qsizetype length)
{
    if (length <= 0)
        return;
    if (delivered + length > m_limit) {
        failWith(httperr::StreamPartTooLarge);
        return;
    }
    if (m_sink)
        m_sink(m_buffer.constData(), length);
    delivered += length;
    m_buffer.remove(0, length);
}

void MultipartFirstPart::finish()
{
    if (done() || failed())
        return;
    failWith(m_phase == Phase::Preamble ? httperr::StreamNoPart : httperr::StreamCut);
}

void MultipartFirstPart::failWith(int code)
{
    errorCode = code;
    error = HttpErrorText(code);
    if (code == httperr::StreamPartTooLarge)
        error = error.arg(m_limit >> 20);
    m_phase = Phase::Failed;
    m_buffer.clear();
}

} // namespace lumetta
