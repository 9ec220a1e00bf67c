#pragma once
// The program's side of the decode worker: one process, started at the
// first picture and again whenever it dies, that decodes behind a seccomp
// filter. A picture it crashes on, is killed for, or takes too long over
// is an invalid graphic with that reason; the next picture gets a fresh
// worker.
#include "imaging/Picture.h"

#include <QString>
#include <chrono>
#include <optional>
#include <sys/types.h>

namespace lumetta {

class DecodeWorker {
public:
    // How long one picture may take; the largest the limits let through
    // decodes in about a second.
    static constexpr std::chrono::milliseconds DefaultTimeout{5000};

    explicit DecodeWorker(QString program, std::chrono::milliseconds timeout = DefaultTimeout);
    ~DecodeWorker();
    DecodeWorker(const DecodeWorker &) = delete;
    DecodeWorker &operator=(const DecodeWorker &) = delete;

    // Nothing when no sandboxed worker can be had (setupError says why):
    // the caller decodes in-process.
    [[nodiscard]] std::optional<DecodedPicture> decode(PictureFormat format, QByteArrayView data, QSize shownSize);

    // Starts the worker unless it runs; false when it cannot be had.
    bool ensureStarted();
    // Empty until a worker failed to start or to shut itself in.
    const QString &setupError() const { return m_setupError; }
    // Pictures it crashed on, was killed for or overran, so far.
    int faults() const { return m_faults; }
    pid_t pid() const { return m_pid; }
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

private:
    bool start();
    void stop();
    // The worker's status, reaped (killed first when kill).
    int reap(bool kill);

    QString m_program;
    std::chrono::milliseconds m_timeout;
    pid_t m_pid = -1;
    int m_channel = -1;
    QString m_setupError;
    int m_faults = 0;
    std::chrono::milliseconds m_busy{0};  // time spent decoding, against the CPU limit
};

// The program's own worker: lumetta-decoder beside the program (or under
// ../libexec/lumetta/), or $LUMETTA_DECODER. Empty when none is found.
QString DecodeWorkerProgram();

// What LoadPictureFile decodes with: the worker, or in-process when it
// cannot be had or $LUMETTA_DECODE_IN_PROCESS is set.
DecodedPicture DecodeOutsidePicture(PictureFormat format, QByteArrayView data, QSize shownSize);

// The reason of the last picture the worker failed on since the last
// call ("The decoder failed on this picture: crashed"); empty when none.
QString TakeDecodeFault();

// Said once per run: why pictures are decoded in-process. Empty otherwise,
// and after the first call.
QString TakeDecodeNotice();

// For --version: starts a worker to see whether it shuts itself in.
QString DescribePictureDecoding();

} // namespace lumetta
