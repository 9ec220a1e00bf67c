#include "service/AdOptions.h"

#include "platform/Registry.h"

#include <QFileInfo>

namespace lumetta {

LastAd FindLastAd(const QString &storedImage, const QString &storedLink)
{
    LastAd ad;
    ad.imageFile = storedImage;
    ad.link = storedLink;
    ad.found = !storedImage.isEmpty() && QFileInfo(storedImage).isFile() && !storedLink.isEmpty();
    if (ad.found)
        ad.link = ShiftChars(storedLink, -StoredTextShift);
    return ad;
}

} // namespace lumetta
