#include "CamSim.h"

#include "net/DigestAuth.h"
#include "net/HttpResponseParser.h"
#include "service/Submission.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSslSocket>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <gif_lib.h>

namespace camsim {

namespace {

const char *const Categories[] = {"Cities", "Beaches", "Weather", "Traffic", "Animals", "Snow"};
constexpr qint64 ClockOffSeconds = 3 * 3600;
constexpr qint64 StillAgeSeconds = 2 * 86400;  // old enough to count as a slow webcam
constexpr qint64 StaleNonceSeconds = 3;
constexpr char StreamBoundary[] = "camsimframe";

QByteArray HttpDate(qint64 epochSeconds)
{
    return QLocale::c()
        .toString(QDateTime::fromSecsSinceEpoch(epochSeconds, Qt::UTC), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toLatin1();
}

qint64 ParseHttpDate(const QByteArray &text)
{
    const QDateTime dt = QLocale::c().toDateTime(QString::fromLatin1(text.trimmed()),
                                                 QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    if (!dt.isValid())
        return -1;
    QDateTime utc = dt;
    utc.setTimeSpec(Qt::UTC);
    return utc.toSecsSinceEpoch();
}

struct Head {
    QByteArray status = "200 OK";
    QByteArray type;
    qint64 date = QDateTime::currentSecsSinceEpoch();
    qint64 lastModified = -1;  // none when negative
    qint64 length = -1;        // no Content-Length when negative
    QByteArray extra;          // further lines, each ending in CR LF
    QByteArray version = "HTTP/1.0";
};

QByteArray HeadText(const Head &h)
{
    QByteArray out = h.version + ' ' + h.status + "\r\nServer: camsim\r\nDate: " + HttpDate(h.date) + "\r\n";
    if (!h.type.isEmpty())
        out += "Content-Type: " + h.type + "\r\n";
    if (h.lastModified >= 0)
        out += "Last-Modified: " + HttpDate(h.lastModified) + "\r\n";
    if (h.length >= 0)
        out += "Content-Length: " + QByteArray::number(h.length) + "\r\n";
    return out + h.extra + "\r\n";
}

// A submission's query as a list line, the way the maker collects them.
QByteArray SubmissionLine(const QByteArray &query)
{
    QHash<QByteArray, QByteArray> values;
    for (const QByteArray &pair : query.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq > 0)
            values.insert(pair.left(eq), QByteArray::fromPercentEncoding(pair.mid(eq + 1)));
    }
    const QList<QByteArray> hms = values.value("RefreshRate").split(':');
    const int seconds = hms.value(0).toInt() * 3600 + hms.value(1).toInt() * 60 + hms.value(2).toInt();
    QByteArrayList fields{values.value("category"), values.value("webcam"), values.value("image"),
                          values.value("homepage"), QByteArray::number(seconds), values.value("StartTime"),
                          values.value("EndTime")};
    for (QByteArray &f : fields)
        f.replace('\r', ' ').replace('\n', ' ');
    return fields.join("||");
}

int WriteToBuffer(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

QByteArray EncodeGif(const QImage &image)
{
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QByteArray out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, WriteToBuffer, &error);
    if (!gif)
        return {};
    ColorMapObject *map = GifMakeMapObject(256, nullptr);
    const QList<QRgb> table = indexed.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = table.value(i);
        map->Colors[i] = GifColorType{GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }
    bool ok = EGifPutScreenDesc(gif, indexed.width(), indexed.height(), 8, 0, map) == GIF_OK
              && EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < indexed.height(); ++y)
        ok = EGifPutLine(gif, const_cast<GifByteType *>(indexed.constScanLine(y)), indexed.width()) == GIF_OK;
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return ok ? out : QByteArray();
}

// A two-colour GIF whose screen and image declare 65535 x 65535 pixels.
QByteArray GifBomb()
{
    QByteArray gif("GIF89a\xff\xff\xff\xff\x80\x00\x00", 13);
    gif += QByteArray("\x00\x00\x00\xff\xff\xff", 6);
    gif += QByteArray("\x2c\x00\x00\x00\x00\xff\xff\xff\xff\x00", 10);
    gif += QByteArray("\x02\x02\x44\x01\x00\x3b", 6);
    return gif;
}

// A small JPEG whose frame header declares 60000 x 60000 pixels.
QByteArray JpegBomb()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 50);
    const qsizetype sof = jpeg.indexOf("\xff\xc0");
    if (sof > 0) {
        for (qsizetype at : {sof + 5, sof + 7}) {
            jpeg[at] = char(0xea);  // 60000
            jpeg[at + 1] = char(0x60);
        }
    }
    return jpeg;
}

