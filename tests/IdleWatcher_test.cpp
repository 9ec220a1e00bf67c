#include "idle/IdleWatcher.h"

#include "support/TestTime.h"

#include <gtest/gtest.h>
#include <vector>

using namespace lumetta;

namespace {

enum Event { Input, FullScreen, Windowed, Lock, Unlock, SourceDown, SourceUp, ShowFails };

struct IdleCase {
    const char *description;
    qint64 delaySeconds;
    std::vector<std::pair<qint64, Event>> events;  // at ms
    qint64 endMs;
    std::vector<qint64> startsAt;  // every attempt to start the show
    int stops = 0;                 // shows stopped for the lock
};

void PrintTo(const IdleCase &c, std::ostream *os) { *os << c.description; }

// The desktop as a row sets it; the idle time counts from the last input.
struct FakeDesktop : DesktopProbe {
    TestTimeSource time;
    qint64 lastInput = 0;
    bool answers = true;
    DesktopState flags;
    std::vector<qint64> reads;
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
    FakeDesktop d;
    const qint64 delayMs = c.delaySeconds * 1000;
    bool startFails = false;
    std::vector<qint64> starts;
    int stops = 0;
    IdleWatcher *w = nullptr;
    IdleWatcher watcher(d, d.time, {[&] { return d.time.elapsed(); }, [&] { return delayMs; },
                                    [&] { starts.push_back(d.time.elapsed()); return !startFails; },
                                    [&] { ++stops; w->showEnded(); }});  // the show ends on SIGTERM
    w = &watcher;
    watcher.begin();
    std::vector<qint64> eventTimes;
    for (const auto &[at, event] : c.events) {
        d.time.advance(at - d.time.elapsed());
        eventTimes.push_back(at);
        switch (event) {
        case Input: d.lastInput = at; watcher.showEnded(); break;  // a key or a move ends a show
        case FullScreen: case Windowed: d.flags.fullScreen = event == FullScreen; break;
        case Lock: d.flags.locked = true; watcher.desktopLocking(); break;
        case Unlock: d.flags.locked = false; break;
        case SourceDown: case SourceUp: d.answers = event == SourceUp; break;
        case ShowFails: startFails = true; break;
        }
    }
    d.time.advance(c.endMs - d.time.elapsed());

    EXPECT_EQ(starts, c.startsAt);
    EXPECT_EQ(stops, c.stops);
    // The timer's looks are 10 s apart at least; the others follow an event.
    for (size_t i = 1; i < d.reads.size(); ++i) {
        if (std::find(eventTimes.begin(), eventTimes.end(), d.reads[i]) == eventTimes.end()) {
            EXPECT_GE(d.reads[i] - d.reads[i - 1], IdleDecision::MinimumWaitMs) << "look at " << d.reads[i];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Desktop, IdleWatcherTest,
    ::testing::Values(
        IdleCase{"a full-screen window with the focus: no show", 600, {{0, FullScreen}, {650'000, Windowed}},
                 1'300'000, {1'200'000}},
        IdleCase{"the lock stops the show; the next period after unlocking starts it", 600,
                 {{650'000, Lock}, {700'000, Unlock}, {700'000, Input}}, 1'400'000, {600'000, 1'300'000}, 1},
        IdleCase{"a delay under 10 s waits 10 s", 3, {}, 30'000, {10'000}},
        IdleCase{"a delay of 0 is off", 0, {}, 2'000'000, {}},
        IdleCase{"a source that stops answering is asked again a minute later", 600,
                 {{0, SourceDown}, {610'000, SourceUp}}, 700'000, {660'000}},
        IdleCase{"a show that cannot start is not tried again in that period", 600,
                 {{0, ShowFails}, {1'000'000, Input}}, 1'700'000, {600'000, 1'600'000}}));

} // namespace
