// The slide show's pick and due test over a 10,000-webcam catalogue where
// no webcam is due: first each pick shows a local file (one pick, one
// decision, one store of "LastCam"), then with "Do not show local images"
// one pick examines every webcam a hundred times before it gives up. Both
// against stat-ing the same files with ls; then the CPU a running show
// uses between ticks.
//   slideshow_bench [webcams] [idle seconds]
#include "app/RunState.h"
#include "platform/Clock.h"
#include "platform/TimeSource.h"
#include "slideshow/ShowDisplay.h"
#include "slideshow/SlideShow.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

using namespace lumetta;

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int webcams = argc > 1 ? atoi(argv[1]) : 10000;
    const int idleSeconds = argc > 2 ? atoi(argv[2]) : 60;
    QTemporaryDir dir;
    qputenv("LUMETTA_REGISTRY", (dir.path() + "/user.reg").toUtf8());
    const QString images = dir.path() + "/images/";
    QDir().mkpath(images);

    // Refreshed a minute ago, due in a day: every pick shows the local file.
    const QString now = FormatDateTimeText(DefaultClock().now() - 60 * OneSecond);
    QStringList records;
    for (int i = 0; i < webcams; ++i) {
        const QString name = QStringLiteral("cam%1.jpg").arg(i);
        QFile(images + name).open(QIODevice::WriteOnly);
        records << QStringLiteral("Cities||Cam %1||http://cams.example.test/%2||||23:00:00||00:00:00||00:00:00||%2||%3||%3||1||1||0")
                       .arg(i)
                       .arg(name, now);
    }

    RunState run(RunMode{}, RealTimeSource());
    run.DataFileName = dir.path() + "/lumetta.dat";
    run.catalogue.load(records);
    NullShowDisplay display;
    ShowSettings settings;
    settings.downloadDir = images;
    settings.resume = false;
    int fetches = 0;
    SlideShowHooks hooks;
    hooks.settings = [&] { return settings; };
    hooks.fetch = [&](const QString &, const QString &, int) {
        ++fetches;
        return CamFetch{};
    };
    SlideShow show(run, display, hooks, DefaultClock());

    QElapsedTimer t;
    t.start();
    QProcess ls;
    ls.start("ls", {"-l", images});
    ls.waitForFinished(-1);
    ls.readAll();
    const double peer = t.nsecsElapsed() / 1e9;
    std::printf("ls -l of the %d files: %.3f s\n", webcams, peer);

    const int picks = std::min(webcams, 1000);
    t.start();
    for (int i = 0; i < picks; ++i)
        show.DownloadImage();
    const double shown = t.nsecsElapsed() / 1e9;
    std::printf("%d picks showing local files: %.3f s, %.0f per second (each stores \"LastCam\")\n", picks, shown,
                picks / shown);

    settings.noLocalImages = true;
    t.start();
    show.DownloadImage();
    const double search = t.nsecsElapsed() / 1e9;
    const double decisions = webcams * 100.0;
    std::printf("one search of %.0f decisions: %.3f s, %.0f decisions per second; %.2f x ls -l per %d decisions\n",
                decisions, search, decisions / search, (search / 100) / peer, webcams);
    std::printf("downloads started: %d (none is due)\n", fetches);
    settings.noLocalImages = false;

    // A running show: ticks at the display time, the rest of the time idle.
    settings.displaySeconds = 10;
    show.start();
    const double cpuBefore = CpuSeconds();
    QTimer::singleShot(idleSeconds * 1000, &app, &QCoreApplication::quit);
    t.start();
    app.exec();
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("running show over %.0f s: %.3f s of CPU (%.3f %%)\n", t.elapsed() / 1000.0, cpu,
                100.0 * cpu / (t.elapsed() / 1000.0));
    return 0;
}
