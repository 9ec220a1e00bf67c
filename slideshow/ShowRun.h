#pragma once
// The slide show's part of a run: what the show, the image window and the
// main window share of it. The run's state in app/ holds it, so nothing
// here needs to know the app.
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueSaver.h"
#include "platform/Timer.h"

#include <QString>

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

struct ShowRun {
    ShowRun(bool screenSaver, bool admin, TimeSource &time)
        : ScreenSaverMode(screenSaver), AdminMode(admin),
          saver(time, [this] { return DataFileName; }, [this] { return catalogue.CamData(); }), SSTimer(time),
          CameraTimer(time)
    {
        SSTimer.setObjectName(QStringLiteral("SSTimer"));
        CameraTimer.setObjectName(QStringLiteral("CameraTimer"));
    }

    const bool ScreenSaverMode;
    const bool AdminMode;

    QString AppPath;  // ends with our path separator
    QString DataFileName;

    Catalogue catalogue;
    // Every write of DataFileName goes through it: never two at once.
    CatalogueSaver saver;

    // Written by the slide show alone; the windows and pages ask it.
    const QString &sampleImageFile() const { return SampleImageFile; }
    const ShowState &state() const { return show; }

    // The request time limit is the image fetch's own TimeOutTimer.
    Timer SSTimer;
    Timer CameraTimer;

private:
    friend class SlideShow;
    friend struct ShowStateArranger;  // tests set a show's state without running one
    QString SampleImageFile;  // the picture to show next
    ShowState show;
};

} // namespace lumetta
