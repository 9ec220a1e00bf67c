#pragma once
// Turns a picture file into an image the window can stretch. Each format
// has one decoder behind PictureDecoder; the file name's extension chooses
// it, as the display rules want. A file a decoder cannot read is an
// "invalid graphic": the result carries the reason, nothing is raised.
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

namespace lumetta {

enum class PictureFormat { Unknown, Jpeg, Gif, Bmp, Icon };

// jpg and jpeg, gif, bmp, ico; anything else is Unknown.
PictureFormat PictureFormatForName(const QString &fileName);

// Pictures beyond these are refused before decoding: no webcam sends
// them, and a few bytes could otherwise claim gigabytes.
inline constexpr int MaxPictureSide = 16384;
inline constexpr qint64 MaxPictureBytes = qint64(256) << 20;  // 32-bit pixels
inline constexpr qint64 MaxPictureFileBytes = qint64(256) << 20;
bool WithinPictureLimits(qint64 width, qint64 height);

struct DecodedPicture {
    QImage image;    // null when invalid
    QSize fullSize;  // the picture's own size, even when decoded smaller
    QString error;   // why the file is an invalid graphic

    bool ok() const { return !image.isNull(); }
};

class PictureDecoder {
public:
    virtual ~PictureDecoder() = default;
    // shownSize, when valid, is the size the picture will be shown at; a
    // decoder may return an image smaller than fullSize but never smaller
    // than shownSize.
    [[nodiscard]] virtual DecodedPicture decode(QByteArrayView data, QSize shownSize) const = 0;
};

// nullptr for Unknown.
const PictureDecoder *DecoderFor(PictureFormat format);
// The program's decoders, as DecoderFor gives them, in this process.
DecodedPicture DecodeWithOwnDecoders(PictureFormat format, QByteArrayView data, QSize shownSize);

// Reads and decodes a file. An unreadable file raises FileError; an
// unknown extension or a file the decoder rejects is an invalid graphic.
[[nodiscard]] DecodedPicture LoadPictureFile(const QString &path, PictureFormat format,
                                             QSize shownSize = {});

// Decodes and scales once, smoothly, to exactly shownSize: what the window
// paints, unscaled, on every repaint.
[[nodiscard]] DecodedPicture PreparePicture(const QString &path, QSize shownSize);
// The same with the decoder named: a GIF stored under another name.
[[nodiscard]] DecodedPicture PreparePicture(const QString &path, PictureFormat format, QSize shownSize);

} // namespace lumetta
