#pragma once
// What the image window lays over the picture, each with its own timer:
// the status strip (the countdown's seconds, the mode letter, the webcam's
// number, the picture's age) and the advertisement (its message, its link
// and the four "Click Now" corners that blink).
#include "common/DateTime.h"
#include "platform/Timer.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QSize>
#include <functional>

class QLabel;
class QWidget;

namespace lumetta {

class Clock;
class RaisedLabel;

// The window's label styles, kept where every overlay reaches them.
QFont BoldFont(const char *family, int pixelSize);
void SetTextColour(QWidget *w, const QColor &colour);
void SetBackgroundColour(QWidget *w, const QColor &colour);
void SetPointSize(QWidget *w, int points);

class StatusOverlay : public QObject {
public:
    // showAge: the user's option, read when the badge is drawn; clock: "now"
    // for the picture's age.
    StatusOverlay(QWidget *panel, TimeSource &time, const Clock &clock, std::function<bool()> showAge);

    // The countdown, the mode letter and the webcam's number.
    void setCountdownShown(bool shown);
    void setCountdownColour(const QColor &colour);
    void resetCountdown() { m_seconds = 0; }
    int countdownSeconds() const { return m_seconds; }
    void setMode(const QString &letter, const QColor &colour);
    void setWebcamNumber(const QString &text);
    // When the picture shown was new, and the webcam's learned interval; 0: unknown.
    void setPictureTime(TDateTime pictureTime, TDateTime interval);

private:
    void tick();
    void updateAgeBadge();

    RaisedLabel *m_countdown;
    RaisedLabel *m_mode;
    RaisedLabel *m_webcam;
    RaisedLabel *m_age;
    Timer m_timer;  // "CoundownTimer"
    const Clock &m_clock;
    std::function<bool()> m_showAge;
    int m_seconds = 0;
    TDateTime m_pictureTime = 0;
    TDateTime m_interval = 0;
};

class AdOverlay : public QObject {
public:
    AdOverlay(QWidget *panel, TimeSource &time);

    void clear();
    // The message, and "Visit " with the link without its scheme.
    void setText(const QString &message, const QString &link);
    // Placed in a panel of that size and blinking, or hidden.
    void layout(QSize panel, bool shown);

private:
    void setBlinking(bool on);
    void blink();

    QLabel *m_message;  // "AdMsg"
    QLabel *m_link;     // "AdUrl"
    RaisedLabel *m_clickNow[4] = {};
    Timer m_timer;  // "ClickNowTimer"
};

} // namespace lumetta
