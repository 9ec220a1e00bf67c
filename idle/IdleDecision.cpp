#include "idle/IdleDecision.h"

#include <algorithm>
#include <cstdlib>

namespace lumetta {

IdleDecision::Step IdleDecision::check(qint64 nowMs, qint64 delayMs, const DesktopState &state)
{
    // A show with no window (every webcam offline) sees no key: the desktop
    // tells when the idle period it belongs to is over.
    if (m_showRunning) {
        const bool back = state.idleMs && m_servedPeriodStart
                          && std::llabs(nowMs - *state.idleMs - *m_servedPeriodStart) > SamePeriodMs;
        return {false, back, ShowWatchMs};
    }
    if (state.serverSaverMs && !m_firstServerSaverMs)
        m_firstServerSaverMs = state.serverSaverMs;
    const bool saverSuspended = m_firstServerSaverMs.value_or(0) > 0 && state.serverSaverMs == 0;
    if (!state.idleMs || delayMs <= 0)
        return {false, false, RetryMs};
    const qint64 idle = *state.idleMs;
    // Nobody else answers for the X server's saver: ours comes first.
    const qint64 serverSaver = state.screenSaverService ? 0 : state.serverSaverMs.value_or(0);
    // A saver of a few seconds blanks while the user reads: not a screen saver to beat.
    const bool beatServerSaver = serverSaver > MinimumWaitMs && serverSaver - ServerSaverLeadMs < delayMs;
    const qint64 due = beatServerSaver ? serverSaver - ServerSaverLeadMs : delayMs;
    if (idle + DueSlackMs < due)
        // The usual floor would let the server's saver pass us.
        return {false, false, beatServerSaver ? due - idle : std::max(due - idle, MinimumWaitMs)};
    const qint64 periodStart = nowMs - idle;
    const bool served = m_servedPeriodStart && std::llabs(periodStart - *m_servedPeriodStart) <= SamePeriodMs;
    // Nothing tells us when the user is back or the desktop lets go, so
    // look again one delay later.
    if (served || state.inhibited || saverSuspended || state.fullScreen || state.locked)
        return {false, false, std::max(delayMs, MinimumWaitMs)};
    m_servedPeriodStart = periodStart;
    m_showRunning = true;
    return {true, false, ShowWatchMs, serverSaver > 0};
}

IdleUnit ScreenSaverIdleUnit(qint64 answered, std::optional<qint64> serverIdleMs, const QString &ownerProcess)
{
    // Both readings near nothing while the user works: either unit fits.
    if (serverIdleMs && *serverIdleMs >= UnitEvidenceMs)
        return std::llabs(answered * 1000 - *serverIdleMs) < std::llabs(answered - *serverIdleMs)
                   ? IdleUnit::Seconds
                   : IdleUnit::Milliseconds;
    if (ownerProcess == QLatin1String("light-locker"))
        return IdleUnit::Seconds;
    return IdleUnit::Unknown;
}

} // namespace lumetta
