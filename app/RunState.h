#pragma once
// What the parts of a run share: how it was started, the program's files
// and lists, the catalogue and the slide show's timers. The main window
// owns it and hands it to the slide show, the image window and the service
// tools; nothing shared lives in a window.
#include "app/RunMode.h"
#include "catalogue/Catalogue.h"
#include "platform/Timer.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace lumetta {


// The slide show's state that the image window and the tools share with it.
struct ShowState {
    int CurrentCam = -1;         // index into CamData of the webcam shown; -1 before the first pick
    bool PlayMode = false;       // the editor's Play button previews one webcam
    bool HoldCurrentCam = false; // no new webcam is picked
    bool FollowCam = false;      // the webcam refreshes faster than the display time
    bool FastCamLatched = false;
    bool CameraTimeUp = false;
    TDateTime CurrentRefresh = 0;
    bool CamAd = false;
    bool CamAdultAd = false;
    bool ShowingAd = false;
    QString AdLink;
    QString AdMessage;
};

struct RunState {
    RunState(const RunMode &mode, TimeSource &time)
        : ScreenSaverMode(mode.screenSaver), ConfigMode(mode.config), AdminMode(mode.admin),
          ViewOnly(mode.viewOnly), SSTimer(time), CameraTimer(time), ClickNowTimer(time)
    {
        SSTimer.setObjectName(QStringLiteral("SSTimer"));
        CameraTimer.setObjectName(QStringLiteral("CameraTimer"));
        ClickNowTimer.setObjectName(QStringLiteral("ClickNowTimer"));
    }

    const bool ScreenSaverMode;
    const bool ConfigMode;
    const bool AdminMode;
    const bool ViewOnly;

    QString AppPath;  // ends with our path separator
    QString DataFileName;
    QString BackupFileName;
    QString SampleImageFile;
    QString VersionString;
    QString ProductPath;
    QString MainListUrl;
    QString AdultListUrl;
    int EnableAA = 0;

    QString Categories;
    QString SelectedCats;
    QStringList SelectedCatList;
    QStringList ImportList;

    Catalogue catalogue;
    ShowState show;

    // The request time limit is the image fetch's own TimeOutTimer.
    Timer SSTimer;
    Timer CameraTimer;
    Timer ClickNowTimer;

    // Set by the download engine: aborts the request in progress.
    std::function<void()> AbortRequest;
    // Set by the slide show: what "Start Slide Show" does.
    std::function<void()> StartSlideShow;
    // Set by the image window: its caption follows the font size while the
    // main window is the active one.
    std::function<void(int pointSize)> CaptionFontSizeChanged;
};

} // namespace lumetta
