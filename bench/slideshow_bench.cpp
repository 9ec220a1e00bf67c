// The cost of one pick when no webcam is due (every webcam outside its
// daily window): one slice of the search that finds nothing, the longest
// the window waits on the show before its events run again. Over 10,000 and 100,000 webcams, with the
// local file names stored and with them empty (their pictures on disk
// under the names the URLs give), against listing the same files with
// ls -l; then the CPU a running show uses between ticks.
//   slideshow_bench [webcams...] [--idle seconds]
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
#include <cmath>
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

// Webcams whose window lies two to three hours from now, refreshed a
// minute ago: nothing is due and nothing may be shown.
QStringList Catalogue(int webcams, bool namesStored, const QString &images)
{
    const TDateTime now = DefaultClock().now();
    const QString start = FormatTimeText(now + 2.0 / 24 - std::floor(now));
    const QString end = FormatTimeText(now + 3.0 / 24 - std::floor(now));
    const QString fetched = FormatDateTimeText(now - 60 * OneSecond);
    QStringList records;
    records.reserve(webcams);
    for (int i = 0; i < webcams; ++i) {
        const QString name = QStringLiteral("cam%1.jpg").arg(i);
        QFile(images + name).open(QIODevice::WriteOnly);
        records << QStringLiteral("Cities||Cam %1||http://cams.example.test/%1/%2||||00:10:00||%3||%4||%5||%6||%6||1||1||0")
                       .arg(i)
                       .arg(name, start, end, namesStored ? name : QString(), fetched);
    }
    return records;
}

double LsSeconds(const QString &folder)
{
    QElapsedTimer t;
    t.start();
    QProcess ls;
    ls.start("ls", {"-l", folder});
    ls.waitForFinished(-1);
    ls.readAll();
    return t.nsecsElapsed() / 1e9;
}

// A show over a private folder and store; every fetch brings nothing.
struct Scene {
    Scene(int webcams, bool namesStored)
    {
        qputenv("LUMETTA_REGISTRY", (dir.path() + "/user.reg").toUtf8());
        QDir().mkpath(images);
        run.DataFileName = dir.path() + "/lumetta.dat";
        run.catalogue.load(Catalogue(webcams, namesStored, images));
        settings.downloadDir = images;
        settings.resume = false;
        hooks.settings = [this] { return settings; };
        hooks.fetch = [this](const QString &, const QString &, int) {
            ++fetches;
            return CamFetch{};
        };
    }
    QTemporaryDir dir;
    const QString images = dir.path() + "/images/";
    RunState run{RunMode{}, RealTimeSource()};
    NullShowDisplay display;
    ShowSettings settings;
    SlideShowHooks hooks;
    int fetches = 0;
};

// The worst of a few picks, in milliseconds.
double WorstPickMs(int webcams, bool namesStored, bool noLocalImages, double &lsSeconds)
{
    Scene scene(webcams, namesStored);
    lsSeconds = LsSeconds(scene.images);
    scene.settings.noLocalImages = noLocalImages;
    SlideShow show(scene.run, scene.display, scene.hooks, DefaultClock());
    const int &fetches = scene.fetches;
    double worst = 0;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        show.DownloadImage();
        worst = std::max(worst, t.nsecsElapsed() / 1e6);
    }
    if (fetches != 0)
        std::printf("  (%d downloads started: none should be)\n", fetches);
    return worst;
}

void IdleCpu(int seconds)
{
    Scene scene(1000, true);
    SlideShow show(scene.run, scene.display, scene.hooks, DefaultClock());
    show.start();
    const double cpuBefore = CpuSeconds();
    QElapsedTimer t;
    t.start();
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    qApp->exec();
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("running show over %.0f s: %.3f s of CPU (%.3f %%)\n", t.elapsed() / 1000.0, cpu,
                100.0 * cpu / (t.elapsed() / 1000.0));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    int idleSeconds = 10;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--idle" && i + 1 < argc)
            idleSeconds = atoi(argv[++i]);
        else
            sizes << atoi(argv[i]);
    }
    if (sizes.isEmpty())
        sizes = {10000, 100000};

    struct Variant {
        const char *name;
        bool namesStored;
        bool noLocalImages;
    } const variants[] = {
        {"local names stored", true, false},
        {"local names stored, \"Do not show local images\"", true, true},
        {"local names empty, pictures on disk", false, false},
    };
    for (const Variant &v : variants) {
        std::printf("%s:\n", v.name);
        double first = 0;
        for (int webcams : sizes) {
            double ls = 0;
            const double ms = WorstPickMs(webcams, v.namesStored, v.noLocalImages, ls);
            std::printf("  %7d webcams: worst pick %9.1f ms; ls -l %7.1f ms; %.2f x ls -l\n", webcams, ms, ls * 1000,
                        ms / (ls * 1000));
            if (first == 0)
                first = ms;
            else
                std::printf("  ratio %d to %d: %.1f (linear is %.0f)\n", webcams, sizes.first(), ms / first,
                            double(webcams) / sizes.first());
        }
    }
    if (idleSeconds > 0)
        IdleCpu(idleSeconds);
    return 0;
}