bool IsDigest(Behaviour b)
{
    return b == Behaviour::DigestMd5 || b == Behaviour::DigestSha256 || b == Behaviour::DigestStale;
}

// One parameter of an Authorization value.
QString AuthParam(const QString &value, const char *name)
{
    const auto parsed = lumetta::ParseAuthChallenges(value);
    if (!parsed || parsed->isEmpty())
        return {};
    for (const auto &p : parsed->first().params)
        if (p.first == QLatin1String(name))
            return p.second;
    return {};
}

bool RunOpenssl(const QString &dir, const QStringList &arguments)
{
    QProcess openssl;
    openssl.setWorkingDirectory(dir);
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0)
        return true;
    std::fprintf(stderr, "camsim: openssl %s failed: %s\n", qPrintable(arguments.join(u' ')),
                 openssl.readAll().constData());
    return false;
}

QString Caption(const Webcam &cam)
{
    return QStringLiteral("Camsim %1").arg(cam.name);
}

// Categories a fresh install selects, so every webcam is in the show.
QString CategoryOf(const Webcam &cam, int index)
{
    if (cam.group == QLatin1String("demo"))
        return cam.behaviour == Behaviour::Changing ? QString::fromLatin1(Categories[index % 6])
                                                    : QStringLiteral("General");
    if (cam.group == QLatin1String("reach"))
        return QStringLiteral("General");
    return cam.group == QLatin1String("awkward") ? QStringLiteral("Streets") : QStringLiteral("Sites");
}

} // namespace

struct Server::Reply {
    QByteArray status;       // for the log
    QByteArray bytes;        // sent first
    qint64 fillerBytes = 0;  // then this many filler bytes; negative: without end
    int chunk = 0;           // bytes per tick when paced; 0: as fast as taken
    int tickMs = 5;
    bool hold = false;       // sends nothing and never closes
    std::optional<Webcam> stream = {};  // then parts of this webcam's pictures, without end
};

