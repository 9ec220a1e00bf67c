#include "imaging/DecodeChannel.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

constexpr int Sealed = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;

DecodeReply Reply(QImage::Format format, int width, int height, int bytesPerLine, std::uint32_t colours = 0)
{
    DecodeReply r;
    r.kind = ReplyKind::Picture;
    r.format = int(format);
    r.width = width;
    r.height = height;
    r.bytesPerLine = bytesPerLine;
    r.colours = colours;
    return r;
}

// What a worker sends is taken only when every row is there and no one
// can change it any more.
TEST(DecodeChannel, PixelsAreTakenOnlyWhenWholeAndSealed)
{
    const struct {
        const char *what;
        DecodeReply reply;
        qint64 size;
        int seals;
        bool taken;
    } cases[] = {
        {"rgb32", Reply(QImage::Format_RGB32, 10, 3, 40), 120, Sealed, true},
        {"larger memfd", Reply(QImage::Format_RGB32, 10, 3, 40), 4096, Sealed | F_SEAL_SEAL, true},
        {"one byte short", Reply(QImage::Format_RGB32, 10, 3, 40), 119, Sealed, false},
        {"writable", Reply(QImage::Format_RGB32, 10, 3, 40), 120, F_SEAL_SHRINK | F_SEAL_GROW, false},
        {"may shrink", Reply(QImage::Format_RGB32, 10, 3, 40), 120, F_SEAL_GROW | F_SEAL_WRITE, false},
        {"no seals at all", Reply(QImage::Format_RGB32, 10, 3, 40), 120, -1, false},
        {"rows too short", Reply(QImage::Format_RGB32, 10, 3, 36), 120, Sealed, false},
        {"rows unaligned", Reply(QImage::Format_RGB888, 10, 3, 30), 120, Sealed, false},
        {"rgb888 padded", Reply(QImage::Format_RGB888, 10, 3, 32), 96, Sealed, true},
        {"rows too long", Reply(QImage::Format_RGB32, 10, 3, 44), 4096, Sealed, false},
        {"mono of one pixel", Reply(QImage::Format_Mono, 1, 1, 4, 2), 4, Sealed, true},
        {"no width", Reply(QImage::Format_RGB32, 0, 3, 0), 120, Sealed, false},
        {"no height", Reply(QImage::Format_RGB32, 10, 0, 40), 120, Sealed, false},
        {"past the limits", Reply(QImage::Format_RGB32, MaxPictureSide + 1, 1, (MaxPictureSide + 1) * 4), qint64(1) << 30, Sealed, false},
        {"unlisted format", Reply(QImage::Format_RGB16, 10, 3, 20), 120, Sealed, false},
        {"invalid format", Reply(QImage::Format_Invalid, 10, 3, 40), 120, Sealed, false},
        {"indexed", Reply(QImage::Format_Indexed8, 10, 3, 12, 256), 36, Sealed, true},
        {"indexed without colours", Reply(QImage::Format_Indexed8, 10, 3, 12, 0), 36, Sealed, false},
        {"indexed past 256", Reply(QImage::Format_Indexed8, 10, 3, 12, 257), 36, Sealed, false},
        {"mono, two colours", Reply(QImage::Format_Mono, 10, 3, 4, 2), 12, Sealed, true},
        {"mono, three colours", Reply(QImage::Format_Mono, 10, 3, 4, 3), 12, Sealed, false},
        {"rgb32 with colours", Reply(QImage::Format_RGB32, 10, 3, 40, 1), 120, Sealed, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(!CheckPictureReply(c.reply, c.size, c.seals), c.taken) << c.what;
}

TEST(DecodeChannel, FaultReasonsAndBoundedText)
{
    const struct {
        int status;
        bool timedOut;
        const char *reason;
    } cases[] = {
        {SIGSYS, false, "refused by the sandbox"},
        {SIGSEGV, false, "crashed"},
        {SIGABRT, false, "crashed"},  // out of memory
        {SIGKILL, true, "timed out"},
        {SIGXCPU, false, "timed out"},
        {1 << 8, false, "crashed"},   // ended with exit code 1
    };
    for (const auto &c : cases)
        EXPECT_EQ(FaultText(FaultOf(c.status, c.timedOut)),
                  "The decoder failed on this picture: " + QString::fromLatin1(c.reason))
            << c.status;

    DecodeReply reply;
    // 1 + 3 n bytes never meet 480: the character that would cross it goes whole.
    const QString euros(200, QChar(0x20AC));
    SetReplyText(reply, "x" + euros);
    EXPECT_EQ(ReplyText(reply), "x" + euros.left(159));
    SetReplyText(reply, euros);
    EXPECT_EQ(ReplyText(reply), euros.left(160));
    reply.textLength = 100000;  // a length a worker claims is bounded all the same
    EXPECT_EQ(ReplyText(reply).toUtf8().size(), 480);
}

} // namespace
