#pragma once
// What the parts of a run share: how it was started, the program's files
// and lists, and the slide show's part. The main window owns it and hands
// it to the slide show, the image window and the service tools; nothing
// shared lives in a window.
#include "app/RunMode.h"
#include "slideshow/ShowRun.h"

#include <QString>
#include <QStringList>

namespace lumetta {


struct RunState : ShowRun {
    RunState(const RunMode &mode, TimeSource &time)
        : ShowRun(mode.screenSaver, mode.admin, time), ConfigMode(mode.config), ViewOnly(mode.viewOnly)
    {
    }

    const bool ConfigMode;
    const bool ViewOnly;  // a second start in a daemon's window: it shows, never fetches nor saves

    QString BackupFileName;
    QString VersionString;
    QString ProductPath;
    QString MainListUrl;
    QString AdultListUrl;
    int EnableAA = 0;

    QString Categories;
    QString SelectedCats;
    QStringList SelectedCatList;
    QStringList ImportList;
};

} // namespace lumetta
