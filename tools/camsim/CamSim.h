#pragma once
// Simulated webcams and vendor site on loopback. Good webcams change their
// picture at their own pace with the headers a real webcam server sends;
// awkward and hostile ones misbehave the way real servers do, so the slide
// show can be tried against all of them without the Internet.
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

namespace camsim {

// What a webcam does when its picture is asked for.
enum class Behaviour {
    Changing,        // a new picture every period, honest Date and Last-Modified
    NoLastModified,  // changes, but sends no Last-Modified
    ClockOff,        // changes, with a server clock hours ahead
    Still,           // the same picture for days
    Dead,            // 404
    Refused,         // nobody listens on its port (1)
    Silent,          // accepts and never answers
    Relocating,      // 302 to another JPEG URL, for good
    Gif,             // a GIF picture
    Html,            // 200 with a web page
    Slow,            // a few bytes a second
    Chunked,         // a JPEG in chunked transfer coding
    CutInBody,       // closes halfway through the picture
    CutInHeader,     // closes halfway through the header
    EndlessHeader,   // one header line that never ends
    EndlessBody,     // a body with no length that never ends
    RelocationLoop,  // two URLs relocating to each other
    ByteASecond,     // one byte a second
    Huge,            // a reply of 512 MB
    JpegBomb,        // a small JPEG that declares 60000 x 60000 pixels
    GifBomb,         // a small GIF that declares 65535 x 65535 pixels
};

struct Webcam {
    QString name;      // caption, and the file name in its URL
    Behaviour behaviour = Behaviour::Changing;
    int period = 10;   // seconds between picture changes
    QString group;     // the --kinds group it belongs to
};

// The webcams of the named groups ("demo", "awkward", "hostile", "all"),
// demo's numbered ones changing every 5 to 30 seconds.
QList<Webcam> WebcamsOf(const QStringList &groups, int numbered);
QStringList KnownGroups();

struct Options {
    quint16 port = 8765;
    int cams = 8;
    QStringList kinds{QStringLiteral("demo")};
    QString version = QStringLiteral("1.0.0.1");
    QString logFile;  // one line per request when set
};

class Server : public QObject {
    Q_OBJECT
public:
    explicit Server(Options options, QObject *parent = nullptr);
    bool listen();
    quint16 port() const { return m_server.isListening() ? m_server.serverPort() : m_options.port; }
    QString baseUrl() const;

    const QList<Webcam> &webcams() const { return m_webcams; }
    QString imageUrl(const Webcam &cam) const;
    QStringList catalogueLines() const;
    QByteArray listFile(bool adult) const;

private:
    void serve(QTcpSocket *socket);
    struct Reply;
    Reply respond(const QByteArray &method, const QByteArray &path, const QByteArray &ifModifiedSince);
    Reply cameraReply(const Webcam &cam, const QByteArray &file, bool head, const QByteArray &ifModifiedSince);
    void send(QTcpSocket *socket, const Reply &reply);
    void log(const QByteArray &method, const QByteArray &path, const Reply &reply);
    QByteArray picture(const Webcam &cam, qint64 slot, const char *format = "JPEG");

    Options m_options;
    QList<Webcam> m_webcams;
    QTcpServer m_server;
    qint64 m_started = 0;
    QHash<QPair<QString, qint64>, QByteArray> m_pictures;
    QByteArray m_submissions;  // collected while camsim runs
    QFile m_log;
};

} // namespace camsim
