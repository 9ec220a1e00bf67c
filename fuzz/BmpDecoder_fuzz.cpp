// Feeds arbitrary bytes to the bitmap decoder (our row check, then Qt's
// reader). Beyond not crashing or hanging, a decoder promises a picture
// within the limits or an invalid graphic with its reason.
#include "imaging/Decoders.h"

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
    const lumetta::BmpDecoder decoder;
    Check(decoder.decode(bytes, {}));
    return 0;
}
