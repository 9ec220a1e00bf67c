#pragma once
// The options the image window reads, taken from the main window's
// controls at the moment it needs them.
#include "slideshow/ImageLayout.h"

#include <QColor>
#include <QRect>

namespace lumetta {

struct DisplaySettings {
    SizeRules size;
    bool showCaption = true;
    bool showPictureAge = false;
    bool differentPerMonitor = false;    // each monitor in turn takes the next webcam
    bool transparentCaption = false;
    bool captionPositionAtTop = false;
    QColor captionColor = Qt::red;
    QColor captionBackground = Qt::black;
    int captionFontSize = 28;            // points
    bool showAdsOnly = false;            // no beep for "Show Last Ad"
    bool disableMouseMoveDetect = false;
    bool swToOneCamOnMouseMove = false;
    bool showCountdown = false;          // "Show countdown", administration runs
    bool debugMode = false;
    QRect monitor;                       // the screen the main window is on; empty: the primary one
};

} // namespace lumetta