QList<Webcam> WebcamsOf(const QStringList &groups, int numbered)
{
    const bool all = groups.contains(QLatin1String("all"));
    QList<Webcam> cams;
    auto add = [&](const char *group, const QString &name, Behaviour b, int period = 10) {
        if (all || groups.contains(QLatin1String(group)))
            cams.append(Webcam{name, b, period, QString::fromLatin1(group)});
    };
    for (int n = 1; n <= numbered; ++n)
        add("demo", QString::number(n), Behaviour::Changing, 5 + 5 * ((n - 1) % 6));
    using B = Behaviour;
    add("demo", QStringLiteral("no-last-modified"), B::NoLastModified);
    add("demo", QStringLiteral("clock-off"), B::ClockOff);
    add("demo", QStringLiteral("still"), B::Still);
    add("demo", QStringLiteral("relocating"), B::Relocating);
    add("demo", QStringLiteral("gif"), B::Gif);
    add("demo", QStringLiteral("chunked"), B::Chunked);
    // IP cameras: part of the demo, or alone as "reach".
    auto reach = [&](const QString &name, Behaviour b) {
        if (all || groups.contains(QLatin1String("demo")) || groups.contains(QLatin1String("reach")))
            cams.append(Webcam{name, b, 10, QStringLiteral("reach")});
    };
    reach(QStringLiteral("digest-md5"), B::DigestMd5);
    reach(QStringLiteral("digest-sha256"), B::DigestSha256);
    reach(QStringLiteral("digest-stale"), B::DigestStale);
    reach(QStringLiteral("mjpeg"), B::Mjpeg);
    reach(QStringLiteral("https"), B::Https);
    add("awkward", QStringLiteral("dead"), B::Dead);
    add("awkward", QStringLiteral("refused"), B::Refused);
    add("awkward", QStringLiteral("silent"), B::Silent);
    add("awkward", QStringLiteral("html"), B::Html);
    add("awkward", QStringLiteral("slow"), B::Slow);
    add("hostile", QStringLiteral("cut-in-body"), B::CutInBody);
    add("hostile", QStringLiteral("cut-in-header"), B::CutInHeader);
    add("hostile", QStringLiteral("endless-header"), B::EndlessHeader);
    add("hostile", QStringLiteral("endless-body"), B::EndlessBody);
    add("hostile", QStringLiteral("relocation-loop"), B::RelocationLoop);
    add("hostile", QStringLiteral("byte-a-second"), B::ByteASecond);
    add("hostile", QStringLiteral("huge"), B::Huge);
    add("hostile", QStringLiteral("jpeg-bomb"), B::JpegBomb);
    add("hostile", QStringLiteral("gif-bomb"), B::GifBomb);
    add("hostile", QStringLiteral("never-answers"), B::Silent);
    return cams;
}

QStringList KnownGroups()
{
    return {QStringLiteral("demo"), QStringLiteral("awkward"), QStringLiteral("hostile"), QStringLiteral("reach"),
            QStringLiteral("all")};
}

Server::Server(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_webcams(WebcamsOf(m_options.kinds, m_options.cams)),
      m_started(QDateTime::currentSecsSinceEpoch())
{
    for (int i = 0; i < m_webcams.size(); ++i)
        m_byName.insert(m_webcams[i].name, i);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = m_server.nextPendingConnection())
            serve(s);
    });
    m_tlsServer.onConnection = [this](qintptr descriptor) { serveTls(descriptor); };
    if (!m_options.logFile.isEmpty()) {
        m_log.setFileName(m_options.logFile);
        m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }
}

bool Server::listen()
{
    if (!m_server.listen(QHostAddress::LocalHost, m_options.port))
        return false;
    const bool wantsTls = std::any_of(m_webcams.begin(), m_webcams.end(),
                                      [](const Webcam &c) { return c.behaviour == Behaviour::Https; });
    // Without the tool or the port the https webcam refuses, like any dead one.
    if (wantsTls && makeCertificates()
        && !m_tlsServer.listen(QHostAddress::LocalHost, m_options.port ? m_options.port + 1 : 0))
        std::fprintf(stderr, "camsim: cannot listen for https on 127.0.0.1:%u\n", unsigned(tlsPort()));
    return true;
}

quint16 Server::tlsPort() const
{
    if (m_tlsServer.isListening())
        return m_tlsServer.serverPort();
    return m_options.port ? m_options.port + 1 : 1;
}

