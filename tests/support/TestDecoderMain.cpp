// A decode worker for the tests only: besides the program's decoders it
// has ones that misbehave, chosen by the picture's first bytes. Never
// linked into the program.
#include "imaging/DecodeChannel.h"
#include "imaging/DecodeSandbox.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

lumetta::DecodedPicture Misbehave(lumetta::PictureFormat format, QByteArrayView data, QSize shownSize)
{
    if (data.startsWith("open"))
        ::close(::open("/etc/hostname", O_RDONLY));
    else if (data.startsWith("socket"))
        ::close(::socket(AF_INET, SOCK_STREAM, 0));
    else if (data.startsWith("crash"))
        *static_cast<volatile int *>(nullptr) = 1;
    else if (data.startsWith("loop"))
        for (;;)
            __asm__ volatile("");
    return lumetta::DecodeWithOwnDecoders(format, data, shownSize);
}

} // namespace

#ifdef LUMETTA_ADDRESS_SANITIZER
// A crash is the worker's end, not a report: writing one would need the
// files and processes the filter refuses.
extern "C" const char *__asan_default_options()
{
    return "handle_segv=0:handle_sigbus=0:handle_sigill=0:handle_abort=0:detect_leaks=0";
}
#endif

int main()
{
    return lumetta::RunDecodeWorker(lumetta::DecodeChannelFd, Misbehave);
}
