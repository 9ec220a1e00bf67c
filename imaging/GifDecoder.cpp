#include "imaging/Decoders.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <vector>

namespace lumetta {

namespace {

struct GifInput {
    const char *data;
    qsizetype size;
    qsizetype pos = 0;
};

extern "C" int ReadGifBytes(GifFileType *gif, GifByteType *buffer, int length)
{
    auto *in = static_cast<GifInput *>(gif->UserData);
    const qsizetype n = std::min<qsizetype>(length, in->size - in->pos);
    if (n <= 0)
        return 0;
    std::memcpy(buffer, in->data + in->pos, size_t(n));
    in->pos += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

DecodedPicture Invalid(const QString &why, QSize fullSize = {})
{
    DecodedPicture result;
    result.error = why;
    result.fullSize = fullSize;
    return result;
}

DecodedPicture Invalid(int gifError, QSize fullSize = {})
{
    const char *text = GifErrorString(gifError);
    return Invalid(text ? QString::fromLatin1(text) : QStringLiteral("Damaged GIF"), fullSize);
}

// The first image, placed on the logical screen; what it leaves uncovered
// and its transparent pixels stay transparent.
DecodedPicture DecodeImage(GifFileType *gif, int transparent)
{
    const GifImageDesc &desc = gif->Image;
    const qint64 left = desc.Left, top = desc.Top, width = desc.Width, height = desc.Height;
    // A screen of 0 × 0 takes the image's own extent.
    const qint64 screenW = gif->SWidth > 0 ? gif->SWidth : left + width;
    const qint64 screenH = gif->SHeight > 0 ? gif->SHeight : top + height;
    const QSize screen(int(std::min<qint64>(screenW, INT_MAX)), int(std::min<qint64>(screenH, INT_MAX)));
    if (width <= 0 || height <= 0)
        return Invalid(QStringLiteral("GIF image without pixels"), screen);
    if (!WithinPictureLimits(screenW, screenH) || !WithinPictureLimits(width, height))
        return Invalid(QStringLiteral("Picture too large"), screen);
    const ColorMapObject *map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map || !map->Colors)
        return Invalid(QStringLiteral("GIF without a colour table"), screen);

    QImage canvas(screen, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return Invalid(QStringLiteral("Out of memory for the picture"), screen);
    canvas.fill(Qt::transparent);

    // Interlaced rows arrive in four passes.
    static constexpr int Start[] = {0, 4, 2, 1};
    static constexpr int Step[] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    std::vector<GifPixelType> line(static_cast<size_t>(width));
    for (int pass = 0; pass < passes; ++pass) {
        const int first = desc.Interlace ? Start[pass] : 0;
        const int step = desc.Interlace ? Step[pass] : 1;
        for (qint64 y = first; y < height; y += step) {
            if (DGifGetLine(gif, line.data(), int(width)) == GIF_ERROR)
                return Invalid(gif->Error, screen);
            const qint64 row = top + y;
            if (row >= screenH)
                continue;
            auto *out = reinterpret_cast<QRgb *>(canvas.scanLine(int(row)));
            for (qint64 x = 0; x < width && left + x < screenW; ++x) {
                const int index = line[size_t(x)];
                if (index == transparent)
                    continue;
                // An index past the table is black, not a read past it.
                if (index >= map->ColorCount) {
                    out[left + x] = qRgb(0, 0, 0);
                    continue;
                }
                const GifColorType &c = map->Colors[index];
                out[left + x] = qRgb(c.Red, c.Green, c.Blue);
            }
        }
    }
    DecodedPicture result;
    result.image = std::move(canvas);
    result.fullSize = screen;
    return result;
}

} // namespace

DecodedPicture GifDecoder::decode(QByteArrayView data, QSize) const
{
    GifInput input{data.data(), data.size()};
    int error = 0;
    const GifHandle gif(DGifOpen(&input, ReadGifBytes, &error));
    if (!gif)
        return Invalid(error);
    const QSize screen(gif->SWidth, gif->SHeight);
    if (!WithinPictureLimits(gif->SWidth, gif->SHeight))
        return Invalid(QStringLiteral("Picture too large"), screen);

    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            return Invalid(gif->Error, screen);
        switch (type) {
        case IMAGE_DESC_RECORD_TYPE:
            if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
                return Invalid(gif->Error, screen);
            return DecodeImage(gif.get(), transparent);
        case EXTENSION_RECORD_TYPE: {
            int code = 0;
            GifByteType *block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                return Invalid(gif->Error, screen);
            GraphicsControlBlock control;
            if (code == GRAPHICS_EXT_FUNC_CODE && block
                && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                transparent = control.TransparentColor;
            while (block)
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                    return Invalid(gif->Error, screen);
            break;
        }
        case TERMINATE_RECORD_TYPE:
            return Invalid(QStringLiteral("GIF without an image"), screen);
        default:
            return Invalid(D_GIF_ERR_WRONG_RECORD, screen);
        }
    }
}

} // namespace lumetta