// A CA of camsim's own, made afresh in a temporary folder at each start,
// and the https webcam's certificate signed by it.
bool Server::makeCertificates()
{
    m_tlsDir = std::make_unique<QTemporaryDir>();
    if (!m_tlsDir->isValid())
        return false;
    const QString dir = m_tlsDir->path();
    const QStringList ec{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                         QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    QFile ext(dir + QStringLiteral("/server.ext"));
    if (!ext.open(QIODevice::WriteOnly)
        || ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
                     "extendedKeyUsage=serverAuth\n") < 0)
        return false;
    ext.close();
    if (!RunOpenssl(dir, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ec
                             + QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"), QStringLiteral("-out"),
                                           QStringLiteral("ca.pem"), QStringLiteral("-days"), QStringLiteral("30"),
                                           QStringLiteral("-subj"), QStringLiteral("/CN=camsim private CA")})
        || !RunOpenssl(dir, QStringList{QStringLiteral("req")} + ec
                                + QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"),
                                              QStringLiteral("-out"), QStringLiteral("server.csr"),
                                              QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")})
        || !RunOpenssl(dir, {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                             QStringLiteral("server.csr"), QStringLiteral("-CA"), QStringLiteral("ca.pem"),
                             QStringLiteral("-CAkey"), QStringLiteral("ca.key"), QStringLiteral("-CAcreateserial"),
                             QStringLiteral("-out"), QStringLiteral("server.pem"), QStringLiteral("-days"),
                             QStringLiteral("30"), QStringLiteral("-extfile"), QStringLiteral("server.ext")}))
        return false;
    QFile cert(dir + QStringLiteral("/server.pem"));
    QFile key(dir + QStringLiteral("/server.key"));
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return false;
    m_certificate = QSslCertificate(cert.readAll(), QSsl::Pem);
    m_key = QSslKey(key.readAll(), QSsl::Ec, QSsl::Pem);
    m_caFile = dir + QStringLiteral("/ca.pem");
    if (!m_options.caFile.isEmpty()) {
        QFile::remove(m_options.caFile);
        if (!QFile::copy(m_caFile, m_options.caFile))
            std::fprintf(stderr, "camsim: cannot write %s\n", qPrintable(m_options.caFile));
        else
            m_caFile = m_options.caFile;
    }
    return !m_certificate.isNull() && !m_key.isNull();
}

void Server::serveTls(qintptr descriptor)
{
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    socket->setLocalCertificate(m_certificate);
    socket->setPrivateKey(m_key);
    // A client that refuses the certificate just goes away.
    connect(socket, &QSslSocket::sslErrors, socket, [socket] { socket->abort(); });
    serve(socket);
    socket->startServerEncryption();
}

QString Server::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QString Server::imageUrl(const Webcam &cam) const
{
    const QString ext = cam.behaviour == Behaviour::Gif || cam.behaviour == Behaviour::GifBomb ? QStringLiteral("gif")
                        : cam.behaviour == Behaviour::Mjpeg                                   ? QStringLiteral("mjpg")
                                                                                              : QStringLiteral("jpg");
    QString base = baseUrl();
    // Port 1 needs root to listen on: a connection there is refused.
    if (cam.behaviour == Behaviour::Refused)
        base = QStringLiteral("http://127.0.0.1:1");
    else if (cam.behaviour == Behaviour::Https)
        base = QStringLiteral("https://127.0.0.1:%1").arg(tlsPort());
    else if (IsDigest(cam.behaviour))
        base = QStringLiteral("http://%1:%2@127.0.0.1:%3").arg(DigestUser, DigestPassword).arg(port());
    return QStringLiteral("%1/cam/%2.%3").arg(base, cam.name, ext);
}

QStringList Server::catalogueLines() const
{
    QStringList lines;
    for (int i = 0; i < m_webcams.size(); ++i) {
        const Webcam &cam = m_webcams[i];
        const QString refresh = QTime(0, 0).addSecs(cam.period).toString(QStringLiteral("HH:mm:ss"));
        lines << QStringLiteral("%1||%2||%3||%4/cam/%5.html||%6||00:00:00||00:00:00||"
                                "||2000-01-01||2000-01-01||1||1||0")
                     .arg(CategoryOf(cam, i), Caption(cam), imageUrl(cam), baseUrl(), cam.name, refresh);
    }
    return lines;
}

QByteArray Server::listFile(bool adult) const
{
    if (adult)
        return {};
    QByteArray out;
    for (int i = 0; i < m_webcams.size(); ++i) {
        const Webcam &cam = m_webcams[i];
        out += QStringLiteral("%1||%2||%3||%4/cam/%5.html||%6||00:00:00||00:00:00\r\n")
                   .arg(CategoryOf(cam, i), Caption(cam), imageUrl(cam), baseUrl(), cam.name)
                   .arg(cam.period)
                   .toLatin1();
    }
    return out;
}

