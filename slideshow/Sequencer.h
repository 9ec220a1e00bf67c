#pragma once
// The slide show's decisions as plain functions: which webcam comes next,
// whether its picture is due, what the caption says and how long until the
// next tick. The SlideShow object applies them.
#include "download/CamSchedule.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace lumetta {

struct ShowState;

// The slide-show and refresh controls as they stand when a tick runs.
struct ShowSettings {
    int displaySeconds = 10;   // SSInterval
    int fastCamSeconds = 10;   // SSInterval2
    bool random = false;
    bool resume = true;
    bool currentOnly = false;       // ShowCurrentCamOnly
    bool noLocalImages = false;     // "Do not show local images"
    bool differentOnly = false;     // "Show image only if different from last"
    bool showTimeInCaption = false;
    bool showRefreshInCaption = false;
    bool randomBackground = false;
    QColor background = Qt::black;
    int selectedIndex = -1;         // SiteList's
    QString selectedCats;           // empty: every category
    QStringList selectedCatList;
    RefreshPolicy policy;
    QString downloadDir;            // ends with our path separator
    int timeOutSeconds = 30;
    TDateTime playRefresh = 0;      // dtRefreshRate, for the editor's Play
    bool viewOnly = false;          // another show fetches: only the pictures it saved are shown
};

// The daily window: an end at or before the start runs overnight (equal
// times: all day).
bool IsActiveNow(TDateTime startTime, TDateTime endTime, TDateTime now);

bool InSelectedCategories(const QString &category, const ShowSettings &settings);

enum class CamAction { Skip, ShowLocal, Download };
CamAction DecideCam(const CamSchedule &cam, const ShowSettings &settings, TDateTime now, bool localFileExists);

// The site name, then " - " and the last-active time, then " (" and the
// refresh interval ")", as the settings ask.
QString CamCaption(const CamSchedule &cam, const ShowSettings &settings);

// The index the next attempt examines; randomBelow(n) draws from 0..n-1.
int NextCamIndex(int current, int count, const ShowSettings &settings, const std::function<int(int)> &randomBelow);

// What the end of a tick sets: the next delay, the camera-time limit when
// it changes, and the mode letter.
struct TickPlan {
    int ssInterval = 0;
    std::optional<int> cameraTimer;
    bool fastCamLatched = false;
    QString mode;              // empty: lblMode stays as it is
    QColor modeColour;
    bool resetCountdown = false;
    bool normal = false;       // the background follows the settings
};
TickPlan PlanNextTick(const ShowState &show, const ShowSettings &settings, int cameraTimerInterval);

inline const QColor Lime(0, 255, 0);
inline const QColor FollowGreen(0, 128, 0);

} // namespace lumetta
