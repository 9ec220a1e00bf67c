#include "imaging/DecodeSandbox.h"

#include "imaging/DecodeChannel.h"

#include <QBuffer>
#include <QImageWriter>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lumetta {

namespace {

// Generous for the largest picture the limits let through (its bytes, its
// pixels, libjpeg's coefficients, the copy sent back) and the libraries
// mapped; a fault that asks for more fails instead of taking the machine.
constexpr rlim_t AddressSpaceBytes = rlim_t(2) << 30;
// The program restarts its worker well before this; a picture that takes
// it is stopped by the program's own clock first.
constexpr rlim_t CpuSeconds = DecodeWorkerCpuSeconds;
constexpr rlim_t MemfdBytes = rlim_t(MaxPictureFileBytes + (1 << 20));
constexpr rlim_t OpenFiles = 16;

QString Errno(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

// Qt's readers load their plugins at first use, which opens files: done
// here, before the filter would kill the worker for it.
void LoadReadersEarly(DecodeFunction decode)
{
    const QImage tiny(4, 4, QImage::Format_ARGB32);
    for (const auto &[name, format] : {std::pair{"bmp", PictureFormat::Bmp}, std::pair{"ico", PictureFormat::Icon}}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, name).write(tiny);
        (void)decode(format, bytes, {});
    }
}

QString CloseInherited(int channel)
{
    if (::syscall(SYS_close_range, unsigned(channel) + 1, ~0U, 0) != 0)
        return Errno("close_range");
    for (int fd = 0; fd < channel; ++fd)
        ::close(fd);
    // Whatever a library says on standard error goes nowhere, and no
    // memfd takes a number a stray write would reach.
    const int null = ::open("/dev/null", O_RDWR);
    if (null != 0)
        return Errno("/dev/null");
    for (int fd = 1; fd < channel; ++fd)
        if (::dup2(null, fd) != fd)
            return Errno("dup2");
    return {};
}

QString SetLimits()
{
    const struct {
        int resource;
        rlim_t soft, hard;
        const char *name;
    } limits[] = {
        {RLIMIT_AS, AddressSpaceBytes, AddressSpaceBytes, "RLIMIT_AS"},
        {RLIMIT_CPU, CpuSeconds, CpuSeconds + 10, "RLIMIT_CPU"},
        {RLIMIT_FSIZE, MemfdBytes, MemfdBytes, "RLIMIT_FSIZE"},
        {RLIMIT_NOFILE, OpenFiles, OpenFiles, "RLIMIT_NOFILE"},
        {RLIMIT_CORE, 0, 0, "RLIMIT_CORE"},
    };
    for (const auto &l : limits) {
#ifdef LUMETTA_ADDRESS_SANITIZER
        // AddressSanitizer's shadow alone is terabytes of address space.
        if (l.resource == RLIMIT_AS)
            continue;
#endif
        const rlimit value{l.soft, l.hard};
        if (::setrlimit(l.resource, &value) != 0)
            return Errno(l.name);
    }
    return {};
}

// One condition on argument n, both data given.
scmp_arg_cmp Arg(unsigned n, scmp_compare op, scmp_datum_t a, scmp_datum_t b = 0)
{
    return scmp_arg_cmp{n, op, a, b};
}

struct FilterGuard {
    scmp_filter_ctx ctx;
    ~FilterGuard() { seccomp_release(ctx); }
};

QString LoadFilter(int channel)
{
    const FilterGuard filter{seccomp_init(SCMP_ACT_KILL_PROCESS)};
    if (!filter.ctx)
        return QStringLiteral("seccomp_init failed");
    int failed = 0;
    auto allow = [&](int call, auto... conditions) {
        if (seccomp_rule_add(filter.ctx, SCMP_ACT_ALLOW, call, sizeof...(conditions), conditions...) != 0)
            ++failed;
    };
    const scmp_arg_cmp onChannel = Arg(0, SCMP_CMP_EQ, scmp_datum_t(channel));
    // The channel, and /dev/null where a library's messages go.
    for (const int call : {SCMP_SYS(read), SCMP_SYS(recvmsg), SCMP_SYS(sendmsg)})
        allow(call, onChannel);
    for (const int fd : {channel, 1, 2})
        allow(SCMP_SYS(write), Arg(0, SCMP_CMP_EQ, scmp_datum_t(fd)));
    // Descriptors it holds: the memfds in and out.
    for (const int call : {SCMP_SYS(close), SCMP_SYS(fstat), SCMP_SYS(pwrite64)})
        allow(call);
    allow(SCMP_SYS(newfstatat), Arg(3, SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, AT_EMPTY_PATH));
    allow(SCMP_SYS(memfd_create));
    for (const int command : {F_ADD_SEALS, F_GET_SEALS})
        allow(SCMP_SYS(fcntl), Arg(1, SCMP_CMP_EQ, scmp_datum_t(command)));
    // Memory, never executable.
    for (const int call : {SCMP_SYS(mmap), SCMP_SYS(mprotect)})
        allow(call, Arg(2, SCMP_CMP_MASKED_EQ, PROT_EXEC, 0));
    for (const int call : {SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(brk), SCMP_SYS(madvise)})
        allow(call);
    for (const int call : {SCMP_SYS(futex), SCMP_SYS(clock_gettime), SCMP_SYS(gettimeofday),
                           SCMP_SYS(rt_sigreturn), SCMP_SYS(exit), SCMP_SYS(exit_group)})
        allow(call);
    // abort() on a failed allocation: a crash, not a refusal.
    for (const int call : {SCMP_SYS(getpid), SCMP_SYS(gettid), SCMP_SYS(rt_sigprocmask)})
        allow(call);
    allow(SCMP_SYS(tgkill), Arg(2, SCMP_CMP_EQ, SIGABRT));
#ifdef LUMETTA_ADDRESS_SANITIZER
    // The sanitizers' runtime probes memory through a pipe of its own and
    // looks at the signal stack on each longjmp.
    for (const int call : {SCMP_SYS(pipe2), SCMP_SYS(read), SCMP_SYS(write), SCMP_SYS(sigaltstack)})
        allow(call);
#endif
    if (failed)
        return QStringLiteral("seccomp: %1 rules refused").arg(failed);
    if (const int rc = seccomp_load(filter.ctx); rc != 0)
        return QStringLiteral("seccomp_load: %1").arg(QString::fromLocal8Bit(std::strerror(-rc)));
    return {};
}

bool Send(int channel, const DecodeReply &reply, int fd = -1)
{
    return SendMessage(channel, &reply, sizeof reply, fd);
}

// The request and the memfd of its bytes; false when the program has gone.
bool Receive(int channel, DecodeRequest &request, int &fd)
{
    return ReceiveMessage(channel, &request, sizeof request, fd) && request.magic == DecodeMagic && fd >= 0;
}

// Written whole, in as few calls as the kernel allows: cheaper than
// faulting in a shared mapping page by page.
bool WriteAll(int fd, const uchar *data, size_t size)
{
    for (size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, off_t(done));
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// The pixels into a memfd no one can change once sent.
int SealedPixels(const QImage &image)
{
    const int fd = ::memfd_create("lumetta-pixels", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return -1;
    if (!WriteAll(fd, image.constBits(), size_t(image.sizeInBytes()))
        || ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

DecodeReply Answer(DecodeFunction decode, const DecodeRequest &request, int input, int &pixels)
{
    pixels = -1;
    DecodeReply reply;
    struct stat st{};
    if (::fstat(input, &st) != 0 || request.bytes > quint64(st.st_size)) {
        SetReplyText(reply, QStringLiteral("Picture bytes missing"));
        return reply;
    }
    const size_t size = size_t(request.bytes);
    const void *map = size ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, input, 0) : nullptr;
    if (map == MAP_FAILED) {
        SetReplyText(reply, QStringLiteral("Out of memory for the picture"));
        return reply;
    }
    DecodedPicture picture = decode(PictureFormat(request.format),
                                    QByteArrayView(static_cast<const char *>(map), qsizetype(size)),
                                    QSize(request.shownWidth, request.shownHeight));
    if (map)
        ::munmap(const_cast<void *>(map), size);
    reply.fullWidth = picture.fullSize.width();
    reply.fullHeight = picture.fullSize.height();
    if (!picture.ok()) {
        SetReplyText(reply, picture.error);
        return reply;
    }
    QImage &image = picture.image;
    if (!IsWorkerImageFormat(image.format()))
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    pixels = image.isNull() ? -1 : SealedPixels(image);
    if (pixels < 0) {
        SetReplyText(reply, QStringLiteral("Out of memory for the picture"));
        return reply;
    }
    reply.kind = ReplyKind::Picture;
    reply.width = image.width();
    reply.height = image.height();
    reply.bytesPerLine = int(image.bytesPerLine());
    reply.format = int(image.format());
    const QList<QRgb> table = image.colorTable();
    reply.colours = std::uint32_t(std::min<qsizetype>(table.size(), 256));
    std::copy_n(table.begin(), reply.colours, reply.colourTable);
    return reply;
}

} // namespace

QString EnterDecodeSandbox(int channel)
{
    QString error = CloseInherited(channel);
    // A program killed mid-picture leaves no worker spinning behind it.
    if (error.isEmpty() && ::prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0) != 0)
        error = Errno("PR_SET_PDEATHSIG");
    if (error.isEmpty() && ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        error = Errno("PR_SET_NO_NEW_PRIVS");
    if (error.isEmpty())
        error = SetLimits();
    if (error.isEmpty())
        error = LoadFilter(channel);
    return error;
}

int RunDecodeWorker(int channel, DecodeFunction decode)
{
    LoadReadersEarly(decode);
    const QString error = EnterDecodeSandbox(channel);
    DecodeReply hello;
    hello.kind = error.isEmpty() ? ReplyKind::Ready : ReplyKind::NoSandbox;
    SetReplyText(hello, error);
    if (!Send(channel, hello) || !error.isEmpty())
        return 1;
    for (;;) {
        DecodeRequest request;
        int input = -1;
        if (!Receive(channel, request, input)) {
            // The program closed the channel: the run is over.
            return 0;
        }
        int pixels = -1;
        const DecodeReply reply = Answer(decode, request, input, pixels);
        ::close(input);
        const bool sent = Send(channel, reply, pixels);
        if (pixels >= 0)
            ::close(pixels);
        if (!sent)
            return 0;
    }
}

} // namespace lumetta
