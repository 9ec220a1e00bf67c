#pragma once
// Recognises an image by its first bytes and reads its size and colour depth
// from the header alone, without decoding the picture. The image fetch uses
// it to accept only GIF and JPEG downloads; the display uses it to lay a
// picture out before decoding. It never raises: anything unreadable leaves
// the fields at 0.
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace lumetta {

class TDCImageInfo {
public:
    enum : std::uint8_t {
        NotRecognised = 0,
        Gif = 1,
        Jpeg = 2,
        Png = 3,
        Bmp = 4,
        Pcx = 5,
        Tiff = 6,
    };

    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Depth = 0;  // bits per pixel
    std::uint8_t ImageType = NotRecognised;
    // Taken when the file is opened; files beyond 2 GiB read as INT32_MAX.
    std::int32_t FileSize = 0;

    // Probes the file at path and fills the fields. Only regular files are
    // opened, so a FIFO or a device never blocks or streams forever.
    void ReadImageInfo(const QString &path);
    // Same probe over bytes already in memory (a download body, a fuzz input).
    void ReadImageInfoFromData(QByteArrayView data);

    // Width, Height, Depth and ImageType to 0; FileSize stays.
    void Reset();

    static std::uint32_t SwapBytes32(std::uint32_t value);
};

} // namespace lumetta
