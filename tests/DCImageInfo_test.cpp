#include "imaging/DCImageInfo.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <array>

#include <sys/stat.h>

using lumetta::TDCImageInfo;

namespace {

// Type, width, height and depth.
using Expected = std::array<int, 4>;

Expected Fields(const TDCImageInfo &i) { return {i.ImageType, i.Width, i.Height, i.Depth}; }

// Both entry points must agree: the file one reads through a window, the
// memory one sees every byte at once.
void ExpectProbe(const QString &path, const QByteArray &bytes, Expected want)
{
    TDCImageInfo fromFile;
    fromFile.ReadImageInfo(path);
    EXPECT_EQ(Fields(fromFile), want) << "file";
    EXPECT_EQ(fromFile.FileSize, bytes.size());
    TDCImageInfo fromMemory;
    fromMemory.ReadImageInfoFromData(bytes);
    EXPECT_EQ(Fields(fromMemory), want) << "memory";
}

TEST(DCImageInfo, CommittedTrapFiles)
{
    const struct { const char *file; Expected want = {}; } cases[] = {  // no want: no picture
        {"ok/gif89a_320x240_256_colour_table.gif", {1, 320, 240, 8}},
        {"ok/jpeg_exif_thumbnail_before_frame_640x480.jpg", {2, 640, 480, 24}},
        {"ok/bmp_24bit_32x24.bmp", {4, 32, 24, 24}},
        {"ok/bmp_top_down_32x24.bmp", {4, 32, 24, 24}},  // negative height
        {"ok/png_grey_type0_40x30.png", {3, 40, 30, 8}},
        {"ok/png_rgb_type2_300x200.png", {3, 300, 200, 24}},
        {"ok/png_palette_4bit_type3_300x200.png", {3, 300, 200, 8}},
        {"ok/png_grey_alpha_type4_40x30.png", {3, 40, 30, 16}},
        {"ok/png_rgba_16bit_type6_40x30.png", {3, 40, 30, 64}},
        {"ok/tiff_little_endian_300x2.tif", {6, 300, 2, 8}},  // tags outside 256-258 too
        {"fail/two_bytes.jpg"}, {"fail/text_named_as_picture.jpg"}, {"fail/png_colour_type_5.png"},
        {"fail/jpeg_cut_inside_frame_header.jpg"}, {"fail/tiff_entry_count_past_end.tif"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = QStringLiteral(LUMETTA_TEST_DATA "/") + c.file;
        ExpectProbe(path, lumetta::test::ReadAll(path), c.want);
    }
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QByteArray Be16(int v) { return Bytes({(v >> 8) & 0xFF, v & 0xFF}); }

// A frame header of the given marker after SOI and whatever comes between.
QByteArray Jpeg(const QByteArray &between, int marker, int width, int height, int components = 3)
{
    return Bytes({0xFF, 0xD8}) + between + Bytes({0xFF, marker}) + Be16(8 + 3 * components)
           + Bytes({8}) + Be16(height) + Be16(width) + Bytes({components})
           + QByteArray(3 * components, '\x11') + Bytes({0xFF, 0xD9});
}

QByteArray Segment(int marker, const QByteArray &payload)
{
    return Bytes({0xFF, marker}) + Be16(int(payload.size()) + 2) + payload;
}

// TIFF with one IFD of (tag, type, value) entries; values sit left-justified.
QByteArray Tiff(bool bigEndian, std::initializer_list<std::array<quint32, 3>> entries)
{
    const auto field = [bigEndian](quint32 value, int size) {
        QByteArray b(4, '\0');
        if (bigEndian)
            qToBigEndian(quint32(value << (8 * (4 - size))), b.data());
        else
            qToLittleEndian(value, b.data());
        return b;
    };
    QByteArray out = (bigEndian ? QByteArray("MM\0*", 4) : QByteArray("II*\0", 4)) + field(8, 4)
                     + field(quint32(entries.size()), 2).left(2);
    for (const auto &[tag, type, value] : entries)
        out += field(tag, 2).left(2) + field(type, 2).left(2) + field(1, 4)
               + field(value, type == 1 ? 1 : type == 3 ? 2 : 4);
    return out + QByteArray(4, '\0');
}

TEST(DCImageInfo, HandBuiltHeaders)
{
    const QByteArray window(64 * 1024, 'x');
    const auto jfif = Segment(0xE0, QByteArray("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    // Committed files with one header field changed.
    QByteArray png = lumetta::test::ReadAll(QStringLiteral(LUMETTA_TEST_DATA "/ok/png_rgb_type2_300x200.png"));
    qToBigEndian(quint32(0x12345), png.data() + 16);
    QByteArray pcx = lumetta::test::ReadAll(QStringLiteral(LUMETTA_TEST_DATA "/ok/pcx_300x200.pcx"));
    qToLittleEndian(quint32(10 | 20 << 16), pcx.data() + 4);  // the window starts at (10, 20)
    const struct { const char *what; QByteArray bytes; Expected want; } cases[] = {
        {"SOI after a lone 0xFF", Bytes({0xFF}) + Jpeg(jfif, 0xC0, 33, 44), {2, 33, 44, 24}},
        {"fill bytes before a marker",
         Jpeg(Bytes({0xFF, 0xFF, 0xFF}) + jfif + Bytes({0xFF, 0xFF}), 0xC1, 7, 9, 1), {2, 7, 9, 8}},
        {"zero-length segments to the end",
         Bytes({0xFF, 0xD8}) + Bytes({0xFF, 0xE0, 0, 0}).repeated(5000), {0, 0, 0, 0}},
        {"DHT is no frame header", Jpeg(Segment(0xC4, Bytes({0, 1, 2})), 0xC3, 65535, 65535, 4),
         {2, 65535, 65535, 32}},
        {"frame header across the read window",
         Jpeg(Segment(0xFE, window.left(window.size() - 12)), 0xC0, 1024, 768), {2, 1024, 768, 24}},
        {"segment length jumping past two windows",
         Jpeg(Segment(0xE2, window.left(65000)) + Segment(0xE2, window.left(65000)), 0xC0, 9, 8),
         {2, 9, 8, 24}},
        {"PNG width above 65535 keeps the low half", png, {3, 0x2345, 200, 24}},
        {"PCX window not at 0", pcx, {5, 290, 180, 24}},
        {"PCX cut before the plane count", pcx.left(65), {0, 0, 0, 0}},
        {"TIFF BE width as LONG, depth as BYTE",
         Tiff(true, {{256, 4, 70000}, {257, 3, 300}, {258, 1, 8}}), {6, 70000, 300, 8}},
        {"TIFF BE, short signature",
         Tiff(true, {{256, 3, 0x1234}, {257, 3, 2}, {258, 3, 8}}).replace(2, 2, QByteArray("*\0", 2)),
         {6, 0x1234, 2, 8}},
        {"TIFF width of unknown type",
         Tiff(false, {{256, 5, 300}, {257, 3, 300}, {258, 3, 8}}), {0, 0, 0, 0}},
        {"TIFF width 0xFFFFFFFF",
         Tiff(true, {{256, 4, 0xFFFFFFFF}, {257, 3, 30}, {258, 3, 8}}), {0, 0, 0, 0}},
        {"TIFF without depth falls through to an embedded JPEG",
         Tiff(false, {{256, 3, 30}, {257, 3, 30}}) + Jpeg(jfif, 0xC0, 11, 12), {2, 11, 12, 24}},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("probe.bin"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        lumetta::test::WriteAll(path, c.bytes);
        ExpectProbe(path, c.bytes, c.want);
    }
}

// Only a plain file is opened: a FIFO without a writer would block for ever.
TEST(DCImageInfo, FifoIsNotProbed)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    TDCImageInfo info;
    info.ReadImageInfoFromData(Jpeg({}, 0xC0, 5, 5));  // leaves a size behind
    info.ReadImageInfo(fifo);
    EXPECT_EQ(Fields(info), Expected{});
    EXPECT_EQ(info.FileSize, 0);
}

} // namespace
