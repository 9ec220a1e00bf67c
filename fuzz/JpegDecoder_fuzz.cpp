// Feeds arbitrary bytes to the JPEG decoder, at full size and DCT-scaled.
#include "DecoderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return lumetta::fuzz::DecodeEachWay<lumetta::JpegDecoder>(data, size, true);
}