void Server::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::bytesWritten, this, [this](qint64 n) { m_bytesSent += n; });
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        QByteArray buffer = socket->property("request").toByteArray() + socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            if (buffer.size() > 64 * 1024)
                socket->abort();
            else
                socket->setProperty("request", buffer);
            return;
        }
        socket->setProperty("request", QByteArray());
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        Request request;
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        for (const QByteArray &line : lines) {
            const QByteArray lower = line.toLower();
            const QByteArray value = line.mid(line.indexOf(':') + 1).trimmed();
            if (lower.startsWith("if-modified-since:"))
                request.ifModifiedSince = value;
            else if (lower.startsWith("if-none-match:"))
                request.ifNoneMatch = value;
            else if (lower.startsWith("authorization:"))
                request.authorization = value;
        }
        request.path = request.target;
        if (request.path.startsWith("http://"))  // asked through a proxy
            request.path = request.path.mid(request.path.indexOf('/', 7));
        const Reply reply = respond(request);
        log(request, reply);
        send(socket, reply);
    });
}

void Server::send(QTcpSocket *socket, const Reply &reply)
{
    if (reply.hold)
        return;
    if (reply.stream) {
        socket->write(reply.bytes);
        stream(socket, *reply.stream);
        return;
    }
    if (reply.chunk == 0 && reply.fillerBytes == 0) {
        socket->write(reply.bytes);
        socket->disconnectFromHost();
        return;
    }
    // Paced: a timer feeds the socket while the client takes what comes.
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<qint64>(0);
    const qint64 total = reply.fillerBytes < 0 ? -1 : reply.bytes.size() + reply.fillerBytes;
    const QByteArray filler(64 * 1024, 'x');
    connect(timer, &QTimer::timeout, socket, [=] {
        if (socket->bytesToWrite() >= 256 * 1024)
            return;
        const qint64 want = reply.chunk > 0 ? reply.chunk : 512 * 1024 - socket->bytesToWrite();
        qint64 room = total < 0 ? want : qMin(want, total - *sent);
        while (room > 0) {
            const qint64 n = *sent < reply.bytes.size() ? qMin(room, reply.bytes.size() - *sent) : room;
            if (*sent < reply.bytes.size())
                socket->write(reply.bytes.constData() + *sent, n);
            else
                socket->write(filler.constData(), qMin<qint64>(n, filler.size()));
            const qint64 written = *sent < reply.bytes.size() ? n : qMin<qint64>(n, filler.size());
            *sent += written;
            room -= written;
        }
        if (total >= 0 && *sent >= total) {
            timer->stop();
            socket->disconnectFromHost();
        }
    });
    timer->start(reply.tickMs);
}

// A part with the picture of the moment, twice a second, while the client
// takes them.
void Server::stream(QTcpSocket *socket, const Webcam &cam)
{
    auto part = [this, socket, cam] {
        if (socket->bytesToWrite() > 2 * 1024 * 1024)
            return;
        const QByteArray jpeg = picture(cam, QDateTime::currentSecsSinceEpoch());
        socket->write("--" + QByteArray(StreamBoundary) + "\r\nContent-Type: image/jpeg\r\nContent-Length: "
                      + QByteArray::number(jpeg.size()) + "\r\n\r\n" + jpeg + "\r\n");
    };
    part();
    auto *timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, socket, part);
    timer->start(500);
}

void Server::log(const Request &request, const Reply &reply)
{
    if (!m_log.isOpen())
        return;
    QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toLatin1() + ' ' + request.method + ' '
                      + request.path + ' ' + reply.status;
    // Which scheme a client answered with: Basic must stop once Digest was asked for.
    if (!request.authorization.isEmpty())
        line += " auth=" + request.authorization.left(request.authorization.indexOf(' '));
    m_log.write(line + '\n');
}

