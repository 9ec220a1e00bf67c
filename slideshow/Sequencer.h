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
#include <vector>

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

// What the show remembers of a webcam's last fetch in this run, in
// Clock::monotonicMs().
struct LastFetch {
    std::optional<qint64> atMs;  // none in this run
    bool newPicture = false;
    qint64 retryAtMs = 0;  // a failed reply's wait (AdaptWithoutNewPicture) ends; 0: none
};

// A webcam is fetched at most once per display time, unless it refreshes
// faster and its last fetch brought a new picture (the show follows it);
// never before the wait a failed reply set. monotonicMs: now, as LastFetch
// counts.
bool FetchedTooRecently(const CamSchedule &cam, const LastFetch &last, int displaySeconds, TDateTime now,
                        qint64 monotonicMs);

enum class CamAction { Skip, ShowLocal, Download };
// localFileExists is asked only when the answer matters: a search looks
// at every webcam, and most need no look at the disk. A record whose times
// lie ahead of now (the clock went back) is due.
CamAction DecideCam(const CamSchedule &cam, const ShowSettings &settings, TDateTime now,
                    const std::function<bool()> &localFileExists, const LastFetch &last = {},
                    qint64 monotonicMs = 0);

// The site name, then " - " and the last-active time, then " (" and the
// refresh interval ")", as the settings ask.
QString CamCaption(const CamSchedule &cam, const ShowSettings &settings);

// The index after current in catalogue order, wrapping.
int NextCamIndex(int current, int count);

// The webcams one search examines, each once at most: the held, followed
// or current-only webcam, then (unless the search may look at that one
// only) the others in the show's order: from the one after current,
// wrapping; or at random without repeats, which picks among the eligible
// ones as repeated draws would. randomBelow(n) draws from 0..n-1.
class SearchOrder {
public:
    SearchOrder(int current, int count, bool held, bool followed, const ShowSettings &settings,
                std::function<int(int)> randomBelow);
    // -1 once every webcam has been examined.
    int next();
    // The last index came from the show's order, not from a hold or a
    // follow: "LastCam" follows it.
    bool moved() const { return m_moved; }

private:
    int m_count;
    bool m_random;
    std::function<int(int)> m_randomBelow;
    int m_first = -1;         // examined before the show's order
    int m_examined = -1;      // that one, once given
    bool m_onlyFirst = false;
    int m_cursor;             // in order: the last index given
    int m_left;               // in order: indexes not yet given
    std::vector<int> m_pool;  // at random: indexes not yet drawn
    bool m_poolMade = false;
    bool m_moved = false;
};

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
