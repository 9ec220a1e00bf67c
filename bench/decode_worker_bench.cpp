// Pictures per second through the sandboxed decode worker against decoding
// in-process, on the same bytes in the same run: a 3840 × 2160 JPEG shown
// at 1920 × 1080 and a 640 × 480 webcam picture shown at 1440 × 1080. The
// two ways take turns, picture by picture, so a busy neighbour slows both
// alike. Each is timed decoded, and as shown (the scaling PreparePicture
// does after). Aim: the worker at 0.8 of in-process or better.
//   decode_worker_bench [seconds per picture]
#include "imaging/DecodeSandbox.h"
#include "imaging/DecodeWorker.h"
#include "PhotoLikePicture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>
#include <ctime>

using namespace lumetta;

namespace {

// CPU time of a clock: this process's, or the worker's.
qint64 CpuNs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// What the show does next reads every row; so does this, a word of each.
unsigned ReadRows(const QImage &image)
{
    unsigned sum = 0;
    for (int y = 0; y < image.height(); ++y)
        sum += image.constScanLine(y)[0];
    return sum;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(0.5, atof(argv[1])) : 5;
    const QString program = qEnvironmentVariableIsSet("LUMETTA_DECODER") ? DecodeWorkerProgram()
                                                                          : QStringLiteral(LUMETTA_DECODER);
    DecodeWorker worker(program);
    if (!worker.ensureStarted()) {
        std::fprintf(stderr, "no worker: %s\n", qPrintable(worker.setupError()));
        return 1;
    }
    // The webcam picture fills the height of a 1920 x 1080 screen.
    const struct {
        QSize size, shown;
    } cases[] = {{{3840, 2160}, {1920, 1080}}, {{640, 480}, {1440, 1080}}};
    bool met = true;
    for (const auto &c : cases) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpg");
        writer.setQuality(85);
        if (!writer.write(PhotoLikePicture(c.size)))
            return 1;
        // Then what PreparePicture does with the picture: scaled to the
        // screen unless it came at that size.
        unsigned rows = 0;
        auto show = [&](const QImage &image) {
            rows += ReadRows(image.size() == c.shown
                                 ? image
                                 : image.scaled(c.shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        };
        struct Way {
            qint64 decodeNs = 0, shownNs = 0, cpuNs = 0;
        } here, there;
        int pictures = 0;
        clockid_t workerClock;
        if (clock_getcpuclockid(worker.pid(), &workerClock) != 0)
            return 1;
        const qint64 workerBefore = CpuNs(workerClock);
        QElapsedTimer total, t;
        total.start();
        while (total.elapsed() < seconds * 1000) {
            qint64 cpu = CpuNs(CLOCK_PROCESS_CPUTIME_ID);
            t.start();
            const DecodedPicture mine = DecodeWithOwnDecoders(PictureFormat::Jpeg, bytes, c.shown);
            here.decodeNs += t.nsecsElapsed();
            here.cpuNs += CpuNs(CLOCK_PROCESS_CPUTIME_ID) - cpu;
            t.start();
            show(mine.image);
            here.shownNs += t.nsecsElapsed();

            cpu = CpuNs(CLOCK_PROCESS_CPUTIME_ID);
            t.start();
            const std::optional<DecodedPicture> theirs = worker.decode(PictureFormat::Jpeg, bytes, c.shown);
            there.decodeNs += t.nsecsElapsed();
            there.cpuNs += CpuNs(CLOCK_PROCESS_CPUTIME_ID) - cpu;
            if (!mine.ok() || !theirs || !theirs->ok() || theirs->image.size() != mine.image.size()) {
                std::fprintf(stderr, "decode failed: %s\n", theirs ? qPrintable(theirs->error) : "no worker");
                return 1;
            }
            t.start();
            show(theirs->image);
            there.shownNs += t.nsecsElapsed();
            ++pictures;
        }
        there.cpuNs += CpuNs(workerClock) - workerBefore;
        auto rate = [&](qint64 ns) { return pictures / (ns / 1e9); };
        const double decoded = rate(there.decodeNs) / rate(here.decodeNs);
        const double shown = rate(there.decodeNs + there.shownNs) / rate(here.decodeNs + here.shownNs);
        std::printf("%dx%d JPEG (%.0f kB) shown at %dx%d, %d pictures each way\n", c.size.width(), c.size.height(),
                    bytes.size() / 1e3, c.shown.width(), c.shown.height(), pictures);
        std::printf("  decoded:   in-process %.1f/s, worker %.1f/s, ratio %.2f (by CPU time, program + worker: %.2f)\n",
                    rate(here.decodeNs), rate(there.decodeNs), decoded, double(here.cpuNs) / double(there.cpuNs));
        std::printf("  as shown:  in-process %.1f/s, worker %.1f/s, ratio %.2f (aim: at least 0.8)\n",
                    rate(here.decodeNs + here.shownNs), rate(there.decodeNs + there.shownNs), shown);
        met = met && shown >= 0.8;
        if (rows == 1)
            std::printf(" ");  // keeps the reads
    }
    return met ? 0 : 2;
}
