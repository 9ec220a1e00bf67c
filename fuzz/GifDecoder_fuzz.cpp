// Feeds arbitrary bytes to the GIF decoder.
#include "DecoderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return lumetta::fuzz::DecodeEachWay<lumetta::GifDecoder>(data, size, false);
}
