#include "idle/IdleWatcher.h"

#include "support/TestTime.h"

#include <gtest/gtest.h>
#include <vector>

using namespace lumetta;

namespace {

enum class Event { Input, ShowEndsAlone, InhibitOn, InhibitOff, FullScreenOn, FullScreenOff, Lock, Unlock,
                   SourceDown, SourceUp, ShowFails, Delay1200 };

struct At {
    qint64 ms;
    Event event;
};

struct IdleCase {
    const char *description;
    qint64 delaySeconds;
    std::vector<At> events;
    qint64 endMs;
    std::vector<qint64> startsAt;  // every attempt to start the show
    int stops = 0;                 // shows stopped for the lock
};

void PrintTo(const IdleCase &c, std::ostream *os)
{
    *os << c.description;
}

// The desktop as a test sets it; the idle time counts from the last input.
struct FakeDesktop : DesktopProbe {
    TestTimeSource &time;
    qint64 lastInput = 0;
    bool answers = true;
    DesktopState flags;
    std::vector<qint64> reads;

    explicit FakeDesktop(TestTimeSource &t) : time(t) {}
    DesktopState read() override
    {
        reads.push_back(time.elapsed());
        DesktopState state = flags;
        state.idleMs = answers ? std::optional<qint64>(time.elapsed() - lastInput) : std::nullopt;
        return state;
    }
};

class IdleWatcherTest : public ::testing::TestWithParam<IdleCase> {};

TEST_P(IdleWatcherTest, StartsTheShowOncePerIdlePeriod)
{
    const IdleCase &c = GetParam();
    TestTimeSource time;
    FakeDesktop desktop(time);
    qint64 delayMs = c.delaySeconds * 1000;
    bool startFails = false;
    std::vector<qint64> starts;
    int stops = 0;
    IdleWatcher *w = nullptr;
    IdleWatcherHooks hooks;
    hooks.nowMs = [&] { return time.elapsed(); };
    hooks.delayMs = [&] { return delayMs; };
    hooks.startShow = [&] {
        starts.push_back(time.elapsed());
        return !startFails;
    };
    hooks.stopShow = [&] {
        ++stops;
        w->showEnded();  // the process ends on SIGTERM
    };
    IdleWatcher watcher(desktop, time, hooks);
    w = &watcher;
    watcher.begin();

    std::vector<qint64> eventTimes;
    for (const At &at : c.events) {
        time.advance(at.ms - time.elapsed());
        eventTimes.push_back(at.ms);
        switch (at.event) {
        case Event::Input:
            desktop.lastInput = at.ms;
            watcher.showEnded();  // a key or a move ends a running show
            break;
        case Event::ShowEndsAlone: watcher.showEnded(); break;
        case Event::InhibitOn: desktop.flags.inhibited = true; break;
        case Event::InhibitOff: desktop.flags.inhibited = false; break;
        case Event::FullScreenOn: desktop.flags.fullScreen = true; break;
        case Event::FullScreenOff: desktop.flags.fullScreen = false; break;
        case Event::Lock:
            desktop.flags.locked = true;
            watcher.desktopLocking();
            break;
        case Event::Unlock: desktop.flags.locked = false; break;
        case Event::SourceDown: desktop.answers = false; break;
        case Event::SourceUp: desktop.answers = true; break;
        case Event::ShowFails: startFails = true; break;
        case Event::Delay1200: delayMs = 1'200'000; break;
        }
    }
    time.advance(c.endMs - time.elapsed());

    EXPECT_EQ(starts, c.startsAt);
    EXPECT_EQ(stops, c.stops);
    // Looks the timer makes are 10 s apart at least; the others follow an event.
    for (size_t i = 1; i < desktop.reads.size(); ++i) {
        const qint64 at = desktop.reads[i];
        if (std::find(eventTimes.begin(), eventTimes.end(), at) == eventTimes.end()) {
            EXPECT_GE(at - desktop.reads[i - 1], IdleDecision::MinimumWaitMs) << "look at " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Desktop, IdleWatcherTest,
    ::testing::Values(
        IdleCase{"idle from the start: the show at the delay", 600, {}, 1'000'000, {600'000}},
        IdleCase{"input at 300 s moves the show to 900 s", 600, {{300'000, Event::Input}}, 1'000'000, {900'000}},
        IdleCase{"a key ends the show; the next idle period starts it again", 600, {{700'000, Event::Input}},
                 1'400'000, {600'000, 1'300'000}},
        IdleCase{"a show that ends without input is not started again in that period", 600,
                 {{650'000, Event::ShowEndsAlone}, {3'000'000, Event::Input}}, 3'700'000, {600'000, 3'600'000}},
        IdleCase{"inhibited: no show; the first look after it starts it", 600,
                 {{0, Event::InhibitOn}, {1'000'000, Event::InhibitOff}}, 1'300'000, {1'200'000}},
        IdleCase{"a full-screen window with the focus: no show", 600,
                 {{0, Event::FullScreenOn}, {650'000, Event::FullScreenOff}}, 1'300'000, {1'200'000}},
        IdleCase{"a locked desktop: no show", 600, {{0, Event::Lock}}, 2'000'000, {}},
        IdleCase{"the lock stops the show; the next period after unlocking starts it", 600,
                 {{650'000, Event::Lock}, {700'000, Event::Unlock}, {700'000, Event::Input}}, 1'400'000,
                 {600'000, 1'300'000}, 1},
        IdleCase{"a delay under 10 s waits 10 s", 3, {}, 30'000, {10'000}},
        IdleCase{"a delay of 0 is off", 0, {}, 2'000'000, {}},
        IdleCase{"a source that stops answering is asked again a minute later", 600,
                 {{0, Event::SourceDown}, {610'000, Event::SourceUp}}, 700'000, {660'000}},
        IdleCase{"a show that cannot start is not tried again in that period", 600,
                 {{0, Event::ShowFails}, {1'000'000, Event::Input}}, 1'700'000, {600'000, 1'600'000}},
        IdleCase{"the delay is read at each look", 600, {{300'000, Event::Delay1200}}, 1'300'000, {1'200'000}}));

} // namespace
