// Pictures per second through the sandboxed decode worker against decoding
// in-process, on the same bytes in the same run: a 3840 × 2160 JPEG shown
// at 1920 × 1080 and a 640 × 480 webcam picture. The two ways take turns,
// picture by picture, so a busy neighbour slows both alike. Aim: the
// worker at 0.8 of in-process or better.
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
    const struct {
        QSize size, shown;
    } cases[] = {{{3840, 2160}, {1920, 1080}}, {{640, 480}, {640, 480}}};
    bool met = true;
    for (const auto &c : cases) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpg");
        writer.setQuality(85);
        if (!writer.write(PhotoLikePicture(c.size)))
            return 1;
        qint64 inNs = 0, outNs = 0, inCpu = 0, outCpu = 0;
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
            const DecodedPicture here = DecodeWithOwnDecoders(PictureFormat::Jpeg, bytes, c.shown);
            inNs += t.nsecsElapsed();
            inCpu += CpuNs(CLOCK_PROCESS_CPUTIME_ID) - cpu;
            cpu = CpuNs(CLOCK_PROCESS_CPUTIME_ID);
            t.start();
            const std::optional<DecodedPicture> there = worker.decode(PictureFormat::Jpeg, bytes, c.shown);
            outNs += t.nsecsElapsed();
            outCpu += CpuNs(CLOCK_PROCESS_CPUTIME_ID) - cpu;
            if (!here.ok() || !there || !there->ok() || there->image.size() != here.image.size()) {
                std::fprintf(stderr, "decode failed: %s\n", there ? qPrintable(there->error) : "no worker");
                return 1;
            }
            ++pictures;
        }
        outCpu += CpuNs(workerClock) - workerBefore;
        const double inRate = pictures / (inNs / 1e9), outRate = pictures / (outNs / 1e9);
        // The machine may be shared: CPU time is what a busy neighbour
        // does not change, though it still delays each hand-over.
        std::printf("%dx%d JPEG (%.0f kB) shown at %dx%d, %d pictures each: in-process %.1f/s, worker %.1f/s, "
                    "ratio %.2f; by CPU time (program + worker) %.2f (aim: at least 0.8)\n",
                    c.size.width(), c.size.height(), bytes.size() / 1e3, c.shown.width(), c.shown.height(),
                    pictures, inRate, outRate, outRate / inRate, double(inCpu) / double(outCpu));
        met = met && outRate >= 0.8 * inRate;
    }
    return met ? 0 : 2;
}
