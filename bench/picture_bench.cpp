// Decodes a 3840 × 2160 JPEG for a 1920 × 1080 screen with the display's
// pipeline (read, DCT-scaled decode, smooth scale to the shown size) and
// compares it with djpeg decoding the same file at full size, in the same
// run, by the clock and by CPU time (the machine may be shared, and CPU
// time is what a busy neighbour does not change). Without a file argument the picture is made here: a photo-like
// texture, so the entropy decoding costs what a real webcam picture costs.
//   picture_bench [runs] [picture.jpg]
#include "imaging/Decoders.h"
#include "imaging/Picture.h"
#include "PhotoLikePicture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <vector>

using namespace lumetta;

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double OwnCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double ChildrenCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QSize screen(1920, 1080);

    QTemporaryDir dir;
    QString picture = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath("uhd.jpg");
    if (argc <= 2) {
        QImageWriter writer(picture, "jpg");
        writer.setQuality(85);
        if (!writer.write(PhotoLikePicture(QSize(3840, 2160)))) {
            std::fprintf(stderr, "cannot write the test picture: %s\n", qPrintable(writer.errorString()));
            return 1;
        }
    }
    // The decoded picture goes nowhere, as ours stays in memory.
    const QString sink = QStringLiteral("/dev/null");

    std::vector<double> ours, fullInProcess, djpeg, oursCpu, djpegCpu;
    QSize full, shown;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        double cpu = OwnCpuMs();
        t.start();
        const DecodedPicture p = PreparePicture(picture, screen);
        ours.push_back(t.nsecsElapsed() / 1e6);
        oursCpu.push_back(OwnCpuMs() - cpu);
        if (!p.ok()) {
            std::fprintf(stderr, "decode failed: %s\n", qPrintable(p.error));
            return 1;
        }
        full = p.fullSize;
        shown = p.image.size();

        t.start();
        const DecodedPicture whole = LoadPictureFile(picture, PictureFormat::Jpeg);
        fullInProcess.push_back(t.nsecsElapsed() / 1e6);

        cpu = ChildrenCpuMs();
        t.start();
        if (QProcess::execute("djpeg", {"-outfile", sink, picture}) != 0) {
            std::fprintf(stderr, "djpeg failed (Debian package libjpeg-turbo-progs)\n");
            return 1;
        }
        djpeg.push_back(t.nsecsElapsed() / 1e6);
        djpegCpu.push_back(ChildrenCpuMs() - cpu);
    }
    const double a = Median(ours), b = Median(djpeg);
    std::printf("picture: %dx%d JPEG, %.1f MB, shown at %dx%d, %d runs\n", full.width(), full.height(),
                QFile(picture).size() / 1e6, shown.width(), shown.height(), runs);
    std::printf("Lumetta read + DCT-scaled decode + scale: median %.1f ms, CPU %.1f ms (1/%d of each side decoded)\n",
                a, Median(oursCpu), JpegScaleDenominator(full, screen));
    std::printf("Lumetta full-size decode, for reference:  median %.1f ms\n", Median(fullInProcess));
    std::printf("djpeg full-size decode of the same file:  median %.1f ms, CPU %.1f ms\n", b, Median(djpegCpu));
    std::printf("ratio: %.2fx djpeg, by CPU time %.2fx (aim: at most 0.5)\n", a / b,
                Median(oursCpu) / Median(djpegCpu));
    return 0;
}
