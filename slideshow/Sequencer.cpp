#include "slideshow/Sequencer.h"

#include "slideshow/ShowRun.h"

#include <cmath>
#include <utility>

namespace lumetta {

bool IsActiveNow(TDateTime startTime, TDateTime endTime, TDateTime now)
{
    const TDateTime today = std::floor(now);
    TDateTime start = today + startTime;
    TDateTime end = today + endTime;
    if (end <= start) {
        if (now > start)
            end += 1;
        else
            start -= 1;
    }
    return start <= now && now <= end;
}

bool InSelectedCategories(const QString &category, const ShowSettings &settings)
{
    return settings.currentOnly || settings.selectedCats.isEmpty()
           || settings.selectedCatList.contains(category, Qt::CaseInsensitive);
}

bool FetchedTooRecently(const CamSchedule &cam, const LastFetch &last, int displaySeconds, TDateTime now,
                        qint64 monotonicMs)
{
    if (monotonicMs < last.retryAtMs)
        return true;
    if (last.newPicture && WholeSeconds(cam.refreshRate) < displaySeconds)
        return false;
    if (last.atMs && monotonicMs - *last.atMs < displaySeconds * qint64(1000))
        return true;
    // A download stored by an earlier run is on the wall clock.
    return !cam.clockWentBack && now < cam.lastDownloadTime + displaySeconds * OneSecond;
}

CamAction DecideCam(const CamSchedule &cam, const ShowSettings &settings, TDateTime now,
                    const std::function<bool()> &localFileExists, const LastFetch &last, qint64 monotonicMs)
{
    const RefreshPolicy &policy = settings.policy;
    if (!cam.enabled) {
        if (cam.autoAdjust == 0)
            return CamAction::Skip;
        const bool recheck = policy.checkDisabledCams
                             && (cam.clockWentBack || cam.lastDownloadTime + policy.checkDisabledDays <= now);
        if (!recheck)
            return CamAction::Skip;
    }
    if (cam.refreshRate == 0)
        return CamAction::Skip;
    const CamAction local = settings.noLocalImages ? CamAction::Skip : CamAction::ShowLocal;
    if (!IsActiveNow(cam.startTime, cam.endTime, now))
        return cam.showLastImage ? local : CamAction::Skip;
    const bool fixed = cam.refreshRate > policy.slowInterval || cam.refreshRate > policy.maxRefresh
                       || cam.autoAdjust == 0;
    const bool due = cam.clockWentBack
                     || (!(fixed && cam.lastDownloadTime + cam.refreshRate > now)
                         && cam.lastModified + cam.refreshRate <= now);
    if (!due && localFileExists())
        return local;
    // The show that fetches is the catalogue's one writer.
    if (settings.viewOnly)
        return localFileExists() ? CamAction::ShowLocal : CamAction::Skip;
    // Asked again too soon, a webcam would be stormed with requests.
    if (FetchedTooRecently(cam, last, settings.displaySeconds, now, monotonicMs))
        return localFileExists() ? local : CamAction::Skip;
    return CamAction::Download;
}

QString CamCaption(const CamSchedule &cam, const ShowSettings &settings)
{
    QString caption = cam.siteName;
    if (settings.showTimeInCaption)
        caption += QStringLiteral(" - ") + FormatDateTimeText(cam.lastModified);
    if (settings.showRefreshInCaption)
        caption += QStringLiteral(" (") + FormatTimeText(cam.refreshRate) + QLatin1Char(')');
    return caption;
}

int NextCamIndex(int current, int count)
{
    return current + 1 >= count || current + 1 < 0 ? 0 : current + 1;
}

SearchOrder::SearchOrder(int current, int count, bool held, bool followed, const ShowSettings &settings,
                         std::function<int(int)> randomBelow)
    : m_count(count), m_random(settings.random), m_randomBelow(std::move(randomBelow)), m_cursor(current),
      m_left(count)
{
    const bool valid = current >= 0 && current < count;
    if (settings.currentOnly) {
        m_first = settings.selectedIndex >= 0 && settings.selectedIndex < count ? settings.selectedIndex : -1;
        m_onlyFirst = true;
    } else if ((held || followed) && valid) {
        m_first = current;
        m_onlyFirst = held;  // a followed webcam lets the search go on
    }
}

int SearchOrder::next()
{
    m_moved = false;
    if (m_first >= 0) {
        m_examined = std::exchange(m_first, -1);
        return m_examined;
    }
    if (m_onlyFirst || m_count <= 0)
        return -1;
    const int examined = m_examined;
    m_moved = true;
    if (m_random) {
        if (!m_poolMade) {
            m_poolMade = true;
            m_pool.reserve(m_count);
            for (int i = 0; i < m_count; ++i)
                if (i != examined)
                    m_pool.push_back(i);
        }
        if (m_pool.empty())
            return -1;
        const int k = m_randomBelow(int(m_pool.size()));
        const int index = m_pool[k];
        m_pool[k] = m_pool.back();
        m_pool.pop_back();
        return index;
    }
    while (m_left > 0) {
        --m_left;
        m_cursor = NextCamIndex(m_cursor, m_count);
        if (m_cursor != examined)
            return m_cursor;
    }
    return -1;
}

TickPlan PlanNextTick(const ShowState &show, const ShowSettings &settings, int cameraTimerInterval)
{
    TickPlan plan;
    plan.fastCamLatched = show.FastCamLatched;
    const int secs = WholeSeconds(show.CurrentRefresh);
    if (show.HoldCurrentCam || settings.currentOnly) {
        plan.ssInterval = std::min(secs, 60) * 1000;
    } else if (show.FollowCam) {
        plan.ssInterval = secs * 1000;
        if (secs * 2 < settings.displaySeconds) {
            if (cameraTimerInterval != settings.fastCamSeconds * 1000) {
                plan.fastCamLatched = true;
                plan.cameraTimer = settings.fastCamSeconds * 1000;
                plan.mode = QStringLiteral("F");
                plan.modeColour = Lime;
                plan.resetCountdown = true;
            }
        } else if (secs < settings.displaySeconds && !show.FastCamLatched
                   && cameraTimerInterval != settings.displaySeconds * 1000) {
            // Set only when it changes, so a running limit is not restarted.
            plan.cameraTimer = settings.displaySeconds * 1000;
            plan.mode = QStringLiteral("R");
            plan.modeColour = FollowGreen;
            plan.resetCountdown = true;
        }
    } else {
        plan.fastCamLatched = false;
        plan.cameraTimer = 0;
        plan.ssInterval = show.PlayMode ? int(std::nearbyint(settings.playRefresh * SecondsPerDay * 1000.0))
                                        : settings.displaySeconds * 1000;
        plan.mode = QStringLiteral("N");
        plan.modeColour = Qt::white;
        plan.normal = true;
    }
    return plan;
}

} // namespace lumetta
