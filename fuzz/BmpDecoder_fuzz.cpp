// Feeds arbitrary bytes to the bitmap decoder (our row check, then Qt's reader).
#include "DecoderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return lumetta::fuzz::DecodeEachWay<lumetta::BmpDecoder>(data, size, false);
}
