#include "slideshow/MeasureImage.h"

#include "common/Errors.h"
#include "imaging/Picture.h"
#include "imaging/DCImageInfo.h"

#include <QFileInfo>

namespace lumetta {

std::optional<QSize> GetImageSizeByLoading(const QString &path)
{
    const QString ending = path.right(3).toLower();
    PictureFormat format = PictureFormat::Unknown;
    if (ending == QLatin1String("jpg"))
        format = PictureFormat::Jpeg;
    else if (ending == QLatin1String("gif"))
        format = PictureFormat::Gif;
    else if (ending == QLatin1String("bmp"))
        format = PictureFormat::Bmp;
    else
        return QSize(0, 0);
    try {
        // Decoding at the smallest size still reads every byte; a JPEG then
        // costs an eighth of the work.
        const DecodedPicture picture = LoadPictureFile(path, format, QSize(1, 1));
        if (!picture.ok())
            return std::nullopt;
        return picture.fullSize;
    } catch (const Error &) {
        return std::nullopt;
    }
}

std::optional<MeasuredImage> MeasureImageFile(const QString &path,
                                              const std::function<void(const QString &)> &log)
{
    if (!QFileInfo::exists(path))
        return std::nullopt;
    log(QStringLiteral("10 - get image info"));
    TDCImageInfo info;
    info.ReadImageInfo(path);
    MeasuredImage measured{path, QSize(info.Width, info.Height), PictureFormatForName(path)};

    if (info.ImageType == TDCImageInfo::Gif)
        measured.format = PictureFormat::Gif;
    if (measured.size.width() == 0 || measured.size.height() == 0) {
        const std::optional<QSize> loaded = GetImageSizeByLoading(measured.file);
        if (!loaded)
            return std::nullopt;
        measured.size = *loaded;
    }
    return measured;
}

} // namespace lumetta
