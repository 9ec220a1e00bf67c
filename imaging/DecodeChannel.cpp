#include "imaging/DecodeChannel.h"

#include <QPixelFormat>
#include <csignal>
#include <cstring>
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <sys/wait.h>

namespace lumetta {

bool IsWorkerImageFormat(int format)
{
    switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB888:
    case QImage::Format_Grayscale8:
        return true;
    default:
        return false;
    }
}

std::optional<QString> CheckPictureReply(const DecodeReply &reply, qint64 memfdSize, int seals)
{
    constexpr int AllSeals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;
    if (seals < 0 || (seals & AllSeals) != AllSeals)
        return QStringLiteral("pixels not sealed");
    if (!IsWorkerImageFormat(reply.format))
        return QStringLiteral("unknown pixel format");
    if (reply.width <= 0 || reply.height <= 0 || !WithinPictureLimits(reply.width, reply.height))
        return QStringLiteral("picture size out of bounds");
    const auto format = QImage::Format(reply.format);
    const qint64 bits = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = reply.bytesPerLine;
    // Rows are 32-bit aligned and padded no further, as QImage keeps its own.
    if (bytesPerLine % 4 != 0 || bytesPerLine < (reply.width * bits + 7) / 8
        || bytesPerLine > qint64(reply.width) * 4)
        return QStringLiteral("row length out of bounds");
    if (memfdSize < bytesPerLine * reply.height)
        return QStringLiteral("pixels cut short");
    const bool indexed = format == QImage::Format_Indexed8 || format == QImage::Format_Mono
                         || format == QImage::Format_MonoLSB;
    const std::uint32_t maxColours = format == QImage::Format_Indexed8 ? 256 : 2;
    if (indexed ? reply.colours == 0 || reply.colours > maxColours : reply.colours != 0)
        return QStringLiteral("colour table out of bounds");
    return std::nullopt;
}

QString ReplyText(const DecodeReply &reply)
{
    const std::uint32_t length = std::min<std::uint32_t>(reply.textLength, sizeof reply.text);
    return QString::fromUtf8(reply.text, qsizetype(length));
}

void SetReplyText(DecodeReply &reply, const QString &text)
{
    QByteArray bytes = text.toUtf8();
    // Cut on a character's first byte, never inside one.
    qsizetype length = std::min<qsizetype>(bytes.size(), sizeof reply.text);
    while (length > 0 && length < bytes.size() && (uchar(bytes[length]) & 0xC0) == 0x80)
        --length;
    std::memcpy(reply.text, bytes.constData(), size_t(length));
    reply.textLength = std::uint32_t(length);
}

WorkerFault FaultOf(int waitStatus, bool timedOut)
{
    if (timedOut)
        return WorkerFault::TimedOut;
    if (WIFSIGNALED(waitStatus) && WTERMSIG(waitStatus) == SIGSYS)
        return WorkerFault::Refused;
    // Past its CPU limit it took too long all the same.
    if (WIFSIGNALED(waitStatus) && WTERMSIG(waitStatus) == SIGXCPU)
        return WorkerFault::TimedOut;
    return WorkerFault::Crashed;
}

QString FaultText(WorkerFault fault)
{
    const char *why = fault == WorkerFault::TimedOut ? "timed out"
                      : fault == WorkerFault::Refused ? "refused by the sandbox"
                                                      : "crashed";
    return QStringLiteral("The decoder failed on this picture: %1").arg(QLatin1String(why));
}

namespace {

// Room for one descriptor: a message that brings more is cut and refused.
struct ChannelMessage {
    iovec io;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr header{};

    ChannelMessage(void *body, size_t size) : io{body, size}
    {
        header.msg_iov = &io;
        header.msg_iovlen = 1;
        header.msg_control = control;
        header.msg_controllen = sizeof control;
    }
};

} // namespace

bool SendMessage(int channel, const void *body, size_t size, int fd)
{
    ChannelMessage m(const_cast<void *>(body), size);
    if (fd >= 0) {
        cmsghdr *c = CMSG_FIRSTHDR(&m.header);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(c), &fd, sizeof fd);
    } else {
        m.header.msg_control = nullptr;
        m.header.msg_controllen = 0;
    }
    ssize_t sent;
    do
        sent = ::sendmsg(channel, &m.header, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent == ssize_t(size);
}

bool ReceiveMessage(int channel, void *body, size_t size, int &fd, int flags)
{
    ChannelMessage m(body, size);
    ssize_t got;
    do
        got = ::recvmsg(channel, &m.header, MSG_CMSG_CLOEXEC | flags);
    while (got < 0 && errno == EINTR);
    fd = -1;
    if (got > 0)
        for (cmsghdr *c = CMSG_FIRSTHDR(&m.header); c; c = CMSG_NXTHDR(&m.header, c))
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS && c->cmsg_len == CMSG_LEN(sizeof(int)))
                std::memcpy(&fd, CMSG_DATA(c), sizeof fd);
    const bool whole = got == ssize_t(size) && !(m.header.msg_flags & (MSG_TRUNC | MSG_CTRUNC));
    if (!whole && fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    return whole;
}

} // namespace lumetta
