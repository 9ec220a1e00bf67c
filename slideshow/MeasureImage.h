#pragma once
// The first steps of showing a picture: is it there, what is it, how
// large. A GIF stored under another name is moved to a ".gif" name first,
// because the decoder is chosen by the name.
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace lumetta {

struct MeasuredImage {
    QString file;  // where the picture is now; changed for a moved GIF
    QSize size;    // may be below 2 × 2: such a picture is never shown
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
