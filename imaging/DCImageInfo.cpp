#include "imaging/DCImageInfo.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <vector>

namespace lumetta {

namespace {

// Raised by a read that runs past the end of the bytes; a format reader that
// meets it gives up and the probe moves on to the next test.
struct ReadPastEnd {};

// Random access by offset over a file or a memory block. Files are read
// through a 64 KiB window so the byte-by-byte JPEG scan costs one system
// call per window, not per byte.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView data)
        : m_data(reinterpret_cast<const std::uint8_t *>(data.data())),
          m_length(data.size()),
          m_size(data.size())
    {
    }

    ByteReader(QFile &file, qint64 size)
        : m_file(&file), m_size(size), m_buffer(WindowSize)
    {
    }

    std::uint8_t u8(qint64 offset) { return *fetch(offset, 1); }

    std::uint16_t u16le(qint64 offset)
    {
        const std::uint8_t *p = fetch(offset, 2);
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }

    std::uint16_t u16be(qint64 offset)
    {
        const std::uint8_t *p = fetch(offset, 2);
        return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
    }

    std::uint32_t u32le(qint64 offset)
    {
        const std::uint8_t *p = fetch(offset, 4);
        return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
               | (std::uint32_t(p[3]) << 24);
    }

private:
    static constexpr qint64 WindowSize = 64 * 1024;

    const std::uint8_t *fetch(qint64 offset, qint64 count)
    {
        if (offset >= m_start && offset - m_start <= m_length - count)
            return m_data + (offset - m_start);
        return refill(offset, count);
    }

    const std::uint8_t *refill(qint64 offset, qint64 count)
    {
        // The size taken at open is the end: a file that grows meanwhile
        // (or a device that never ends) cannot keep a scan going.
        if (!m_file || offset < 0 || offset > m_size - count)
            throw ReadPastEnd{};
        m_start = offset;
        m_length = 0;
        if (!m_file->seek(offset))
            throw ReadPastEnd{};
        const qint64 want = std::min(WindowSize, m_size - offset);
        const qint64 got = m_file->read(reinterpret_cast<char *>(m_buffer.data()), want);
        m_data = m_buffer.data();
        m_length = std::max<qint64>(got, 0);
        if (m_length < count)  // the file shrank or failed under us
            throw ReadPastEnd{};
        return m_data;
    }