Server::Reply Server::respond(const Request &request)
{
    const QByteArray &method = request.method;
    const QByteArray &path = request.path;
    const bool head = method == "HEAD";
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    auto plain = [head](const QByteArray &status, const QByteArray &type, const QByteArray &body, qint64 lastModified) {
        Head h;
        h.status = status;
        h.type = type;
        h.lastModified = lastModified;
        h.length = body.size();
        return Reply{status.left(3), HeadText(h) + (head ? QByteArray() : body)};
    };
    if (method != "GET" && !head)
        return plain("501 Not Implemented", "text/plain", "GET and HEAD only\n", -1);

    if (path.startsWith("/cam/")) {
        QByteArray file = path.mid(5);
        QString slug = QString::fromLatin1(file.left(file.lastIndexOf('.')));
        const bool page = file.endsWith(".html");
        // By name, not by a scan: 100,000 webcams answer as fast as eight.
        auto found = m_byName.constFind(slug);
        for (const QLatin1String suffix : {QLatin1String("-moved"), QLatin1String("-loop")}) {
            if (found == m_byName.constEnd() && !page && slug.endsWith(suffix))
                found = m_byName.constFind(slug.chopped(suffix.size()));
        }
        if (found != m_byName.constEnd()) {
            const Webcam &cam = m_webcams[*found];
            if (page) {
                const QByteArray html = "<html><body><h1>" + Caption(cam).toUtf8()
                                      + "</h1><p>A simulated webcam.</p></body></html>\n";
                return plain("200 OK", "text/html", html, -1);
            }
            return cameraReply(cam, file, request);
        }
    }
    if (path.startsWith(lumetta::SubmissionPath().toLatin1() + "?")) {
        m_submissions += SubmissionLine(path.mid(path.indexOf('?') + 1)) + "\r\n";
        Reply out = plain("200 OK", "text/plain",
                          "Webcam received.\r\n" + lumetta::SubmissionMarker().toLatin1() + "\r\n", -1);
        // The switch stays on, so the round trip can be tried again.
        out.bytes.insert(out.bytes.indexOf("\r\n") + 2, "X-EXE: 1\r\n");
        return out;
    }
    if (path == "/stats")
        return plain("200 OK", "text/plain", "bytes " + QByteArray::number(m_bytesSent) + "\n", -1);
    if (path == "/lists/submissions.lst")
        return plain("200 OK", "text/plain", m_submissions, now);
    if (path == "/upgrades.txt")
        return plain("200 OK", "text/plain", "lumetta " + m_options.version.toLatin1() + "\r\n", now);
    if (path == "/lists/webcams.lst" || path == "/lists/adult.lst")
        return plain("200 OK", "text/plain", listFile(path.contains("adult")), now);
    return plain("404 Not Found", "text/html", "<html><body>Not found</body></html>\n", -1);
}

std::optional<Server::Reply> Server::digestRefusal(const Webcam &cam, const Request &request)
{
    const bool sha = cam.behaviour == Behaviour::DigestSha256;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    auto challenge = [&](bool stale) {
        if (m_nonces.size() > 10000)
            m_nonces.clear();
        quint32 random[4];
        QRandomGenerator::global()->fillRange(random);
        const QByteArray nonce = QByteArray(reinterpret_cast<const char *>(random), sizeof random).toBase64();
        m_nonces.insert(QString::fromLatin1(nonce), now);
        Head h;
        h.status = "401 Unauthorized";
        h.type = "text/html";
        h.extra = "WWW-Authenticate: Digest realm=\"camsim\", qop=\"auth\", algorithm="
                  + QByteArray(sha ? "SHA-256" : "MD5") + ", nonce=\"" + nonce + "\", opaque=\"camsim\""
                  + (stale ? ", stale=true" : "") + "\r\n";
        const QByteArray body = "<html><body>Authorization required</body></html>\n";
        h.length = body.size();
        return Reply{"401", HeadText(h) + (request.method == "HEAD" ? QByteArray() : body)};
    };
    const QString value = QString::fromLatin1(request.authorization);
    if (!value.startsWith(QLatin1String("Digest "), Qt::CaseInsensitive))
        return challenge(false);
    lumetta::DigestChallenge c;
    c.realm = QStringLiteral("camsim");
    c.nonce = AuthParam(value, "nonce");
    c.opaque = QStringLiteral("camsim");
    c.hasOpaque = true;
    c.qopAuth = true;
    c.algorithm = sha ? lumetta::DigestAlgorithm::Sha256 : lumetta::DigestAlgorithm::Md5;
    const lumetta::DigestRequest r{QString::fromLatin1(DigestUser), QString::fromLatin1(DigestPassword),
                                   QString::fromLatin1(request.method), AuthParam(value, "uri"),
                                   AuthParam(value, "cnonce"), AuthParam(value, "nc").toUInt(nullptr, 16)};
    const QString expected = AuthParam(lumetta::DigestAuthorization(c, r), "response");
    if (AuthParam(value, "response") != expected || r.uri != QString::fromLatin1(request.target)
        || AuthParam(value, "username") != QLatin1String(DigestUser))
        return challenge(false);
    const auto issued = m_nonces.constFind(c.nonce);
    if (issued == m_nonces.constEnd()
        || (cam.behaviour == Behaviour::DigestStale && now - *issued > StaleNonceSeconds))
        return challenge(true);  // right password, old nonce
    return std::nullopt;
}

