// Feeds arbitrary bytes to the JPEG decoder, at full size and DCT-scaled.
// Beyond not crashing or hanging, a decoder promises a picture within the
// limits or an invalid graphic with its reason.
#include "imaging/Decoders.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

void Check(const lumetta::DecodedPicture &p)
{
    if (p.ok() == !p.error.isEmpty())
        __builtin_trap();
    if (p.ok() && !lumetta::WithinPictureLimits(p.image.width(), p.image.height()))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const lumetta::JpegDecoder decoder;
    Check(decoder.decode(bytes, {}));
    const lumetta::DecodedPicture small = decoder.decode(bytes, QSize(7, 5));
    Check(small);
    // Scaled down, never below the size asked for.
    if (small.ok() && small.image.width() < std::min(7, small.fullSize.width()))
        __builtin_trap();
    return 0;
}
