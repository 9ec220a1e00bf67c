#pragma once
// The first whole part of a multipart/x-mixed-replace reply (an MJPEG
// stream), taken from bytes as they arrive: by the part's Content-Length
// when it gives one, else up to the next boundary. It never touches a
// socket; the client closes the stream once a part is done.
#include "net/HttpErrors.h"
#include "net/ResponseFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

namespace lumetta {

// The boundary a Content-Type value names (quoted or not); empty when it
// names none or one that is not a boundary (too long, control characters).
QByteArray MultipartBoundary(const QString &contentType);

class MultipartFirstPart {
public:
    // Bytes before the first boundary, and a part's header, stay small.
    static constexpr qsizetype MaxPreamble = 64 * 1024;
    static constexpr qsizetype MaxPartHeader = 16 * 1024;

    using Sink = std::function<void(const char *data, qsizetype length)>;

    // sink receives the part's bytes as they are found; limit bounds them.
    MultipartFirstPart(QByteArray boundary, Sink sink, qint64 limit = MaxDownloadBytes);

    void feed(QByteArrayView bytes);
    // End of stream: a part not yet whole fails.
    void finish();

    bool done() const { return m_phase == Phase::Done; }
    bool failed() const { return m_phase == Phase::Failed; }
    int errorCode = 0;  // an httperr code once failed
    QString error;
    QString contentType;  // the part's own, as sent; empty when it names none
    qint64 partLength = -1;
    qint64 delivered = 0;

private:
    enum class Phase { Preamble, Header, Body, Done, Failed };
    // Where the next delimiter line starts in m_buffer (at its LF), or -1.
    qsizetype findDelimiter() const;
    bool headerLine(const QByteArray &line);
    void body();
    void deliver(qsizetype length);
    void failWith(int code);

    QByteArray m_boundary;
    Sink m_sink;
    qint64 m_limit;
    Phase m_phase = Phase::Preamble;
    QByteArray m_buffer;
    qsizetype m_headerBytes = 0;
};

} // namespace lumetta
