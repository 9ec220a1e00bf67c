// Bytes a show costs the webcams: the real program in its screen-saver run
// against camsim's demo webcams, and in the same minutes a fixed poller
// that fetches every webcam every 10 seconds (what common home-automation
// camera integrations do) against a second camsim with the same webcams.
// Each camsim counts the bytes it sends; the ratio is printed.
//
//   camera_bytes_bench [minutes] [numbered webcams]     (10 and 8 by default)
#include "catalogue/CamRecord.h"
#include "catalogue/CatalogueFile.h"
#include "net/CaFile.h"
#include "net/HttpCli.h"
#include "platform/Registry.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <cstdio>

using namespace lumetta;

namespace {

struct Camsim {
    QProcess process;
    QString base;
    QString catalogue;
    QString caFile;
};

bool StartCamsim(Camsim &c, const QString &dir, int numbered)
{
    QDir().mkpath(dir);
    c.catalogue = dir + "/lumetta.dat";
    c.caFile = dir + "/ca.pem";
    c.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    c.process.start(CAMSIM_BINARY, {"--port", "0", "--kinds", "demo", "--cams", QString::number(numbered), "--catalogue",
                                    c.catalogue, "--ca-file", c.caFile});
    QByteArray banner;
    QElapsedTimer waited;
    waited.start();
    while (!banner.contains("CA certificate") && waited.elapsed() < 60000 && c.process.waitForReadyRead(1000))
        banner += c.process.readAllStandardOutput();
    const qsizetype at = banner.indexOf("http://127.0.0.1:");
    if (at < 0 || !banner.contains("CA certificate"))
        return false;
    c.base = QString::fromLatin1(banner.mid(at, banner.indexOf("/cam/", at) - at));
    return true;
}

// One GET with a fresh client, as a poller does: no validators, no memory
// of the server, the body read and dropped.
void FetchOnce(const QString &url, const QList<QSslCertificate> &ca, QByteArray *body = nullptr)
{
    THttpCli http;
    http.ExtraCaCertificates = ca;
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    http.RcvdStream = &sink;
    http.URL = url;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &http, [&http] { http.Abort(); });
    limit.start(9000);
    try {
        http.Get();
    } catch (const std::exception &) {
    }
    if (body)
        *body = sink.data();
}

qint64 BytesSent(const Camsim &c)
{
    QByteArray body;
    FetchOnce(c.base + "/stats", {}, &body);
    return body.mid(6).trimmed().toLongLong();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double minutes = argc > 1 ? std::atof(argv[1]) : 10;
    const int numbered = argc > 2 ? std::atoi(argv[2]) : 8;
    QTemporaryDir tmp;
    Camsim forShow, forPoller;
    if (!StartCamsim(forShow, tmp.path() + "/show", numbered) || !StartCamsim(forPoller, tmp.path() + "/poller", numbered)) {
        std::fprintf(stderr, "camsim did not start\n");
        return 1;
    }

    // The show: its own program folder and store, the defaults a user has,
    // and camsim's CA trusted for the https webcam.
    const QString home = tmp.path() + "/show/";
    qputenv("LUMETTA_HOME", home.toUtf8());
    qputenv("LUMETTA_REGISTRY", (tmp.path() + "/user.reg").toUtf8());
    qputenv("LUMETTA_WINDOWS_DIR", (tmp.path() + "/windows").toUtf8());
    qputenv("XDG_RUNTIME_DIR", tmp.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    WriteRegString(LumettaKey, "AppPath", home);
    WriteRegString(LumettaKey, "CaFile", forShow.caFile);
    QProcess show;
    show.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    show.setStandardOutputFile(QProcess::nullDevice());
    show.start(LUMETTA_BINARY, {"/s"});
    if (!show.waitForStarted(10000)) {
        std::fprintf(stderr, "lumetta did not start\n");
        return 1;
    }

    // The poller: every webcam of its camsim every 10 seconds.
    QStringList urls;
    for (const QString &line : LoadCatalogue(forPoller.catalogue))
        urls << CamRecord::fromLine(line).imageUrl();
    const QList<QSslCertificate> ca = ReadCaFile(forPoller.caFile).certificates;
    QElapsedTimer clock;
    clock.start();
    const qint64 runMs = qint64(minutes * 60000);
    int rounds = 0;
    bool polling = false;
    QTimer poll;
    // A round waits in nested loops: the next tick must not start another.
    auto round = [&] {
        if (polling)
            return;
        polling = true;
        ++rounds;
        for (const QString &url : std::as_const(urls))
            FetchOnce(url, ca);
        polling = false;
    };
    QObject::connect(&poll, &QTimer::timeout, &app, round);
    poll.start(10000);
    round();
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &app, [&] { app.quit(); });
    end.start(int(runMs));
    app.exec();
    poll.stop();
    const double seconds = clock.elapsed() / 1000.0;

    ::kill(pid_t(show.processId()), SIGTERM);
    show.waitForFinished(60000);
    const qint64 showBytes = BytesSent(forShow);
    const qint64 pollerBytes = BytesSent(forPoller);
    for (Camsim *c : {&forShow, &forPoller}) {
        c->process.terminate();
        c->process.waitForFinished(10000);
    }

    const double hour = 3600.0 / seconds;
    std::printf("%d webcams, %.1f minutes of show (display time 10 s), %d poller rounds\n", int(urls.size()),
                seconds / 60, rounds);
    std::printf("lumetta     %12lld bytes  %10.1f MB per hour\n", showBytes, showBytes * hour / 1e6);
    std::printf("10 s poller %12lld bytes  %10.1f MB per hour\n", pollerBytes, pollerBytes * hour / 1e6);
    std::printf("ratio lumetta / poller: %.3f\n", pollerBytes ? double(showBytes) / pollerBytes : 0.0);
    return 0;
}
