#pragma once
// The first steps of showing a picture: is it there, what is it, how
// large. A GIF stored under another name is decoded as the GIF it is; the
// file is never moved, as another window may be reading it.
#include "imaging/Picture.h"

#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace lumetta {

struct MeasuredImage {
    QString file;
    QSize size;    // may be below 2 × 2: such a picture is never shown
    PictureFormat format = PictureFormat::Unknown;  // the decoder: the header's GIF, else the name's
};

// nullopt: the file does not exist, or measuring it by decoding failed;
// nothing changes on screen. log receives the debug-log steps.
[[nodiscard]] std::optional<MeasuredImage> MeasureImageFile(
    const QString &path, const std::function<void(const QString &)> &log);

// Measures by decoding, for pictures whose header gives no size. The last
// three letters of the name choose the decoder (jpg, gif, bmp); any other
// ending gives 0 × 0. nullopt when the decoder rejects the file.
[[nodiscard]] std::optional<QSize> GetImageSizeByLoading(const QString &path);

} // namespace lumetta
