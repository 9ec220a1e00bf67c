#pragma once
// The administrator's "Show Last Ad": the stored advertisement image and
// its link, as the store keeps them.
#include <QString>

namespace lumetta {

struct LastAd {
    QString imageFile;  // "X-LastImage" as stored
    QString link;       // plain when found, else "Xau" as stored
    bool found = false; // the image file exists and there is a link
};

// storedLink: "Xau", kept shifted in the store.
LastAd FindLastAd(const QString &storedImage, const QString &storedLink);

} // namespace lumetta
