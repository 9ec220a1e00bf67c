#pragma once
// When the idle watcher starts the show, and when it looks again. A plain
// model: the watcher feeds it the desktop's answers and the time, and does
// what it returns.
#include <QString>
#include <QtGlobal>
#include <optional>

namespace lumetta {

// The desktop as the idle source sees it at one moment.
struct DesktopState {
    std::optional<qint64> idleMs;  // none: the source did not answer
    bool inhibited = false;        // a video, a presentation: the desktop keeps awake
    bool fullScreen = false;       // a full-screen window has the focus
    bool locked = false;           // the desktop's own screen saver or lock is up
    std::optional<qint64> serverSaverMs = {};  // the X server's own saver timeout, 0 when off; none: no X server
    // A desktop screen saver or locker answers: the X server's saver is its
    // cue (to lock), so it is left alone.
    bool screenSaverService = false;
};

class IdleDecision {
public:
    // Never look more often than this, whatever the delay.
    static constexpr qint64 MinimumWaitMs = 10'000;
    // A source that did not answer, or a delay of 0 (off), is asked again after this.
    static constexpr qint64 RetryMs = 60'000;
    // Two readings of one idle period may disagree by this much.
    static constexpr qint64 SamePeriodMs = 2'000;
    // A look that lands a hair before the delay counts as at it; else the
    // show would wait 10 s more for the next look.
    static constexpr qint64 DueSlackMs = 1'000;

    // While its show runs: the user's return ends it within this.
    static constexpr qint64 ShowWatchMs = 1'000;
    // The X server's own saver at or below the delay would blank first and
    // end the show: the show starts this long before it.
    static constexpr qint64 ServerSaverLeadMs = 2'000;

    struct Step {
        bool startShow = false;
        bool stopShow = false;   // the user is back: the show started here ends
        qint64 nextCheckMs = 0;  // 0: no check until the show ends
        // With startShow: keep the X server's saver off while the show runs,
        // the show being the screen saver.
        bool holdServerSaver = false;
    };

    // delayMs: the idle delay read now; 0 or less is off.
    [[nodiscard]] Step check(qint64 nowMs, qint64 delayMs, const DesktopState &state);
    // The show process ended, whatever the reason.
    void showEnded() { m_showRunning = false; }
    // The desktop is about to lock: true when a running show must stop.
    [[nodiscard]] bool locking() const { return m_showRunning; }
    bool showRunning() const { return m_showRunning; }

private:
    bool m_showRunning = false;
    // When the idle period that got its show began: one show per period,
    // so a show that ended without input (the lock, a show already running)
    // does not start again until the user has been back.
    std::optional<qint64> m_servedPeriodStart;
    // The X server's saver timeout when first seen: turned off since
    // (xdg-screensaver suspend, for a video) it inhibits like the desktop's.
    std::optional<qint64> m_firstServerSaverMs;
};

// org.freedesktop.ScreenSaver's GetSessionIdleTime names no unit: most
// services answer milliseconds, light-locker answers seconds.
enum class IdleUnit { Unknown, Milliseconds, Seconds };
// The X server's own idle time long enough to tell the two apart.
inline constexpr qint64 UnitEvidenceMs = 5'000;
// The unit the answer agrees with: the X server's idle time where there is
// one (whichever reading lies closer), else the name of the service's
// process; Unknown until one of them tells.
[[nodiscard]] IdleUnit ScreenSaverIdleUnit(qint64 answered, std::optional<qint64> serverIdleMs,
                                           const QString &ownerProcess);

} // namespace lumetta
