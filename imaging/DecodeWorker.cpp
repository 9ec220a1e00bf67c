#include "imaging/DecodeWorker.h"

#include "imaging/DecodeChannel.h"
#include "imaging/DecodeSandbox.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <utility>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace lumetta {

namespace {

using std::chrono::milliseconds;

// Loading Qt and the decoders and shutting itself in; a machine busy
// elsewhere may take a while.
constexpr milliseconds StartTimeout{10000};

enum class Wait { Ready, TimedOut, Failed };

Wait WaitReadable(int fd, milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = std::max<qint64>(0, timeout.count() - clock.elapsed());
        pollfd p{fd, POLLIN, 0};
        const int n = ::poll(&p, 1, int(std::min<qint64>(left, INT_MAX)));
        if (n > 0)
            return Wait::Ready;
        if (n == 0)
            return Wait::TimedOut;
        if (errno != EINTR)
            return Wait::Failed;
    }
}

// A whole reply and the descriptor it brings, if any; false when the
// worker closed the channel or sent something else.
bool ReceiveReply(int channel, DecodeReply &reply, int &fd)
{
    const bool whole = ReceiveMessage(channel, &reply, sizeof reply, fd, MSG_DONTWAIT) && reply.magic == DecodeMagic;
    if (!whole && fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    return whole;
}

// The picture's bytes in a memfd of their own.
int BytesInMemfd(QByteArrayView data)
{
    const int fd = ::memfd_create("lumetta-picture", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::pwrite(fd, data.data() + done, size_t(data.size() - done), off_t(done));
        if (n <= 0 && errno != EINTR) {
            ::close(fd);
            return -1;
        }
        done += std::max<ssize_t>(n, 0);
    }
    return fd;
}

bool SendRequest(int channel, const DecodeRequest &request, int fd)
{
    return SendMessage(channel, &request, sizeof request, fd);
}

struct Mapping {
    void *at;
    size_t size;
};

void Unmap(void *info)
{
    const auto *m = static_cast<Mapping *>(info);
    ::munmap(m->at, m->size);
    delete m;
}

// The worker's pixels, shown where they lie: the memfd is sealed, so
// nothing the worker does later reaches them, and the image is read-only
// (a change copies it first).
std::optional<QImage> TakePixels(const DecodeReply &reply, int fd)
{
    struct stat st{};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return std::nullopt;
    if (CheckPictureReply(reply, st.st_size, ::fcntl(fd, F_GET_SEALS)))
        return std::nullopt;
    const size_t size = size_t(reply.bytesPerLine) * size_t(reply.height);
    // Faulted in as it is read, many pages at a time: populating it page
    // by page here costs more.
    void *at = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (at == MAP_FAILED)
        return std::nullopt;
    QImage image(static_cast<const uchar *>(at), reply.width, reply.height, reply.bytesPerLine,
                 QImage::Format(reply.format), Unmap, new Mapping{at, size});
    if (reply.colours) {
        QList<QRgb> table(reply.colourTable, reply.colourTable + reply.colours);
        image.setColorTable(table);
    }
    return image;
}

DecodedPicture Failed(const QString &why, QSize fullSize = {})
{
    DecodedPicture picture;
    picture.error = why;
    picture.fullSize = fullSize;
    return picture;
}

} // namespace

DecodeWorker::DecodeWorker(QString program, milliseconds timeout)
    : m_program(std::move(program)), m_timeout(timeout)
{
}

DecodeWorker::~DecodeWorker()
{
    stop();
}

