// Feeds arbitrary bytes to the header probe. Beyond not crashing, the probe
// promises that an unrecognised input leaves every field at 0.
#include "imaging/DCImageInfo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    lumetta::TDCImageInfo info;
    info.ReadImageInfoFromData(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (info.ImageType > lumetta::TDCImageInfo::Tiff)
        __builtin_trap();
    if (info.ImageType == lumetta::TDCImageInfo::NotRecognised
        && (info.Width != 0 || info.Height != 0 || info.Depth != 0))
        __builtin_trap();
    if (info.FileSize != static_cast<std::int32_t>(size))
        __builtin_trap();
    return 0;
}
