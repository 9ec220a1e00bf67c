#include "imaging/Decoders.h"
#include "imaging/Picture.h"
#include "support/TestFiles.h"

#include <QDir>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

QString Data(const QString &name)
{
    return QStringLiteral(LUMETTA_TEST_DATA "/") + name;
}

QByteArray Bytes(const QString &name) { return test::ReadAll(Data(name)); }

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance && qAlpha(a) == qAlpha(b);
}

TEST(Picture, GoodFilesDecodeAtFullSizeWithTheirColours)
{
    const struct {
        const char *file;
        PictureFormat format;
        QSize size;
        QPoint at;  // a pixel whose colour the picture fixes
        QRgb colour;
        int tolerance;
    } cases[] = {
        {"jpeg_baseline_256x192.jpg", PictureFormat::Jpeg, {256, 192}, {185, 70}, qRgb(255, 255, 255), 12},
        {"jpeg_grey_40x30.jpg", PictureFormat::Jpeg, {40, 30}, {20, 0}, qRgb(255, 255, 255), 12},
        // Adobe's inverted CMYK
        {"jpeg_cmyk_40x30.jpg", PictureFormat::Jpeg, {40, 30}, {20, 15}, qRgb(200, 40, 40), 12},
        // the probe accepts a text line before the image, so the decoder does
        {"jpeg_after_text_header_120x90.jpg", PictureFormat::Jpeg, {120, 90}, {0, 0}, qRgb(85, 170, 85), 8},
        {"gif89a_320x240_256_colour_table.gif", PictureFormat::Gif, {320, 240}, {0, 0}, qRgb(1, 4, 255), 0},
        {"gif_three_frames_64x48.gif", PictureFormat::Gif, {64, 48}, {32, 24}, qRgb(255, 0, 0), 0},
        // rows in interlace order: the last row must be the blue end
        {"gif_interlaced_64x48.gif", PictureFormat::Gif, {64, 48}, {0, 47}, qRgb(0, 0, 255), 12},
        {"gif_transparent_left_half_64x48.gif", PictureFormat::Gif, {64, 48}, {10, 10}, qRgb(255, 255, 0), 0},
        {"gif_transparent_left_half_64x48.gif", PictureFormat::Gif, {64, 48}, {50, 10}, qRgba(0, 0, 0, 0), 0},
        {"bmp_24bit_32x24.bmp", PictureFormat::Bmp, {32, 24}, {0, 0}, qRgb(255, 128, 0), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const DecodedPicture p = DecoderFor(c.format)->decode(Bytes(QStringLiteral("ok/") + c.file), {});
        ASSERT_TRUE(p.ok()) << p.error.toStdString();
        EXPECT_EQ(p.image.size(), c.size);
        EXPECT_EQ(p.fullSize, c.size);
        const QRgb got = p.image.pixel(c.at);
        EXPECT_TRUE(Near(got, c.colour, c.tolerance)) << std::hex << got << " expected " << c.colour;
    }
}

// Every trap file is an invalid graphic for the decoder its name chooses,
// and none crashes or hangs.
TEST(Picture, EveryTrapFileIsAnInvalidGraphic)
{
    const QDir dir(Data(QStringLiteral("fail")));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        const DecodedPicture p = LoadPictureFile(dir.filePath(name), PictureFormatForName(name));
        EXPECT_FALSE(p.ok()) << name.toStdString();
        EXPECT_FALSE(p.error.isEmpty()) << name.toStdString();
    }
}

TEST(Picture, SizeLimitsAndScaleChoice)
{
    EXPECT_TRUE(WithinPictureLimits(16384, 4096));   // 256 MB exactly
    EXPECT_FALSE(WithinPictureLimits(16384, 4097));
    EXPECT_FALSE(WithinPictureLimits(16385, 1));
    EXPECT_FALSE(WithinPictureLimits(1, 16385));

    struct Case { QSize full, shown; int denominator; } cases[] = {
        {{3840, 2160}, {1920, 1080}, 2},
        {{3840, 2160}, {1921, 1080}, 1},  // more than half: full size
        {{256, 192}, {64, 48}, 4},
        {{256, 192}, {1, 1}, 8},
        {{255, 191}, {128, 96}, 2},       // libjpeg rounds the halves up
        {{256, 192}, {}, 1},              // size unknown: full size
    };
    for (const Case &c : cases)
        EXPECT_EQ(JpegScaleDenominator(c.full, c.shown), c.denominator)
            << c.full.width() << "x" << c.full.height() << " shown " << c.shown.width();
}

// libjpeg scales while it decodes: a quarter comes out at a quarter.
TEST(Picture, DctScaledJpegComesAtTheShownSize)
{
    const DecodedPicture quarter = JpegDecoder().decode(Bytes("ok/jpeg_baseline_256x192.jpg"), QSize(64, 48));
    ASSERT_TRUE(quarter.ok());
    EXPECT_EQ(quarter.image.size(), QSize(64, 48));
    EXPECT_EQ(quarter.fullSize, QSize(256, 192));
}

TEST(Picture, PreparedPictureHasExactlyTheShownSize)
{
    const DecodedPicture p = PreparePicture(Data("ok/gif_three_frames_64x48.gif"), QSize(200, 100));
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.image.size(), QSize(200, 100));
    EXPECT_EQ(p.fullSize, QSize(64, 48));
    EXPECT_FALSE(PreparePicture(Data("ok/png_rgb_type2_300x200.png"), QSize(30, 20)).ok())
        << "no decoder for the extension";
}

} // namespace