    QFile *m_file = nullptr;
    const std::uint8_t *m_data = nullptr;
    qint64 m_start = 0;
    qint64 m_length = 0;
    qint64 m_size = 0;
    std::vector<std::uint8_t> m_buffer;
};

std::uint16_t SwapBytes16(std::uint16_t value)
{
    return static_cast<std::uint16_t>((value >> 8) | (value << 8));
}

std::int32_t ClampedSize(qint64 size)
{
    return static_cast<std::int32_t>(
        std::clamp<qint64>(size, 0, std::numeric_limits<std::int32_t>::max()));
}

void ReadPng(TDCImageInfo &info, ByteReader &in)
{
    info.ImageType = TDCImageInfo::Png;
    const std::int32_t bitDepth = in.u8(24);
    switch (in.u8(25)) {
    case 0: info.Depth = bitDepth; break;
    case 2: info.Depth = bitDepth * 3; break;
    case 3: info.Depth = 8; break;
    case 4: info.Depth = bitDepth * 2; break;
    case 6: info.Depth = bitDepth * 4; break;
    default: info.ImageType = TDCImageInfo::NotRecognised; return;
    }
    // Low halves of the 32-bit header fields.
    info.Width = in.u16be(18);
    info.Height = in.u16be(22);
}

void ReadGif(TDCImageInfo &info, ByteReader &in)
{
    info.ImageType = TDCImageInfo::Gif;
    info.Width = in.u16le(6);
    info.Height = in.u16le(8);
    info.Depth = (in.u8(10) & 7) + 1;
}

void ReadBmp(TDCImageInfo &info, ByteReader &in)
{
    info.ImageType = TDCImageInfo::Bmp;
    info.Width = in.u16le(18);
    // A negative height marks rows stored top-down; the picture is as tall.
    const auto height = static_cast<std::int32_t>(in.u32le(22));
    info.Height = height < 0 ? static_cast<std::uint16_t>(-static_cast<qint64>(height)) : in.u16le(22);
    info.Depth = in.u8(28);
}

void ReadPcx(TDCImageInfo &info, ByteReader &in)
{
    info.ImageType = TDCImageInfo::Pcx;
    const std::int32_t bitsPerPixel = in.u8(3);
    const std::int32_t xMin = in.u16le(4);
    const std::int32_t yMin = in.u16le(6);
    const std::int32_t xMax = in.u16le(8);
    const std::int32_t yMax = in.u16le(10);
    const std::int32_t planes = in.u8(65);
    info.Width = xMax - xMin + 1;
    info.Height = yMax - yMin + 1;
    info.Depth = bitsPerPixel * planes;
}

void ReadTiff(TDCImageInfo &info, ByteReader &in, bool bigEndian)
{
    info.ImageType = TDCImageInfo::Tiff;
    const auto u16 = [&](qint64 offset) {
        const std::uint16_t v = in.u16le(offset);
        return bigEndian ? SwapBytes16(v) : v;
    };
    const auto u32 = [&](qint64 offset) {
        const std::uint32_t v = in.u32le(offset);
        return bigEndian ? TDCImageInfo::SwapBytes32(v) : v;
    };

    const qint64 ifd = u32(4);
    const unsigned count = u16(ifd);
    for (unsigned i = 0; i < count; ++i) {
        const qint64 pos = ifd + 2 + 12 * qint64(i);
        const std::uint16_t tag = u16(pos);
        if (tag < 256 || tag > 258)
            continue;
        std::int32_t value = 0;
        switch (u16(pos + 2)) {
        case 1: value = in.u8(pos + 8); break;
        case 3: value = u16(pos + 8); break;
        case 4: value = static_cast<std::int32_t>(u32(pos + 8)); break;
        default: break;
        }
        if (tag == 256)
            info.Width = value;
        else if (tag == 257)
            info.Height = value;
        else
            info.Depth = value;
    }
    if (!(info.Width >= 1 && info.Height >= 1 && info.Depth > 0))
        info.Reset();
}

void ReadJpeg(TDCImageInfo &info, ByteReader &in)
{
    // Webcams often send a text header before the picture, so look for the
    // start of image anywhere rather than at offset 0.
    qint64 start = 0;
    while (!(in.u8(start) == 0xFF && in.u8(start + 1) == 0xD8 && in.u8(start + 2) == 0xFF))
        ++start;

    // Every step moves forward by at least one byte, so a zero length or a
    // run of fill bytes still ends at the frame header or at end of file.
    qint64 p = start + 1;
    for (;;) {
        const std::uint8_t lead = in.u8(p);
        const std::uint8_t marker = in.u8(p + 1);
        if (lead == 0xFF && marker != 0xFF) {
            if (marker >= 0xC0 && marker <= 0xC3)
                break;
            p += 2 + qint64(in.u16be(p + 2));
        } else {
            ++p;
        }
    }

    info.ImageType = TDCImageInfo::Jpeg;
    info.Height = in.u16be(p + 5);
    info.Width = in.u16be(p + 7);
    info.Depth = in.u8(p + 9) * 8;
}

template <typename Reader>
void Attempt(TDCImageInfo &info, Reader &&reader)
{
    try {
        reader();
    } catch (const ReadPastEnd &) {
        info.Reset();
    }
}

void Probe(TDCImageInfo &info, ByteReader &in)
{
    std::uint8_t b0, b1, b2;
    try {
        b0 = in.u8(0);
        b1 = in.u8(1);
        b2 = in.u8(2);
    } catch (const ReadPastEnd &) {
        return;
    }

    if (b0 == 0x89 && b1 == 'P' && b2 == 'N')
        Attempt(info, [&] { ReadPng(info, in); });
    if (b0 == 'G' && b1 == 'I' && b2 == 'F')
        Attempt(info, [&] { ReadGif(info, in); });
    if (b0 == 'B' && b1 == 'M')
        Attempt(info, [&] { ReadBmp(info, in); });
    if (b0 == 0x0A)
        Attempt(info, [&] { ReadPcx(info, in); });
    if (b0 == 'I' && b1 == 'I' && b2 == '*')
        Attempt(info, [&] { ReadTiff(info, in, false); });
    // Big-endian writers put the 42 in two bytes ("MM", 0, '*'); the short
    // form "MM*" is taken too.
    if (b0 == 'M' && b1 == 'M' && (b2 == '*' || b2 == 0))
        Attempt(info, [&] {
            if (b2 == '*' || in.u8(3) == '*')
                ReadTiff(info, in, true);
        });

    if (info.ImageType == TDCImageInfo::NotRecognised)
        Attempt(info, [&] { ReadJpeg(info, in); });
}

} // namespace

void TDCImageInfo::Reset()
{
    Width = 0;
    Height = 0;
    Depth = 0;
    ImageType = NotRecognised;
}

std::uint32_t TDCImageInfo::SwapBytes32(std::uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u)
           | (value << 24);
}

void TDCImageInfo::ReadImageInfo(const QString &path)
{
    Reset();
    // An object probed twice must not keep the size of the previous file.
    FileSize = 0;
    try {
        if (!QFileInfo(path).isFile())
            return;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return;
        const qint64 size = file.size();
        FileSize = ClampedSize(size);
        ByteReader reader(file, size);
        Probe(*this, reader);
    } catch (...) {
        // Out of memory or an I/O surprise: the caller only ever sees zeros.
        Reset();
    }
}

void TDCImageInfo::ReadImageInfoFromData(QByteArrayView data)
{
    Reset();
    FileSize = ClampedSize(data.size());
    try {
        ByteReader reader(data);
        Probe(*this, reader);
    } catch (...) {
        Reset();
    }
}

} // namespace lumetta
