#include "slideshow/Sequencer.h"

#include "app/RunState.h"

#include <cmath>

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

CamAction DecideCam(const CamSchedule &cam, const ShowSettings &settings, TDateTime now, bool localFileExists)
{
    const RefreshPolicy &policy = settings.policy;
    if (!cam.enabled) {
        if (cam.autoAdjust == 0)
            return CamAction::Skip;
        const bool recheck = policy.checkDisabledCams && cam.lastDownloadTime + policy.checkDisabledDays <= now;
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
    if (fixed && cam.lastDownloadTime + cam.refreshRate > now && localFileExists)
        return local;
    if (cam.lastModified + cam.refreshRate > now && localFileExists)
        return local;
    // The show that fetches is the catalogue's one writer.
    if (settings.viewOnly)
        return localFileExists ? CamAction::ShowLocal : CamAction::Skip;
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

int NextCamIndex(int current, int count, const ShowSettings &settings, const std::function<int(int)> &randomBelow)
{
    if (settings.currentOnly)
        return settings.selectedIndex;
    if (count <= 0)
        return -1;
    if (settings.random)
        return randomBelow(count);
    return current + 1 >= count || current + 1 < 0 ? 0 : current + 1;
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
