#pragma once
// What the program and its decode worker say to each other over their
// socket. The picture's bytes and the decoded pixels travel in memfds
// passed beside the messages; the messages themselves are small and of a
// fixed size, so a reader never trusts a length it did not choose.
#include "imaging/Picture.h"

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace lumetta {

inline constexpr std::uint32_t DecodeMagic = 0x4C6D4431;  // "LmD1"
// The worker reads its channel here; everything else it closes.
inline constexpr int DecodeChannelFd = 3;
// The worker's CPU limit; the program starts a fresh one at half of it.
inline constexpr int DecodeWorkerCpuSeconds = 600;

struct DecodeRequest {
    std::uint32_t magic = DecodeMagic;
    std::uint32_t format = 0;  // PictureFormat
    std::int32_t shownWidth = -1, shownHeight = -1;
    std::uint64_t bytes = 0;   // of the picture in the memfd passed along
};

enum class ReplyKind : std::uint32_t { Ready = 1, NoSandbox, Picture, Invalid };

struct DecodeReply {
    std::uint32_t magic = DecodeMagic;
    ReplyKind kind = ReplyKind::Invalid;
    std::int32_t fullWidth = -1, fullHeight = -1;
    // Picture: the pixels in the sealed memfd passed along.
    std::int32_t width = 0, height = 0, bytesPerLine = 0;
    std::int32_t format = 0;  // QImage::Format
    std::uint32_t colours = 0;
    std::uint32_t textLength = 0;
    std::uint32_t colourTable[256] = {};
    char text[480] = {};  // Invalid: why; NoSandbox: what could not be set up
};

// The image formats a worker may send; anything else it converts first.
bool IsWorkerImageFormat(int format);

// Why a reply's pixels cannot be taken, or nothing when they can. The
// memfd must be sealed against every change and hold every row.
std::optional<QString> CheckPictureReply(const DecodeReply &reply, qint64 memfdSize, int seals);

// The reply's text, bounded by its field whatever length it claims.
QString ReplyText(const DecodeReply &reply);
void SetReplyText(DecodeReply &reply, const QString &text);

// One fixed-size message over the channel with a descriptor beside it
// (none when fd < 0); false unless the whole message went.
bool SendMessage(int channel, const void *body, size_t size, int fd);
// One whole message of exactly size bytes and the descriptor beside it, if
// any (-1 when none); false, with nothing left open, for anything else.
bool ReceiveMessage(int channel, void *body, size_t size, int &fd, int flags = 0);

enum class WorkerFault { Crashed, TimedOut, Refused };
// A worker that ended without answering: SIGSYS is the filter's verdict.
WorkerFault FaultOf(int waitStatus, bool timedOut);
// "The decoder failed on this picture: crashed", the picture's reason.
QString FaultText(WorkerFault fault);

} // namespace lumetta
