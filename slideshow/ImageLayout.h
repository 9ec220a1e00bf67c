#pragma once
// Where a picture goes on screen and how large: the user's size rules, the
// PAL/NTSC frame correction, the caption and the advertisement labels.
// Pure arithmetic on sizes, so every rule is tested without a window.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace lumetta {

struct SizeRules {
    int ssImageSize = 0;             // 0 percentage of screen size, 1 of actual size
    int imageSizePercent = 100;      // of the screen
    int timesActualSizePercent = 100;
    bool doNotShrinkImages = false;  // percentage of screen never below the picture's size
    bool shrinkToScreen = true;      // "Shrink large images to fit screen"
    bool adjustForPAL = true;
};

struct ImageLayout {
    bool shown = false;  // false: below 2 × 2, the screen stays as it is
    QSize frame;         // the picture's size after the PAL/NTSC correction
    QSize client;        // the window's client area the panel sits in
    QRect panel;         // the displayed picture, in client coordinates
};

// 11 : 9 (352 × 288) and 22 : 15 (352 × 240) frames become 4 : 3.
QSize CorrectFrameShape(QSize image);

// image: the picture's size; monitor: the screen that shows it; client:
// the maximised window's client area. A Play preview gets a window of
// the picture's own size instead, placed at 0, 0.
ImageLayout LayoutImage(QSize image, QSize monitor, QSize client, const SizeRules &rules,
                        bool playMode);

// The device pixels a panel of this logical size covers on a screen of this
// ratio (HiDPI): the picture is decoded and scaled for them, so it is as
// sharp as the text beside it. An unknown ratio (0 or less) counts as 1.
QSize DevicePixelSize(QSize logical, double ratio);

// The caption label's top-left on the window (in monitor terms) and the
// same spot relative to the panel, for its twin inside the panel.
struct CaptionPlace {
    QPoint onWindow;
    QPoint onPanel;
};
CaptionPlace PlaceCaption(QSize monitor, QSize caption, bool atTop, QPoint panelTopLeft);

// The advertisement labels inside a panel: the four "Click Now" corners,
// the link centred at the top and the message centred at the bottom.
struct AdPlaces {
    QRect clickNow[4];  // top-left, bottom-left, top-right, bottom-right
    QPoint adUrl;
    QPoint adMsg;
};
inline constexpr QSize ClickNowSize{75, 20};
AdPlaces PlaceAdLabels(QSize panel, QSize adUrl, QSize adMsg);

} // namespace lumetta
