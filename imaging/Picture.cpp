#include "imaging/Picture.h"

#include "common/Errors.h"
#include "common/Subs.h"
#include "imaging/Decoders.h"
#include "imaging/DecodeWorker.h"

#include <QFile>
#include <QFileInfo>

namespace lumetta {

PictureFormat PictureFormatForName(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return PictureFormat::Jpeg;
    if (suffix == QLatin1String("gif"))
        return PictureFormat::Gif;
    if (suffix == QLatin1String("bmp"))
        return PictureFormat::Bmp;
    if (suffix == QLatin1String("ico"))
        return PictureFormat::Icon;
    return PictureFormat::Unknown;
}

bool WithinPictureLimits(qint64 width, qint64 height)
{
    return width >= 0 && height >= 0 && width <= MaxPictureSide && height <= MaxPictureSide
           && width * height * 4 <= MaxPictureBytes;
}

const PictureDecoder *DecoderFor(PictureFormat format)
{
    static const JpegDecoder jpeg;
    static const GifDecoder gif;
    static const BmpDecoder bmp;
    static const QtReaderDecoder icon("ico");
    switch (format) {
    case PictureFormat::Jpeg:
        return &jpeg;
    case PictureFormat::Gif:
        return &gif;
    case PictureFormat::Bmp:
        return &bmp;
    case PictureFormat::Icon:
        return &icon;
    case PictureFormat::Unknown:
        break;
    }
    return nullptr;
}

DecodedPicture DecodeWithOwnDecoders(PictureFormat format, QByteArrayView data, QSize shownSize)
{
    if (const PictureDecoder *decoder = DecoderFor(format))
        return decoder->decode(data, shownSize);
    DecodedPicture none;
    none.error = QStringLiteral("Unknown picture format");
    return none;
}

DecodedPicture LoadPictureFile(const QString &path, PictureFormat format, QSize shownSize)
{
    DecodedPicture result;
    const PictureDecoder *decoder = DecoderFor(format);
    if (!decoder) {
        result.error = QStringLiteral("Unknown picture file extension (.%1)").arg(QFileInfo(path).suffix());
        return result;
    }
    // A FIFO or a device would block or stream for ever.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        result.error = QStringLiteral("Not a picture file");
        return result;
    }
    // Opened without blocking all the same: the name may have changed hands since.
    QFile file;
    QString reason;
    if (!OpenRegularFile(file, path, reason))
        throw FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    if (file.size() > MaxPictureFileBytes) {
        result.error = QStringLiteral("Picture file too large");
        return result;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Cannot read file \"%1\"").arg(path));
    // Bytes from outside: decoded where a fault costs this picture only.
    return DecodeOutsidePicture(format, data, shownSize);
}

DecodedPicture PreparePicture(const QString &path, QSize shownSize)
{
    return PreparePicture(path, PictureFormatForName(path), shownSize);
}

DecodedPicture PreparePicture(const QString &path, PictureFormat format, QSize shownSize)
{
    DecodedPicture picture = LoadPictureFile(path, format, shownSize);
    if (picture.ok() && shownSize.isValid() && !shownSize.isEmpty() && picture.image.size() != shownSize)
        picture.image = picture.image.scaled(shownSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}

} // namespace lumetta
