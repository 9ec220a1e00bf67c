#include "catalogue/SaveSchedule.h"

#include <gtest/gtest.h>
#include <string>

using namespace lumetta;

namespace {

// Events: c a record changed, u the interval is up, n the show ended, w a
// write begins (shown as .), k it ended well, f it failed. Steps: - none,
// A the interval starts, W a write starts.
std::string Steps(SaveSchedule &s, const std::string &events)
{
    std::string steps;
    std::uint64_t mark = 0;
    for (const char e : events) {
        if (e == 'w') {
            mark = s.writing();
            steps += '.';
            continue;
        }
        steps += "-AW"[int(e == 'c' ? s.changed() : e == 'u' ? s.intervalUp() : e == 'n' ? s.saveNow()
                                                                             : s.written(mark, e == 'k'))];
    }
    return steps;
}

TEST(SaveSchedule, WritesTheChangesOncePerIntervalAndAtTheShowsEnd)
{
    struct { const char *description; std::string events, steps; bool unsaved; } const cases[] = {
        {"changes wait together for one interval", "cccuwk", "A--W.-", false},
        {"an interval with nothing unsaved writes nothing", "cuwku", "AW.--", false},
        {"nothing changed, the show's end writes nothing", "n", "-", false},
        {"the show's end writes before the interval is up", "cn", "AW", true},
        {"a change during a write starts its own interval", "cuwcku", "AW.A-W", true},
        {"so it does after a write the show's end started", "cnwck", "AW.A-", true},
        {"an interval up during a write that then fails starts another", "cuwcuf", "AW.A-A", true},
        {"a failed write keeps its changes for the next interval, which later changes keep", "cuwfcu", "AW.A-W", true},
        {"a failed write with a change since waits for that change's interval", "cuwcf", "AW.A-", true},
        {"the end asked for during a write is written after it", "cuwcnk", "AW.A-W", true},
        {"that one asked again after a failure waits for the interval", "cuwcnf", "AW.A--", true},
        {"the end asked for during a write that saves everything writes nothing more", "cuwnk", "AW.--", false},
    };
    for (const auto &c : cases) {
        SaveSchedule s;
        EXPECT_EQ(Steps(s, c.events), c.steps) << c.description;
        EXPECT_EQ(s.unsaved(), c.unsaved) << c.description;
    }
}

} // namespace
