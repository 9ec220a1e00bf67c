#pragma once
// Simulated webcams and vendor site on loopback. Good webcams change their
// picture at their own pace with the headers a real webcam server sends;
// awkward and hostile ones misbehave the way real servers do, so the slide
// show can be tried against all of them without the Internet.
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <optional>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QTemporaryDir>
#include <functional>
#include <memory>

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
    Relocating,      // 301 to another JPEG URL, for good
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
    DigestMd5,       // an IP camera asking for Digest (MD5), Basic refused
    DigestSha256,    // the same with SHA-256
    DigestStale,     // Digest whose nonces expire after a few seconds
    Mjpeg,           // an endless multipart/x-mixed-replace stream of JPEGs
    Https,           // https, with a certificate of camsim's own CA
};

// The user name and password of the Digest webcams' URLs.
inline constexpr char DigestUser[] = "lumetta";
inline constexpr char DigestPassword[] = "camsim";

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
    QString caFile;   // camsim's CA certificate is copied here when set
};

// Accepts connections and hands each descriptor on, for TLS.
class DescriptorServer : public QTcpServer {
public:
    std::function<void(qintptr)> onConnection;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        if (onConnection)
            onConnection(descriptor);
    }
};

class Server : public QObject {
    Q_OBJECT
public:
    explicit Server(Options options, QObject *parent = nullptr);
    bool listen();
    quint16 port() const { return m_server.isListening() ? m_server.serverPort() : m_options.port; }
    quint16 tlsPort() const;
    QString baseUrl() const;
    // Where the CA certificate of the https webcam is; empty without one.
    QString caFile() const { return m_caFile; }
    // Bytes written to every client so far (after TLS: before encryption).
    qint64 bytesSent() const { return m_bytesSent; }

    const QList<Webcam> &webcams() const { return m_webcams; }
    QString imageUrl(const Webcam &cam) const;
    QStringList catalogueLines() const;
    QByteArray listFile(bool adult) const;

private:
    struct Request {
        QByteArray method;
        QByteArray path;
        QByteArray target;  // as sent
        QByteArray ifModifiedSince;
        QByteArray ifNoneMatch;
        QByteArray authorization;
    };
    void serve(QTcpSocket *socket);
    bool makeCertificates();
    void serveTls(qintptr descriptor);
    struct Reply;
    Reply respond(const Request &request);
    Reply cameraReply(const Webcam &cam, const QByteArray &file, const Request &request);
    // Nothing when the request carries a right answer to a live nonce.
    std::optional<Reply> digestRefusal(const Webcam &cam, const Request &request);
    void send(QTcpSocket *socket, const Reply &reply);
    void stream(QTcpSocket *socket, const Webcam &cam);
    void log(const Request &request, const Reply &reply);
    QByteArray picture(const Webcam &cam, qint64 slot, const char *format = "JPEG");

    Options m_options;
    QList<Webcam> m_webcams;
    QHash<QString, int> m_byName;  // index into m_webcams
    QTcpServer m_server;
    DescriptorServer m_tlsServer;
    std::unique_ptr<QTemporaryDir> m_tlsDir;
    QString m_caFile;
    QSslCertificate m_certificate;
    QSslKey m_key;
    QHash<QString, qint64> m_nonces;  // issued, with the time
    qint64 m_bytesSent = 0;
    qint64 m_started = 0;
    QHash<QPair<QString, qint64>, QByteArray> m_pictures;
    QByteArray m_submissions;  // collected while camsim runs
    QFile m_log;
};

} // namespace camsim