bool DecodeWorker::start()
{
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        m_setupError = QStringLiteral("no channel for the decode worker: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // dup2 onto itself would keep close-on-exec.
    if (pair[1] == DecodeChannelFd) {
        const int moved = ::fcntl(pair[1], F_DUPFD_CLOEXEC, DecodeChannelFd + 1);
        ::close(pair[1]);
        pair[1] = moved;
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_adddup2(&actions, pair[1], DecodeChannelFd);
    // Signals the program ignores or blocks are the worker's defaults again.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const QByteArray program = QFile::encodeName(m_program);
    char *argv[] = {const_cast<char *>(program.constData()), nullptr};
    const int spawned = pair[1] >= 0 ? ::posix_spawn(&m_pid, program.constData(), &actions, &attributes, argv, environ)
                                     : EMFILE;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pair[1]);
    m_channel = pair[0];
    if (spawned != 0) {
        m_pid = -1;
        stop();
        m_setupError = QStringLiteral("the decode worker %1 could not start: %2")
                           .arg(m_program, QString::fromLocal8Bit(std::strerror(spawned)));
        return false;
    }
    DecodeReply hello;
    int fd = -1;
    const bool answered = WaitReadable(m_channel, StartTimeout) == Wait::Ready && ReceiveReply(m_channel, hello, fd);
    if (fd >= 0)
        ::close(fd);
    if (answered && hello.kind == ReplyKind::Ready)
        return true;
    stop();
    m_setupError = answered && hello.kind == ReplyKind::NoSandbox
                       ? QStringLiteral("the sandbox could not be set up: %1").arg(ReplyText(hello))
                       : QStringLiteral("the decode worker %1 did not start").arg(m_program);
    return false;
}

bool DecodeWorker::ensureStarted()
{
    if (!m_setupError.isEmpty())
        return false;
    int status = 0;
    // One that died between pictures (killed from outside) costs nothing.
    if (m_pid > 0 && ::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        stop();
    }
    return m_pid > 0 || start();
}

void DecodeWorker::stop()
{
    if (m_channel >= 0)
        ::close(m_channel);
    m_channel = -1;
    if (m_pid > 0)
        (void)reap(true);
    m_busy = milliseconds(0);
}

int DecodeWorker::reap(bool kill)
{
    int status = 0;
    if (m_pid <= 0)
        return status;
    if (kill)
        ::kill(m_pid, SIGKILL);
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    return status;
}

std::optional<DecodedPicture> DecodeWorker::decode(PictureFormat format, QByteArrayView data, QSize shownSize)
{
    if (!ensureStarted())
        return std::nullopt;
    const int input = BytesInMemfd(data);
    if (input < 0)
        return Failed(QStringLiteral("Out of memory for the picture"));
    DecodeRequest request;
    request.format = std::uint32_t(format);
    request.shownWidth = shownSize.width();
    request.shownHeight = shownSize.height();
    request.bytes = std::uint64_t(data.size());
    bool sent = SendRequest(m_channel, request, input);
    if (!sent) {
        // Gone since the last look: a fresh one, once.
        stop();
        sent = ensureStarted() && SendRequest(m_channel, request, input);
    }
    ::close(input);
    if (!sent && !m_setupError.isEmpty())
        return std::nullopt;
    if (!sent) {
        ++m_faults;
        return Failed(FaultText(WorkerFault::Crashed));
    }

    QElapsedTimer clock;
    clock.start();
    const Wait waited = WaitReadable(m_channel, m_timeout);
    DecodeReply reply;
    int pixels = -1;
    const bool answered = waited == Wait::Ready && ReceiveReply(m_channel, reply, pixels);
    m_busy += milliseconds(clock.elapsed());
    if (!answered) {
        // Killed whether it overran, said something no worker says or is
        // ending anyway: a dying worker keeps the status it dies with.
        const bool overran = waited == Wait::TimedOut;
        const int status = reap(true);
        ::close(m_channel);
        m_channel = -1;
        m_busy = milliseconds(0);
        ++m_faults;
        return Failed(FaultText(FaultOf(status, overran)));
    }
    DecodedPicture picture;
    picture.fullSize = QSize(reply.fullWidth, reply.fullHeight);
    if (reply.kind == ReplyKind::Picture) {
        std::optional<QImage> image = TakePixels(reply, pixels);
        if (pixels >= 0)
            ::close(pixels);
        if (!image) {
            stop();
            ++m_faults;
            return Failed(FaultText(WorkerFault::Crashed), picture.fullSize);
        }
        picture.image = std::move(*image);
    } else {
        if (pixels >= 0)
            ::close(pixels);
        picture.error = ReplyText(reply);
        if (picture.error.isEmpty())
            picture.error = QStringLiteral("Invalid graphic format");
    }
    // Well before its CPU limit the worker makes way for a fresh one.
    if (m_busy > std::chrono::seconds(DecodeWorkerCpuSeconds / 2))
        stop();
    return picture;
}

QString DecodeWorkerProgram()
{
    const QString chosen = qEnvironmentVariable("LUMETTA_DECODER");
    if (!chosen.isEmpty())
        return chosen;
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QString dir = QFileInfo(self).absolutePath();
    for (const QString &candidate : {dir + QStringLiteral("/lumetta-decoder"),
                                     dir + QStringLiteral("/../libexec/lumetta/lumetta-decoder")}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
    }
    return {};
}

namespace {

struct SharedWorker {
    std::mutex lock;
    std::unique_ptr<DecodeWorker> worker;
    bool inProcess = false;
    QString why;  // of inProcess
    bool said = false;
    QString fault;  // not yet taken
};

SharedWorker &Shared()
{
    static SharedWorker shared;
    return shared;
}

QString InProcessReason()
{
    if (qEnvironmentVariableIsSet("LUMETTA_DECODE_IN_PROCESS"))
        return QStringLiteral("LUMETTA_DECODE_IN_PROCESS is set");
    if (DecodeWorkerProgram().isEmpty())
        return QStringLiteral("lumetta-decoder is not installed beside the program");
    return {};
}

QString InProcessText(const QString &why)
{
    return QStringLiteral("Pictures are decoded inside the program, without a sandbox: %1").arg(why);
}

} // namespace

DecodedPicture DecodeOutsidePicture(PictureFormat format, QByteArrayView data, QSize shownSize)
{
    {
        SharedWorker &s = Shared();
        const std::lock_guard hold(s.lock);
        if (!s.inProcess && !s.worker) {
            s.why = InProcessReason();
            s.inProcess = !s.why.isEmpty();
            if (!s.inProcess)
                s.worker = std::make_unique<DecodeWorker>(DecodeWorkerProgram());
        }
        if (s.worker) {
            const int faults = s.worker->faults();
            if (std::optional<DecodedPicture> picture = s.worker->decode(format, data, shownSize)) {
                if (s.worker->faults() != faults)
                    s.fault = picture->error;
                return std::move(*picture);
            }
            s.why = s.worker->setupError();
            s.inProcess = true;
            s.worker.reset();
        }
    }
    return DecodeWithOwnDecoders(format, data, shownSize);
}

QString TakeDecodeFault()
{
    SharedWorker &s = Shared();
    const std::lock_guard hold(s.lock);
    return std::exchange(s.fault, QString());
}

QString TakeDecodeNotice()
{
    SharedWorker &s = Shared();
    const std::lock_guard hold(s.lock);
    if (!s.inProcess || s.said)
        return {};
    s.said = true;
    return InProcessText(s.why);
}

QString DescribePictureDecoding()
{
    QString why = InProcessReason();
    if (why.isEmpty()) {
        DecodeWorker probe(DecodeWorkerProgram());
        if (probe.ensureStarted())
            return QStringLiteral("Pictures are decoded in a sandboxed process (seccomp)");
        why = probe.setupError();
    }
    return InProcessText(why);
}

} // namespace lumetta
