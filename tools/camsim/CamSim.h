#pragma once
// Simulated webcams and vendor site on loopback: each camera's picture
// changes at its own pace, with the Date and Last-Modified headers a real
// webcam server sends, so the slide show and its refresh learning have
// something true to work on without the Internet.
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

namespace camsim {

struct Options {
    quint16 port = 8765;
    int cams = 8;
    QString version = QStringLiteral("1.0.0.1");
};

class Server : public QObject {
    Q_OBJECT
public:
    explicit Server(Options options, QObject *parent = nullptr);
    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    QString baseUrl() const;

    // Seconds between picture changes of camera n (1-based).
    static int PeriodOf(int cam) { return 5 + 5 * ((cam - 1) % 6); }
    QStringList catalogueLines() const;
    QByteArray listFile(bool adult) const;

private:
    void serve(class QTcpSocket *socket);
    QByteArray respond(const QByteArray &method, const QByteArray &path, const QByteArray &ifModifiedSince);
    QByteArray picture(int cam, qint64 slot);

    Options m_options;
    QTcpServer m_server;
    QHash<QPair<int, qint64>, QByteArray> m_pictures;
    QByteArray m_submissions;  // collected while camsim runs
};

} // namespace camsim
