#include "support/TestTime.h"

#include <algorithm>
#include <vector>

namespace lumetta {

struct TestTimeSource::State {
    struct Entry {
        const TimerBackend *owner;
        qint64 due, interval;
        quint64 order;  // the one started first fires first on a tie
        std::function<void()> fire;
    };
    TestClock *clock = nullptr;
    qint64 now = 0;
    quint64 nextOrder = 0;
    std::vector<Entry> running;

    void moveTo(qint64 moment)
    {
        if (clock)
            clock->advance(moment - now);
        now = moment;
    }
};

namespace {

// Holds the source weakly: a timer may outlive the test's time source.
class TestTimerBackend final : public TimerBackend {
public:
    TestTimerBackend(std::weak_ptr<TestTimeSource::State> state, std::function<void()> fire)
        : m_state(std::move(state)), m_fire(std::move(fire)) {}
    ~TestTimerBackend() override { stop(); }

    void start(int milliseconds) override
    {
        stop();
        if (auto state = m_state.lock()) {
            const qint64 interval = std::max(milliseconds, 1);
            state->running.push_back({this, state->now + interval, interval, state->nextOrder++, m_fire});
        }
    }
    void stop() override
    {
        if (auto state = m_state.lock())
            std::erase_if(state->running, [this](const auto &e) { return e.owner == this; });
    }

private:
    std::weak_ptr<TestTimeSource::State> m_state;
    std::function<void()> m_fire;
};

} // namespace

TestTimeSource::TestTimeSource(TestClock *clock) : m_state(std::make_shared<State>())
{
    m_state->clock = clock;
}

std::unique_ptr<TimerBackend> TestTimeSource::createTimer(std::function<void()> fire)
{
    return std::make_unique<TestTimerBackend>(m_state, std::move(fire));
}

void TestTimeSource::advance(qint64 milliseconds)
{
    const std::shared_ptr<State> state = m_state;
    const qint64 target = state->now + std::max<qint64>(milliseconds, 0);
    for (;;) {
        auto next = std::min_element(state->running.begin(), state->running.end(), [](const auto &a, const auto &b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
        if (next == state->running.end() || next->due > target)
            break;
        state->moveTo(next->due);
        // Re-armed before it fires, so a handler that stops or restarts its
        // timer has the last word.
        next->due += next->interval;
        next->order = state->nextOrder++;
        const std::function<void()> fire = next->fire;
        fire();
    }
    state->moveTo(target);
}

qint64 TestTimeSource::elapsed() const
{
    return m_state->now;
}

int TestTimeSource::activeTimers() const
{
    return int(m_state->running.size());
}

} // namespace lumetta
