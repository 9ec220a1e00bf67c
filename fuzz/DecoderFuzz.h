#pragma once
// One body for every decoder's fuzz target: beyond not crashing or hanging,
// a decoder promises a picture within the limits or an invalid graphic
// with its reason.
#include "imaging/Decoders.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace lumetta::fuzz {

inline void CheckDecoded(const DecodedPicture &p)
{
    if (p.ok() == !p.error.isEmpty())
        __builtin_trap();
    if (p.ok() && !WithinPictureLimits(p.image.width(), p.image.height()))
        __builtin_trap();
}

// scaled: the decoder also decodes straight to a smaller size.
template <typename Decoder>
int DecodeEachWay(const std::uint8_t *data, std::size_t size, bool scaled)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const Decoder decoder;
    CheckDecoded(decoder.decode(bytes, {}));
    if (!scaled)
        return 0;
    const DecodedPicture small = decoder.decode(bytes, QSize(7, 5));
    CheckDecoded(small);
    // Scaled down, never below the size asked for.
    if (small.ok() && small.image.width() < std::min(7, small.fullSize.width()))
        __builtin_trap();
    return 0;
}

} // namespace lumetta::fuzz
