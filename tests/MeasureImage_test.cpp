#include "slideshow/MeasureImage.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

QString Data(const char *name)
{
    return QStringLiteral(LUMETTA_TEST_DATA "/") + QString::fromLatin1(name);
}

class MeasureImage : public ::testing::Test {
protected:
    // A copy of a data file in the temporary folder, under a new name.
    QString place(const char *data, const QString &name)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(QFile::copy(Data(data), path));
        return path;
    }
    std::optional<MeasuredImage> measure(const QString &path)
    {
        return MeasureImageFile(path, [this](const QString &step) { steps << step; });
    }
    QTemporaryDir dir;
    QStringList steps;
};

// A GIF under a JPEG name is decoded as a GIF where it lies: another
// window may be reading the file, so it never moves.
TEST_F(MeasureImage, GifUnderAnotherNameStaysWhereItIs)
{
    const QString path = place("ok/gif_named_as_jpeg_64x48.jpg", "cam.jpg");
    const auto measured = measure(path);
    ASSERT_TRUE(measured);
    EXPECT_EQ(measured->file, path);
    EXPECT_EQ(measured->format, PictureFormat::Gif);
    EXPECT_EQ(measured->size, QSize(64, 48));
    EXPECT_TRUE(PreparePicture(path, measured->format, QSize(32, 24)).ok());
    EXPECT_FALSE(QFile::exists(path + ".gif"));
    EXPECT_EQ(steps, QStringList{"10 - get image info"});
}

// The header probe knows no arithmetic-coded JPEG (SOF9): the file is
// measured by decoding it, and a damaged one is not shown at all.
TEST_F(MeasureImage, HeaderWithoutSizeIsMeasuredByLoading)
{
    struct Case { const char *data; const char *name; std::optional<QSize> size; } cases[] = {
        {"ok/jpeg_arithmetic_sof9_48x32.jpg", "a.jpg", QSize(48, 32)},
        {"fail/jpeg_arithmetic_cut_in_scan_data.jpg", "b.jpg", std::nullopt},
        {"ok/jpeg_arithmetic_sof9_48x32.jpg", "c.jpeg", QSize(0, 0)},  // only "jpg" is measured
    };
    for (const Case &c : cases) {
        const auto measured = measure(place(c.data, c.name));
        EXPECT_EQ(measured ? measured->size : QSize(), c.size.value_or(QSize())) << c.name << ": none is QSize()";
    }
    EXPECT_FALSE(measure(dir.filePath("missing.jpg")));
}

} // namespace
