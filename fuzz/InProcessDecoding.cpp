// The fuzz targets decode in their own process, where the sanitizers see a
// fault; the program hands the same bytes to its sandboxed worker.
#include "imaging/DecodeWorker.h"

namespace lumetta {

DecodedPicture DecodeOutsidePicture(PictureFormat format, QByteArrayView data, QSize shownSize)
{
    return DecodeWithOwnDecoders(format, data, shownSize);
}

} // namespace lumetta
