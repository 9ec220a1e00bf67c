#include "imaging/Decoders.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <cstdlib>
#include <limits>

namespace lumetta {

namespace {

// Uncompressed rows have a fixed length, so the file's size tells whether
// every row is there. Compressed and unreadable headers are left to Qt.
bool BmpRowsComplete(QByteArrayView data)
{
    const auto *b = reinterpret_cast<const uchar *>(data.data());
    if (data.size() < 30)
        return true;
    const quint32 pixelsAt = qFromLittleEndian<quint32>(b + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(b + 14);
    qint64 width = 0, height = 0, bits = 0, compression = 0;
    if (headerSize == 12) {  // OS/2 core header
        width = qFromLittleEndian<quint16>(b + 18);
        height = qFromLittleEndian<quint16>(b + 20);
        bits = qFromLittleEndian<quint16>(b + 24);
    } else if (headerSize >= 40 && data.size() >= 34) {
        width = qFromLittleEndian<qint32>(b + 18);
        height = std::abs(qint64(qFromLittleEndian<qint32>(b + 22)));
        bits = qFromLittleEndian<quint16>(b + 28);
        compression = qFromLittleEndian<quint32>(b + 30);
    } else {
        return true;
    }
    const bool plainRows = compression == 0 || compression == 3 || compression == 6;
    if (!plainRows || width <= 0 || !WithinPictureLimits(width, height))
        return true;
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return qint64(pixelsAt) + stride * height <= data.size();
}

} // namespace

DecodedPicture QtReaderDecoder::decode(QByteArrayView data, QSize) const
{
    DecodedPicture result;
    QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, m_format);
    // Only this format's reader: the extension chose it.
    reader.setAutoDetectImageFormat(false);
    QSize size = reader.size();
    // Qt reports a bitmap stored top-down with its negative height; it
    // reads the rows the right way up.
    if (size.height() < 0 && size.height() != std::numeric_limits<int>::min())
        size.setHeight(-size.height());
    result.fullSize = size;
    if (!size.isValid() || size.isEmpty()) {
        result.error = QStringLiteral("Invalid graphic format");
        return result;
    }
    if (!WithinPictureLimits(size.width(), size.height())) {
        result.error = QStringLiteral("Picture too large");
        return result;
    }
    if (!reader.read(&result.image)) {
        result.image = QImage();
        result.error = reader.errorString();
    }
    return result;
}

} // namespace lumetta

namespace lumetta {

DecodedPicture BmpDecoder::decode(QByteArrayView data, QSize shownSize) const
{
    if (!BmpRowsComplete(data)) {
        DecodedPicture result;
        result.error = QStringLiteral("Bitmap cut short");
        return result;
    }
    return QtReaderDecoder::decode(data, shownSize);
}

} // namespace lumetta
