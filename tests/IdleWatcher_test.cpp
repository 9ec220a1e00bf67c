#include "idle/IdleWatcher.h"

#include "support/TestTime.h"

#include <gtest/gtest.h>

using namespace lumetta;

namespace {

// One decision through the rows in turn. The desktop: idle ms (none: no answer), inhibited, full screen, locked.
TEST(IdleDecision, StartsTheShowOncePerIdlePeriod)
{
    const qint64 delay = 600'000;
    const struct { qint64 now, delay; DesktopState desktop; bool endShow, start; qint64 next; bool stop = false, hold = false; } rows[] = {
        {595'000, delay, {595'000}, false, false, 10'000},      // never sooner than 10 s
        {599'000, delay, {598'999}, false, false, 10'000},      // just before the slack
        {1'000, 1, {0, false, true}, false, false, 10'000},     // a delay of 1 ms is not off
        {0, 0, {600'000}, false, false, 60'000},                // a delay of 0 is off
        {0, delay, {}, false, false, 60'000},
        {600'000, 3'000, {600'000, false, false, true}, false, false, 10'000},
        {600'000, delay, {600'000, true}, false, false, delay},
        {601'000, delay, {599'000}, false, true, 1'000},        // a hair early is due; the period began at 2 s
        {700'000, delay, {700'000}, false, false, 1'000},       // the show runs, watched each second
        {702'000, delay, {697'999}, false, false, 1'000, true}, // back: a period 2,001 ms later ends the show
        {1'300'000, delay, {1'296'000}, true, false, delay},    // ended without input: 2 s off is the same period
        {1'300'000, delay, {1'295'999}, false, true, 1'000},    // 2,001 ms off: a new one
        {1'301'000, delay, {1'000}, false, false, 1'000, true},  // the user is back
        {1'302'000, delay, {0, 0, 0, 0, 600'000}, true, false, 598'000},        // the X server's saver on at first, due 2 s before it
        {1'902'000, delay, {600'000, 0, 0, 0, 0}, false, false, delay},         // then off for a video: it inhibits
        {1'903'000, delay, {601'000, 0, 0, 0, 300'000}, false, true, 1'000, false, true},  // on again, and held off
        {2'600'000, delay, {596'000, 0, 0, 0, 600'000}, true, false, 2'000},    // no 10 s floor that would let it pass
        {2'602'000, delay, {598'000, 0, 0, 0, 600'000}, false, true, 1'000, false, true},
        {3'300'000, delay, {598'000, 0, 0, 0, 600'000, true}, true, false, 10'000},  // a locker's cue: left alone
        {3'400'000, delay, {9'000, 0, 0, 0, 10'000}, false, false, 591'000},          // a saver of 10 s is not beaten
    };
    IdleDecision decision;
    for (const auto &r : rows) {
        SCOPED_TRACE(r.now);
        if (r.endShow)
            decision.showEnded();
        const IdleDecision::Step step = decision.check(r.now, r.delay, r.desktop);
        EXPECT_EQ(step.startShow, r.start);
        EXPECT_EQ(step.nextCheckMs, r.next);
        EXPECT_EQ(step.stopShow, r.stop);
        EXPECT_EQ(step.holdServerSaver, r.hold);
    }
}

// light-locker answered 786 while the X server had been idle 786,165 ms.
TEST(IdleDecision, ScreenSaverIdleUnitAgreesWithTheServerOrTheOwner)
{
    const struct { qint64 answered; std::optional<qint64> server; const char *owner; IdleUnit unit; } rows[] = {
        {786, 786'165, "", IdleUnit::Seconds},
        {786'100, 786'165, "light-locker", IdleUnit::Milliseconds},  // the server outweighs the name
        {4, 4'999, "", IdleUnit::Unknown},                            // too soon to tell
        {5, 5'000, "", IdleUnit::Seconds},
        {5'000, 5'000, "", IdleUnit::Milliseconds},
        {786, std::nullopt, "light-locker", IdleUnit::Seconds},        // Wayland: no X server to ask
        {786, std::nullopt, "xfce4-screensaver", IdleUnit::Unknown},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ScreenSaverIdleUnit(r.answered, r.server, r.owner), r.unit) << r.answered << " " << r.owner;
}

// The desktop idle since the last input, by the test clock.
struct FakeDesktop : DesktopProbe {
    TestTimeSource time;
    qint64 lastInput = 0;
    int reads = 0;
    bool held = false;
    DesktopState read() override
    {
        ++reads;
        return {time.elapsed() - lastInput, false, false, false, 600'000};
    }
    void holdServerSaver(bool hold) override { held = hold; }
};

// The watcher looks when the decision says, and passes the show's start, end and the lock on.
TEST(IdleWatcher, FollowsTheDecisionAndTheShow)
{
    FakeDesktop d;
    bool startWorks = false;
    int starts = 0, stops = 0;
    IdleWatcher w(d, d.time, {[&] { return d.time.elapsed(); }, [] { return qint64(600'000); },
                              [&] { ++starts; return startWorks; }, [&] { ++stops; }});
    w.begin();
    EXPECT_EQ(w.nextLookMs(), 598'000) << "the X server's saver at the delay";
    d.time.advance(600'000);
    EXPECT_EQ(starts, 1);
    EXPECT_FALSE(d.held);
    EXPECT_FALSE(w.showRunning()) << "a show that cannot start counts as one that ended";
    EXPECT_EQ(w.nextLookMs(), IdleDecision::RetryMs);

    d.lastInput = d.time.elapsed();
    startWorks = true;
    d.time.advance(600'000);
    EXPECT_EQ(starts, 2);
    EXPECT_TRUE(d.held) << "the show is the screen saver now";
    d.time.advance(IdleDecision::ShowWatchMs);
    EXPECT_EQ(stops, 0) << "the user is still away";
    d.lastInput = d.time.elapsed();
    d.time.advance(IdleDecision::ShowWatchMs);
    EXPECT_EQ(stops, 1) << "the user is back, whatever the show's window does";
    w.desktopLocking();
    EXPECT_EQ(stops, 2);
    const int reads = d.reads;
    w.showEnded();
    EXPECT_FALSE(d.held);
    EXPECT_EQ(d.reads, reads + 1) << "looks again at once";
    w.showEnded();
    w.desktopLocking();
    EXPECT_EQ(d.reads, reads + 1) << "no show: nothing to look at or stop";
    EXPECT_EQ(stops, 2);
}

// A delay changed on the Tools page counts at once, not after the old wait;
// XScreenSaver choosing Lumetta stands the watcher down.
TEST(IdleWatcher, FollowsTheSettings)
{
    FakeDesktop d;
    qint64 delay = 600'000;
    bool daemonRunsLumetta = false, stood = false;
    int starts = 0, asked = 0;
    IdleWatcher w(d, d.time, {[&] { return d.time.elapsed(); }, [&] { return delay; }, [&] { return ++starts > 0; },
                              [] {}, [&] { return ++asked, daemonRunsLumetta; }});
    QObject::connect(&w, &IdleWatcher::stoodDown, [&] { stood = true; });
    w.begin();
    d.time.advance(120'000);
    delay = 60'000;
    w.settingsChanged();
    EXPECT_EQ(starts, 1) << "idle for 2 minutes, the delay 1 minute";
    const int reads = d.reads;
    w.settingsChanged();
    EXPECT_EQ(d.reads, reads) << "the show runs, watched each second anyway";
    daemonRunsLumetta = true;
    w.showEnded();
    EXPECT_TRUE(stood);
    EXPECT_EQ(w.nextLookMs(), 0);
    const int asks = asked;
    w.settingsChanged();
    EXPECT_EQ(asked, asks) << "stood down for good";
    d.time.advance(3'600'000);
    EXPECT_EQ(starts, 1);
}

} // namespace
