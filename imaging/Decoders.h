#pragma once
// The decoders behind PictureDecoder, one per format.
#include "imaging/Picture.h"

namespace lumetta {

// Baseline and progressive JPEG through libjpeg.
class JpegDecoder final : public PictureDecoder {
public:
    [[nodiscard]] DecodedPicture decode(QByteArrayView data, QSize shownSize) const override;
};

// The first image of a GIF through giflib.
class GifDecoder final : public PictureDecoder {
public:
    [[nodiscard]] DecodedPicture decode(QByteArrayView data, QSize shownSize) const override;
};

// Icons through Qt's reader.
class QtReaderDecoder : public PictureDecoder {
public:
    explicit QtReaderDecoder(const char *format) : m_format(format) {}
    [[nodiscard]] DecodedPicture decode(QByteArrayView data, QSize shownSize) const override;

private:
    const char *m_format;
};

// Windows bitmaps through Qt's reader, which would paint the rows a cut
// file lacks; such a file is refused first.
class BmpDecoder final : public QtReaderDecoder {
public:
    BmpDecoder() : QtReaderDecoder("bmp") {}
    [[nodiscard]] DecodedPicture decode(QByteArrayView data, QSize shownSize) const override;
};

// libjpeg decodes straight to 1/n of the full size, n = 1, 2, 4 or 8: the
// largest n whose result still covers shownSize.
int JpegScaleDenominator(QSize fullSize, QSize shownSize);

} // namespace lumetta
