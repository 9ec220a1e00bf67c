#pragma once
// What the show that fetches has on screen, for the view-only copies that
// a screen-saver daemon starts beside it, one per monitor: they show the
// same picture with the same labels, and wait on black until there is one.
// Kept in the user's runtime folder, rewritten with each picture.
#include "common/DateTime.h"
#include "slideshow/ShowDisplay.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace lumetta {

struct Showing {
    QString file;  // the picture, in the download folder
    QString caption;
    QString webcamNumber;
    TDateTime pictureTime = 0, interval = 0;
    bool operator==(const Showing &) const = default;
};

// "Lumetta_SHOWING" in the runtime folder.
QString ShowingFilePath();
QByteArray FormatShowing(const Showing &showing);
// None when the text is garbled or names a picture outside downloadDir:
// a copy shows only its own pictures.
[[nodiscard]] std::optional<Showing> ParseShowing(const QByteArray &text, const QString &downloadDir);
// None when there is no file (nothing shown yet), or it is not ours.
[[nodiscard]] std::optional<Showing> ReadShowing(const QString &path, const QString &downloadDir);

// Passes everything on to the display and writes what is shown to path
// with each picture (a failed write costs the copies one picture).
class PublishingDisplay : public ShowDisplay {
public:
    PublishingDisplay(ShowDisplay &display, QString path) : m_display(display), m_path(std::move(path)) {}

    QString DisplayImage(const QString &file) override;
    void clearAdLabels() override { m_display.clearAdLabels(); }
    void setAdText(const QString &message, const QString &link) override { m_display.setAdText(message, link); }
    int shownPictureHeight() const override { return m_display.shownPictureHeight(); }
    void setCountdownColour(const QColor &colour) override { m_display.setCountdownColour(colour); }
    void resetCountdown() override { m_display.resetCountdown(); }
    void setMode(const QString &letter, const QColor &colour) override { m_display.setMode(letter, colour); }
    void setWebcamNumber(const QString &text) override;
    void setBackground(const QColor &colour) override { m_display.setBackground(colour); }
    void setCaption(const QString &text) override;
    void hideDisplay() override { m_display.hideDisplay(); }
    void setCaptionPointSize(int points) override { m_display.setCaptionPointSize(points); }
    void setPictureTime(TDateTime pictureTime, TDateTime interval) override;
    void showNoPicture(const QString &line) override { m_display.showNoPicture(line); }
    void beginTick() override { m_display.beginTick(); }

private:
    void publish();

    ShowDisplay &m_display;
    QString m_path;
    Showing m_showing;
    Showing m_published;
};

} // namespace lumetta
