#pragma once
// Reads one HTTP/1.0 response from bytes as they arrive. It never touches a
// socket: the client feeds what it receives and calls finish() when the
// connection closes, because an HTTP/1.0 body simply runs to the close.
// A reply may also end by its own framing: the announced length, the last
// chunk of a chunked body, or no body at all. Results do not depend on how the bytes were
// split on the way.
#include "net/HttpErrors.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace lumetta {

class HttpResponseParser {
public:
    // A header line that reaches this many bytes without a line end fails.
    static constexpr qsizetype MaxLineLength = 8192;
    // A header that never ends is refused as well, however short its lines.
    static constexpr qsizetype MaxHeaderSize = 256 * 1024;

    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void headerBegin() {}
        // Every non-empty header line, the status line included, after the
        // parser has taken its fields from it.
        virtual void headerLine(const QString &line) { Q_UNUSED(line); }
        virtual void headerEnd() {}
        virtual void cookie(const QString &value) { Q_UNUSED(value); }
        // Body bytes as the server meant them: chunk framing removed.
        virtual void body(const char *data, qsizetype length) { Q_UNUSED(data); Q_UNUSED(length); }
    };

    enum class Phase {
        Header,
        Body,
        Discard,  // header ended on an error status or a relocation: no body wanted
        Failed,
    };

    explicit HttpResponseParser(Listener *listener = nullptr) : m_listener(listener) {}

    // forHead: the reply to a HEAD request, which has no body whatever its
    // header says.
    void reset(bool forHead = false);
    void feed(QByteArrayView bytes);
    // End of stream: a last header line without its line end still counts.
    // A reply that stops before its own end (the header's empty line, the
    // announced length, the last chunk) fails as cut short.
    void finish();

    Phase phase() const { return m_phase; }
    // The connection can be dropped: an error status arrived, the header of
    // a relocation ended, or the response is malformed.
    bool closeWanted() const;
    bool headerStarted() const { return m_headerStarted; }
    bool headerEnded() const { return m_phase == Phase::Body || m_phase == Phase::Discard; }
    // The reply has reached its own end: a server that keeps the line open
    // after it must not hold the request forever. Bytes past it are dropped.
    bool bodyComplete() const { return m_phase == Phase::Body && m_complete; }

    int statusCode = 0;
    QString reasonPhrase;
    qint64 contentLength = -1;
    QString contentType;  // lower-cased
    QString contentTypeAsSent;  // a boundary keeps its case
    bool chunked = false;  // "Transfer-Encoding" ends in "chunked"
    bool hasLocation = false;
    QString location;
    QString contentRangeBegin;
    QString contentRangeEnd;
    QString acceptRanges;
    QStringList wwwAuthenticate;
    int errorCode = 0;  // an httperr code once the phase is Failed
    QString error;      // its text
    qint64 bodyCount = 0;

private:
    // Where a chunked body stands.
    enum class Chunk { Size, Data, DataEnd, Trailer };

    qsizetype feedHeader(const char *data, qsizetype pos, qsizetype size);
    qsizetype feedBody(const char *data, qsizetype pos, qsizetype size);
    qsizetype feedChunked(const char *data, qsizetype pos, qsizetype size);
    bool takeLine(const char *data, qsizetype &pos, qsizetype size, int tooLong, bool countAsHeader,
                  QByteArray &line);
    void headerLine(QByteArray line);
    void endHeader(bool toBody, bool framedByChunks);
    void deliver(const char *data, qsizetype length);
    void failWith(int code);

    Listener *m_listener;
    Phase m_phase = Phase::Header;
    bool m_forHead = false;
    bool m_headerStarted = false;
    bool m_complete = false;
    bool m_framedByChunks = false;
    Chunk m_chunk = Chunk::Size;
    qint64 m_chunkLeft = 0;
    qsizetype m_headerBytes = 0;
    QByteArray m_line;
};

// The body in chunked transfer coding, as a server sends it: chunks of at
// most 1000 bytes, the last chunk, no trailer.
QByteArray EncodeChunked(const QByteArray &body);

} // namespace lumetta
