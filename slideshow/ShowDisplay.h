#pragma once
// What the slide show asks of the full-screen image window. The sequencer
// talks to this interface only, so its tests run without a window.
#include "common/DateTime.h"

#include <QColor>
#include <QString>

namespace lumetta {

class ShowDisplay {
public:
    virtual ~ShowDisplay() = default;

    // Shows the picture in the file laid out by the user's rules; gives the
    // file's name afterwards (the same: the file is never moved).
    virtual QString DisplayImage(const QString &file) = 0;

    // AdMsg and AdUrl get empty captions.
    virtual void clearAdLabels() = 0;
    // AdMsg shows the message, AdUrl "Visit " and the link without its
    // scheme (AdLinkText).
    virtual void setAdText(const QString &message, const QString &link) = 0;
    // Height in pixels of the picture on screen; 0 when none is shown.
    virtual int shownPictureHeight() const = 0;
    // lblCountdown's colour, and its seconds counter back to 0.
    virtual void setCountdownColour(const QColor &colour) = 0;
    virtual void resetCountdown() = 0;
    // lblMode: "N", "R" or "F" in its colour.
    virtual void setMode(const QString &letter, const QColor &colour) = 0;
    // lblWebcam: the number of the webcam being fetched.
    virtual void setWebcamNumber(const QString &text) = 0;
    virtual void setBackground(const QColor &colour) = 0;
    // The window's title and ImageCaption's text.
    virtual void setCaption(const QString &text) = 0;
    // The editor's Stop hides the window.
    virtual void hideDisplay() = 0;
    // The caption follows the font size chosen in the main window.
    virtual void setCaptionPointSize(int) {}
    // When the picture shown was new, and the webcam's learned interval:
    // the picture's age badge. 0: unknown.
    virtual void setPictureTime(TDateTime, TDateTime) {}
    // A screen saver with no picture yet: its window all the same, black,
    // with this line, so that a key or the mouse can end it.
    virtual void showNoPicture(const QString &) {}
    // A tick begins: with a webcam for each monitor, the next monitor's turn.
    virtual void beginTick() {}
};

// Shows nothing: the slide show runs on it until an image window is given,
// and tests build on it.
class NullShowDisplay : public ShowDisplay {
public:
    QString DisplayImage(const QString &file) override { return file; }
    void clearAdLabels() override {}
    void setAdText(const QString &, const QString &) override {}
    int shownPictureHeight() const override { return 0; }
    void setCountdownColour(const QColor &) override {}
    void resetCountdown() override {}
    void setMode(const QString &, const QColor &) override {}
    void setWebcamNumber(const QString &) override {}
    void setBackground(const QColor &) override {}
    void setCaption(const QString &) override {}
    void hideDisplay() override {}
};

} // namespace lumetta