Server::Reply Server::cameraReply(const Webcam &cam, const QByteArray &file, const Request &request)
{
    const bool head = request.method == "HEAD";
    using B = Behaviour;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const qint64 changed = cam.behaviour == B::Still ? m_started - StillAgeSeconds : now / cam.period * cam.period;
    Head h;
    h.type = "image/jpeg";
    h.lastModified = changed;
    auto whole = [&](const QByteArray &body) {
        h.length = body.size();
        return Reply{h.status.left(3), HeadText(h) + (head ? QByteArray() : body)};
    };
    auto relocate = [&](const QByteArray &to, const QByteArray &status = "302 Found") {
        h.status = status;
        h.type = "text/html";
        h.lastModified = -1;
        h.extra = "Location: " + baseUrl().toLatin1() + "/cam/" + to + "\r\n";
        return whole("<html><body>Moved</body></html>\n");
    };

    if (IsDigest(cam.behaviour)) {
        if (auto refusal = digestRefusal(cam, request))
            return *refusal;
    }
    switch (cam.behaviour) {
    case B::Changing:
    case B::Still:
    case B::Chunked:
    case B::DigestMd5:
    case B::DigestSha256:
    case B::DigestStale:
    case B::Https: {
        const QByteArray etag = "\"" + QByteArray::number(changed, 16) + '-'
                                + QByteArray::number(qHash(cam.name), 16) + "\"";
        h.extra = "ETag: " + etag + "\r\n";
        // If-None-Match, when sent, decides alone.
        const bool unchanged = request.ifNoneMatch.isEmpty() ? ParseHttpDate(request.ifModifiedSince) >= changed
                                                              : request.ifNoneMatch.contains(etag)
                                                                    || request.ifNoneMatch.trimmed() == "*";
        if (unchanged) {
            h.status = "304 Not Modified";
            h.type.clear();
            return Reply{"304", HeadText(h)};
        }
        if (cam.behaviour == B::Chunked) {
            h.version = "HTTP/1.1";
            h.extra += "Transfer-Encoding: chunked\r\nConnection: close\r\n";
            return Reply{"200", HeadText(h) + (head ? QByteArray() : lumetta::EncodeChunked(picture(cam, changed)))};
        }
        return whole(picture(cam, changed));
    }
    case B::Mjpeg: {
        h.type = "multipart/x-mixed-replace; boundary=" + QByteArray(StreamBoundary);
        h.lastModified = -1;
        Reply r{"stream", HeadText(h)};
        if (!head)
            r.stream = cam;
        return r;
    }
    case B::NoLastModified:
        h.lastModified = -1;
        return whole(picture(cam, changed));
    case B::ClockOff:
        h.date = now + ClockOffSeconds;
        h.lastModified = changed + ClockOffSeconds;
        return whole(picture(cam, changed));
    case B::Gif:
        h.type = "image/gif";
        return whole(picture(cam, changed, "GIF"));
    case B::Relocating:
        if (file.contains("-moved"))
            return whole(picture(cam, changed));
        return relocate(cam.name.toLatin1() + "-moved.jpg", "301 Moved Permanently");
    case B::RelocationLoop:
        return relocate(cam.name.toLatin1() + (file.contains("-loop") ? ".jpg" : "-loop.jpg"));
    case B::Dead:
    case B::Refused:
        h.status = "404 Not Found";
        h.type = "text/html";
        h.lastModified = -1;
        return whole("<html><body>Not found</body></html>\n");
    case B::Html:
        h.type = "text/html";
        h.lastModified = -1;
        return whole("<html><body><p>This webcam moved to a web page.</p></body></html>\n");
    case B::Silent:
        return Reply{"held", {}, 0, 0, 5, true};
    case B::Slow: {
        Reply r = whole(picture(cam, changed));
        r.chunk = 4;
        r.tickMs = 250;
        return r;
    }
    case B::ByteASecond: {
        Reply r = whole(picture(cam, changed));
        r.chunk = 1;
        r.tickMs = 1000;
        return r;
    }
    case B::CutInBody: {
        Reply r = whole(picture(cam, changed));
        r.bytes.chop(r.bytes.size() - r.bytes.indexOf("\r\n\r\n") - 4 - picture(cam, changed).size() / 2);
        r.status = "cut";
        return r;
    }
    case B::CutInHeader: {
        Reply r = whole(picture(cam, changed));
        r.bytes.truncate(r.bytes.indexOf("Content-Type"));
        r.status = "cut";
        return r;
    }
    case B::EndlessHeader:
        return Reply{"endless", "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nX-Endless: ", -1};
    case B::EndlessBody:
        return Reply{"endless", HeadText(h) + QByteArray("\xff\xd8\xff", 3), -1};
    case B::Huge: {
        const qint64 size = qint64(512) << 20;
        h.length = size;
        return Reply{"huge", HeadText(h) + QByteArray("\xff\xd8\xff", 3), size - 3};
    }
    case B::JpegBomb:
        return whole(JpegBomb());
    case B::GifBomb:
        h.type = "image/gif";
        return whole(GifBomb());
    }
    return whole({});
}

