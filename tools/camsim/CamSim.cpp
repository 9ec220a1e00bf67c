#include "CamSim.h"

#include "net/HttpResponseParser.h"
#include "service/Submission.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTcpSocket>
#include <QTimer>
#include <gif_lib.h>

namespace camsim {

namespace {

const char *const Categories[] = {"Cities", "Beaches", "Weather", "Traffic", "Animals", "Snow"};
constexpr qint64 ClockOffSeconds = 3 * 3600;
constexpr qint64 StillAgeSeconds = 2 * 86400;  // old enough to count as a slow webcam

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
    return {QStringLiteral("demo"), QStringLiteral("awkward"), QStringLiteral("hostile"), QStringLiteral("all")};
}

Server::Server(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_webcams(WebcamsOf(m_options.kinds, m_options.cams)),
      m_started(QDateTime::currentSecsSinceEpoch())
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = m_server.nextPendingConnection())
            serve(s);
    });
    if (!m_options.logFile.isEmpty()) {
        m_log.setFileName(m_options.logFile);
        m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }
}

bool Server::listen()
{
    return m_server.listen(QHostAddress::LocalHost, m_options.port);
}

QString Server::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QString Server::imageUrl(const Webcam &cam) const
{
    const QString ext = cam.behaviour == Behaviour::Gif || cam.behaviour == Behaviour::GifBomb ? QStringLiteral("gif")
                                                                                                : QStringLiteral("jpg");
    // Port 1 needs root to listen on: a connection there is refused.
    const QString base = cam.behaviour == Behaviour::Refused ? QStringLiteral("http://127.0.0.1:1")
                                                             : baseUrl();
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
        const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
        QByteArray ifModifiedSince;
        for (const QByteArray &line : lines)
            if (line.toLower().startsWith("if-modified-since:"))
                ifModifiedSince = line.mid(18).trimmed();
        QByteArray path = request.value(1);
        if (path.startsWith("http://"))  // asked through a proxy
            path = path.mid(path.indexOf('/', 7));
        const Reply reply = respond(request.value(0), path, ifModifiedSince);
        log(request.value(0), path, reply);
        send(socket, reply);
    });
}

void Server::send(QTcpSocket *socket, const Reply &reply)
{
    if (reply.hold)
        return;
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

void Server::log(const QByteArray &method, const QByteArray &path, const Reply &reply)
{
    if (!m_log.isOpen())
        return;
    m_log.write(QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toLatin1() + ' ' + method + ' ' + path + ' '
                + reply.status + '\n');
}

Server::Reply Server::respond(const QByteArray &method, const QByteArray &path, const QByteArray &ifModifiedSince)
{
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
        const QString slug = QString::fromLatin1(file.left(file.lastIndexOf('.')));
        for (const Webcam &cam : std::as_const(m_webcams)) {
            if (file.endsWith(".html") && slug == cam.name) {
                const QByteArray page = "<html><body><h1>" + Caption(cam).toUtf8()
                                      + "</h1><p>A simulated webcam.</p></body></html>\n";
                return plain("200 OK", "text/html", page, -1);
            }
            if (slug == cam.name || slug == cam.name + QLatin1String("-moved")
                || slug == cam.name + QLatin1String("-loop"))
                return cameraReply(cam, file, head, ifModifiedSince);
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
    if (path == "/lists/submissions.lst")
        return plain("200 OK", "text/plain", m_submissions, now);
    if (path == "/upgrades.txt")
        return plain("200 OK", "text/plain", "lumetta " + m_options.version.toLatin1() + "\r\n", now);
    if (path == "/lists/webcams.lst" || path == "/lists/adult.lst")
        return plain("200 OK", "text/plain", listFile(path.contains("adult")), now);
    return plain("404 Not Found", "text/html", "<html><body>Not found</body></html>\n", -1);
}

Server::Reply Server::cameraReply(const Webcam &cam, const QByteArray &file, bool head,
                                  const QByteArray &ifModifiedSince)
{
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
    auto relocate = [&](const QByteArray &to) {
        h.status = "302 Found";
        h.type = "text/html";
        h.lastModified = -1;
        h.extra = "Location: " + baseUrl().toLatin1() + "/cam/" + to + "\r\n";
        return whole("<html><body>Moved</body></html>\n");
    };

    switch (cam.behaviour) {
    case B::Changing:
    case B::Still:
    case B::Chunked:
        if (ParseHttpDate(ifModifiedSince) >= changed) {
            h.status = "304 Not Modified";
            h.type.clear();
            return Reply{"304", HeadText(h)};
        }
        if (cam.behaviour == B::Chunked) {
            h.version = "HTTP/1.1";
            h.extra = "Transfer-Encoding: chunked\r\nConnection: close\r\n";
            return Reply{"200", HeadText(h) + (head ? QByteArray() : lumetta::EncodeChunked(picture(cam, changed)))};
        }
        return whole(picture(cam, changed));
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
        return relocate(cam.name.toLatin1() + "-moved.jpg");
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
