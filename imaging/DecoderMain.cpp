// lumetta-decoder: the program's decode worker, started by the program
// with its channel as descriptor 3. Run by hand it has no channel and ends.
#include "imaging/DecodeChannel.h"
#include "imaging/DecodeSandbox.h"

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
    return lumetta::RunDecodeWorker(lumetta::DecodeChannelFd, lumetta::DecodeWithOwnDecoders);
}
