#pragma once
// What the full-screen image window does with input: which mouse movement
// ends a screen saver or toggles the hold on one webcam, which keys end
// the show, and where a screen-saver daemon wants the picture drawn.
#include "common/DateTime.h"

#include <QColor>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

namespace lumetta {

struct MouseMoveContext {
    QString firstArgument;           // "ss" in any case: movement never counts
    bool screenSaverMode = false;
    bool detectionDisabled = false;  // "Disable MouseMove detection for screensaver"
    bool armed = false;              // 5 s after creation and after each toggle
    bool toggleMode = false;         // "MouseMove toggles between slideshow/current cam"
    bool adShown = false;            // ShowingAd, CamAd or CamAdultAd
};

enum class MouseMoveAction {
    None,         // not watched, or not far enough: the recorded position stays
    Record,       // the first movement only records where the mouse is
    ToggleHold,   // hold or release the current webcam, disarm for 5 s
    KeepAdShown,  // the advertised picture stays a minute, the show goes on
    End,          // the screen saver ends
};

// last is the recorded position, (-1, -1) when there is none. Every action
// but None records the new position.
MouseMoveAction DecideMouseMove(const MouseMoveContext &context, QPoint last, QPoint now);

inline const QPoint NoMousePosition(-1, -1);

// The picture's age against the webcam's learned interval: fresh within
// two intervals, late within ten, stale beyond. An interval under a minute
// counts as a minute, so a fast webcam is not stale for one slow answer.
enum class PictureAge { Fresh, Late, Stale };
struct AgeBadge {
    QString text;  // "now", "2 min", "3 h", "5 d"
    PictureAge age = PictureAge::Fresh;
};
AgeBadge PictureAgeBadge(TDateTime age, TDateTime interval);
QColor PictureAgeColour(PictureAge age);

// Alt, alone or with another key but without Shift or Ctrl.
bool KeyTogglesHold(int key, Qt::KeyboardModifiers modifiers);
// A key that types a character; Alt with a key types none.
bool KeyEndsShow(const QString &text, Qt::KeyboardModifiers modifiers);

// AdUrl's text: "Visit " and the link without its "http://" or "https://"
// (any case); a link with another scheme or none is shown whole.
QString AdLinkText(const QString &link);

// The window a screen-saver daemon gives the picture: "-window-id ID"
// anywhere on the command line, else $XSCREENSAVER_WINDOW. IDs are decimal
// or hexadecimal with "0x".
std::optional<quintptr> EmbedWindowId(const QStringList &arguments, const QString &environment);

} // namespace lumetta
