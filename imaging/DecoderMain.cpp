// lumetta-decoder: the program's decode worker, started by the program
// with its channel as descriptor 3. Run by hand it has no channel and ends.
#include "imaging/DecodeChannel.h"
#include "imaging/DecodeSandbox.h"

int main()
{
    return lumetta::RunDecodeWorker(lumetta::DecodeChannelFd, lumetta::DecodeWithOwnDecoders);
}
