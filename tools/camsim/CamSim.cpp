#include "CamSim.h"

#include "service/Submission.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTcpSocket>

namespace camsim {

namespace {

const char *const Categories[] = {"Cities", "Beaches", "Weather", "Traffic", "Animals", "Snow"};

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

QByteArray Response(const QByteArray &status, const QByteArray &type, const QByteArray &body,
                    qint64 lastModified, bool head)
{
    QByteArray out = "HTTP/1.0 " + status + "\r\nServer: camsim\r\nDate: "
                   + HttpDate(QDateTime::currentSecsSinceEpoch()) + "\r\n";
    if (!type.isEmpty())
        out += "Content-Type: " + type + "\r\n";
    if (lastModified >= 0)
        out += "Last-Modified: " + HttpDate(lastModified) + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    if (!head)
        out += body;
    return out;
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

} // namespace

Server::Server(Options options, QObject *parent) : QObject(parent), m_options(std::move(options))
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = m_server.nextPendingConnection())
            serve(s);
    });
}

bool Server::listen()
{
    return m_server.listen(QHostAddress::LocalHost, m_options.port);
}

QString Server::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QStringList Server::catalogueLines() const
{
    QStringList lines;
    for (int n = 1; n <= m_options.cams; ++n) {
        const int period = PeriodOf(n);
        lines << QStringLiteral("%1||Camsim %2||%3/cam/%2.jpg||%3/cam/%2.html||00:00:%4||00:00:00||00:00:00||"
                                "||2000-01-01||2000-01-01||1||1||0")
                     .arg(QLatin1String(Categories[(n - 1) % 6])).arg(n).arg(baseUrl())
                     .arg(period, 2, 10, QLatin1Char('0'));
    }
    return lines;
}

QByteArray Server::listFile(bool adult) const
{
    if (adult)
        return {};
    QByteArray out;
    for (int n = 1; n <= m_options.cams; ++n)
        out += QStringLiteral("%1||Camsim %2||%3/cam/%2.jpg||%3/cam/%2.html||%4||00:00:00||00:00:00\r\n")
                   .arg(QLatin1String(Categories[(n - 1) % 6])).arg(n).arg(baseUrl()).arg(PeriodOf(n))
                   .toLatin1();
    return out;
}

void Server::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        QByteArray &buffer = *static_cast<QByteArray *>(socket->property("buffer").value<void *>());
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            if (buffer.size() > 64 * 1024)
                socket->abort();
            return;
        }
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
        QByteArray ifModifiedSince;
        for (const QByteArray &line : lines)
            if (line.toLower().startsWith("if-modified-since:"))
                ifModifiedSince = line.mid(18).trimmed();
        QByteArray path = request.value(1);
        if (path.startsWith("http://"))  // asked through a proxy
            path = path.mid(path.indexOf('/', 7));
        socket->write(respond(request.value(0), path, ifModifiedSince));
        socket->disconnectFromHost();
        buffer.clear();
    });
    auto *buffer = new QByteArray;
    socket->setProperty("buffer", QVariant::fromValue(static_cast<void *>(buffer)));
    connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
}

QByteArray Server::respond(const QByteArray &method, const QByteArray &path, const QByteArray &ifModifiedSince)
{
    const bool head = method == "HEAD";
    if (method != "GET" && !head)
        return Response("501 Not Implemented", "text/plain", "GET and HEAD only\n", -1, false);
    const qint64 now = QDateTime::currentSecsSinceEpoch();

    if (path.startsWith("/cam/")) {
        const QByteArray file = path.mid(5);
        bool ok = false;
        const int cam = file.left(file.indexOf('.')).toInt(&ok);
        if (ok && cam >= 1 && cam <= m_options.cams) {
            if (file.endsWith(".html")) {
                const QByteArray page = "<html><body><h1>Camsim " + QByteArray::number(cam)
                                      + "</h1><p>A simulated webcam.</p></body></html>\n";
                return Response("200 OK", "text/html", page, -1, head);
            }
            if (file.endsWith(".jpg")) {
                const qint64 period = PeriodOf(cam);
                const qint64 changed = now / period * period;
                const qint64 since = ParseHttpDate(ifModifiedSince);
                if (since >= changed)
                    return Response("304 Not Modified", {}, {}, changed, true);
                return Response("200 OK", "image/jpeg", picture(cam, changed), changed, head);
            }
        }
    }
    if (path.startsWith(lumetta::SubmissionPath().toLatin1() + "?")) {
        m_submissions += SubmissionLine(path.mid(path.indexOf('?') + 1)) + "\r\n";
        QByteArray out = Response("200 OK", "text/plain",
                                  "Webcam received.\r\n" + lumetta::SubmissionMarker().toLatin1() + "\r\n", -1, head);
        // The switch stays on, so the round trip can be tried again.
        return out.insert(out.indexOf("\r\n") + 2, "X-EXE: 1\r\n");
    }
    if (path == "/lists/submissions.lst")
        return Response("200 OK", "text/plain", m_submissions, now, head);
    if (path == "/upgrades.txt")
        return Response("200 OK", "text/plain", "lumetta " + m_options.version.toLatin1() + "\r\n", now, head);
    if (path == "/lists/webcams.lst" || path == "/lists/adult.lst")
        return Response("200 OK", "text/plain", listFile(path.contains("adult")), now, head);
    return Response("404 Not Found", "text/html", "<html><body>Not found</body></html>\n", -1, head);
}

QByteArray Server::picture(int cam, qint64 slot)
{
    const auto key = qMakePair(cam, slot);
    if (auto it = m_pictures.constFind(key); it != m_pictures.constEnd())
        return *it;
    if (m_pictures.size() > 256)
        m_pictures.clear();

    QImage image(640, 480, QImage::Format_RGB32);
    const int hue = (cam * 47) % 360;
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
    p.drawText(image.rect().adjusted(0, 0, 0, -80), Qt::AlignHCenter | Qt::AlignBottom,
               QStringLiteral("Camsim %1").arg(cam));
    font.setPixelSize(32);
    p.setFont(font);
    p.drawText(image.rect().adjusted(0, 0, 0, -30), Qt::AlignHCenter | Qt::AlignBottom,
               QDateTime::fromSecsSinceEpoch(slot).toString(QStringLiteral("HH:mm:ss")));
    p.end();

    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    m_pictures.insert(key, jpeg);
    return jpeg;
}

} // namespace camsim