QByteArray Server::picture(const Webcam &cam, qint64 slot, const char *format)
{
    const auto key = qMakePair(cam.name + QLatin1String(format), slot);
    if (auto it = m_pictures.constFind(key); it != m_pictures.constEnd())
        return *it;
    if (m_pictures.size() > 256)
        m_pictures.clear();

    QImage image(640, 480, QImage::Format_RGB32);
    const int hue = int(qHash(cam.name) % 360);
    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0, QColor::fromHsv(hue, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((hue + 40) % 360, 200, 90));
    QPainter p(&image);
    p.fillRect(image.rect(), sky);
    // A sun that crosses the sky once a minute shows the picture is live.
    const int x = int((slot % 60) * 640 / 60);
    p.setBrush(QColor(255, 230, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(x, 120), 40, 40);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(48);
    font.setBold(true);
    p.setFont(font);
    p.drawText(image.rect().adjusted(0, 0, 0, -80), Qt::AlignHCenter | Qt::AlignBottom, Caption(cam));
    font.setPixelSize(32);
    p.setFont(font);
    p.drawText(image.rect().adjusted(0, 0, 0, -30), Qt::AlignHCenter | Qt::AlignBottom,
               QDateTime::fromSecsSinceEpoch(slot).toString(QStringLiteral("HH:mm:ss")));
    p.end();

    QByteArray bytes;
    if (qstrcmp(format, "GIF") == 0) {
        bytes = EncodeGif(image);
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 85);
    }
    m_pictures.insert(key, bytes);
    return bytes;
}

} // namespace camsim
