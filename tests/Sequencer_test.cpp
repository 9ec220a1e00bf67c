#include "app/RunState.h"
#include "slideshow/Sequencer.h"

#include <gtest/gtest.h>

using namespace lumetta;

namespace {

const TDateTime Today = EncodeDate(2026, 12, 6);

TDateTime At(int h, int m = 0)
{
    return EncodeTime(h, m, 0);
}

TEST(IsActiveNow, DailyWindowsWithTheOvernightRule)
{
    struct { TDateTime start, end, now; bool active; } const cases[] = {
        {At(8), At(18), Today + At(12), true},
        {At(8), At(18), Today + At(19), false},
        {At(22), At(6), Today + At(23), true},   // the window ends tomorrow 06:00
        {At(22), At(6), Today + At(5), true},    // it began yesterday 22:00
        {At(22), At(6), Today + At(12), false},
        {At(9), At(9), Today + At(3), true},     // equal times: all day
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsActiveNow(c.start, c.end, c.now), c.active) << "row " << &c - cases;
}

// A catalogue record; a time without a date is today's.
QString Rec(const QString &refresh, const QString &lastDownload, const QString &lastModified,
            const QString &flags = "1,1,0", const QString &window = "00:00:00-00:00:00")
{
    const auto date = [](const QString &t) { return t.size() == 8 ? "2026-12-06 " + t : t; };
    const QStringList w = window.split('-');
    const QStringList f = flags.split(',');  // enabled, auto-adjust, show-last-image
    return QStringList{"General", "c", "http://c/c.jpg", "", refresh, w[0], w[1], "c.jpg", date(lastDownload),
                       date(lastModified), f[0], f[1], f[2]}
        .join("||");
}

ShowSettings With(const std::function<void(ShowSettings &)> &change)
{
    ShowSettings s;
    change(s);
    return s;
}

TEST(DecideCam, DueTestsWindowsAndDisabledWebcams)
{
    using enum CamAction;
    const TDateTime now = Today + At(12);
    const ShowSettings recheck = With([](ShowSettings &s) { s.policy.checkDisabledCams = true; });
    const ShowSettings noLocal = With([](ShowSettings &s) { s.noLocalImages = true; });
    const ShowSettings viewOnly = With([](ShowSettings &s) { s.viewOnly = true; });
    // slower than an hour: fixed, though faster than the longest refresh
    const ShowSettings slowHour = With([](ShowSettings &s) { s.policy.slowInterval = 1.0 / 24; });
    const ShowSettings plain;
    const QString old = "2000-01-01", yesterday = "2026-12-05 ", window = "13:00:00-14:00:00";
    struct { const char *description; QString line; ShowSettings settings; bool localFile; CamAction action; } const
        cases[] = {
        {"not due: the local copy", Rec("00:10:00", "11:59:00", "11:55:00"), plain, true, ShowLocal},
        {"due, another show fetches: its picture", Rec("00:01:00", "11:00:00", "11:00:00"), viewOnly, true, ShowLocal},
        {"due, another show fetches, none saved yet", Rec("00:01:00", "11:00:00", "11:00:00"), viewOnly, false, Skip},
        {"not due without a local file: downloaded", Rec("00:10:00", "11:59:00", "11:55:00"), plain, false, Download},
        {"not due, local images off", Rec("00:10:00", "11:59:00", "11:55:00"), noLocal, true, Skip},
        {"fixed interval counts from the last download", Rec("00:10:00", "11:55:00", "08:00:00", "1,0,0"), plain, true,
         ShowLocal},
        {"fixed interval, downloaded one interval ago to the second: due",
         Rec("00:10:00", "11:50:00", "08:00:00", "1,0,0"), plain, true, Download},
        {"a new picture due to the second: downloaded", Rec("00:10:00", "11:50:00", "11:50:00"), plain, true, Download},
        {"exactly the slow interval: still adaptive", Rec("01:00:00", "11:30:00", "10:30:00"), slowHour, true, Download},
        {"zero refresh", Rec("00:00:00", old, old), plain, true, Skip},
        {"outside its window", Rec("00:01:00", old, old, "1,1,0", window), plain, true, Skip},
        {"outside, showing the last image", Rec("00:01:00", old, old, "1,1,1", window), plain, false, ShowLocal},
        {"disabled with a fixed interval", Rec("00:01:00", old, old, "0,0,0"), recheck, true, Skip},
        {"disabled, not re-checked", Rec("00:01:00", old, old, "0,1,0"), plain, true, Skip},
        {"disabled, re-check due to the second", Rec("00:01:00", yesterday + "12:00:00", old, "0,1,0"), recheck, true,
         Download},
        {"slow: counts from the last download", Rec("02:00:00", "11:00:00", "08:00:00"), slowHour, true, ShowLocal},
        {"at the longest refresh: still adapts", Rec("03:00:00", "11:00:00", "08:00:00"), plain, true, Download},
        {"disabled, re-checked today", Rec("00:01:00", "09:00:00", old, "0,1,0"), recheck, true, Skip},
        // Once per display time (10 s) at most, unless it follows a fast webcam.
        {"tried 5 s ago: its copy", Rec("00:00:05", "11:59:55", "11:50:00"), plain, true, ShowLocal},
        {"tried 5 s ago, no copy: not asked again", Rec("00:00:05", "11:59:55", "11:50:00"), plain, false, Skip},
        {"tried 10 s ago: due", Rec("00:00:05", "11:59:50", "11:50:00"), plain, false, Download},
        {"picture ahead of the clock: due", Rec("00:10:00", "11:50:00", "12:30:00"), plain, true, Download},
        {"fixed, downloaded ahead of it: due", Rec("00:10:00", "12:30:00", "08:00:00", "1,0,0"), plain, true, Download},
        {"disabled, re-checked ahead of it: due", Rec("00:01:00", "12:30:00", old, "0,1,0"), recheck, true, Download},
        {"fixed, a picture past 2050 is none, not one ahead", Rec("00:10:00", "11:55:00", "2060-01-01", "1,0,0"), plain,
         true, ShowLocal},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecideCam(ReadCamSchedule(c.line, now), c.settings, now, [&c] { return c.localFile; }), c.action)
            << c.description;
    // This run's fetches count on the clock that only goes forward, here at 60 s.
    const CamSchedule fast = ReadCamSchedule(Rec("00:00:05", "12:59:55", "12:59:50"), now);
    EXPECT_EQ(DecideCam(fast, plain, now, [] { return true; }, {55000, true}, 60000), Download)
        << "a new picture 5 s ago from a 5 s webcam: followed";
    EXPECT_EQ(DecideCam(fast, plain, now, [] { return false; }, {50001, false}, 60000), Skip)
        << "the same webcam unchanged 9.999 s ago, stored an hour ahead of the clock";
    EXPECT_EQ(DecideCam(fast, plain, now, [] { return false; }, {50000, false}, 60000), Download) << "... 10 s ago";
    const CamSchedule fixed = ReadCamSchedule(Rec("00:00:05", "11:50:00", "11:50:00", "1,0,0"), now);
    const auto failedUntil = [&](qint64 t) { return DecideCam(fixed, plain, now, [] { return false; }, {0, 0, t}, 60000); };
    EXPECT_EQ(failedUntil(60001), Skip) << "due, but a failed reply's wait is not over";
    EXPECT_EQ(failedUntil(60000), Download);
}

TEST(PlanNextTick, NormalFollowAndFastModes)
{
    const ShowSettings fifteen = With([](ShowSettings &s) { s.displaySeconds = 15, s.fastCamSeconds = 30; });
    const ShowSettings ten = With([](ShowSettings &s) { s.displaySeconds = 10; });
    const ShowSettings currentOnly = With([](ShowSettings &s) { s.currentOnly = true; });
    const auto state = [](bool follow, int refreshSecs, bool latched = false, bool held = false) {
        ShowState s;
        s.FollowCam = follow;
        s.CurrentRefresh = refreshSecs * OneSecond;
        s.FastCamLatched = latched;
        s.HoldCurrentCam = held;
        return s;
    };
    const auto none = std::nullopt;
    // The camera-time limit before and after, the mode letter and its colour.
    struct {
        const char *description;
        ShowState show;
        ShowSettings settings;
        int cameraTimer, ssInterval;
        std::optional<int> newCameraTimer;
        QString mode;
        bool resetCountdown, latched = false;
    } const cases[] = {
        {"normal: the display time", state(false, 60), ten, 0, 10000, 0, "N", false},
        {"latched, then a webcam not followed: the latch ends", state(false, 60, true), ten, 30000, 10000, 0, "N", false},
        {"7 s webcam, display 15 s: fast", state(true, 7), fifteen, 0, 7000, 30000, "F", true, true},
        {"latched, now slower: the fast limit runs on", state(true, 6, true), ten, 30000, 6000, none, "", false, true},
        {"6 s webcam, display 10 s: follow", state(true, 6), ten, 0, 6000, 10000, "R", true},
        {"follow again: the limit keeps running", state(true, 6), ten, 10000, 6000, none, "", false},
        {"4 s webcam raised to 5 s: 5 x 2 is not below 10", state(true, 5), ten, 0, 5000, 10000, "R", true},
        {"a 10 s webcam followed with display 10 s: no limit", state(true, 10), ten, 0, 10000, none, "", false},
        {"current webcam only: at most a minute", state(false, 300), currentOnly, 0, 60000, none, "", false},
        {"held: stays on screen, at most a minute", state(true, 300, false, true), ten, 0, 60000, none, "", false},
        {"held 30 s webcam: its refresh", state(true, 30, false, true), ten, 0, 30000, none, "", false},
    };
    const QMap<QString, QColor> colours{{"N", Qt::white}, {"F", Lime}, {"R", FollowGreen}, {"", QColor()}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        const TickPlan plan = PlanNextTick(c.show, c.settings, c.cameraTimer);
        EXPECT_EQ(plan.ssInterval, c.ssInterval);
        EXPECT_EQ(plan.cameraTimer, c.newCameraTimer);
        EXPECT_EQ(plan.mode, c.mode);
        EXPECT_EQ(plan.modeColour, colours[c.mode]);
        EXPECT_EQ(plan.resetCountdown, c.resetCountdown);
        EXPECT_EQ(plan.fastCamLatched, c.latched);
    }
}

TEST(Sequencer, CategoryFilterAndCaption)
{
    struct { const char *description; QString selected; bool currentOnly; QString category; bool shown; } const
        filters[] = {
        {"nothing ticked off: every category", "", false, "Traffic", true},
        {"a ticked category", "Beach,Traffic", false, "traffic", true},
        {"an unticked category", "Beach", false, "Traffic", false},
        {"current webcam only ignores the categories", "Beach", true, "Traffic", true},
    };
    for (const auto &c : filters) {
        ShowSettings s;
        s.selectedCats = c.selected;
        s.selectedCatList = c.selected.split(',', Qt::SkipEmptyParts);
        s.currentOnly = c.currentOnly;
        EXPECT_EQ(InSelectedCategories(c.category, s), c.shown) << c.description;
    }

    const CamSchedule cam = ReadCamSchedule(
        QStringList{"General", "Harbour", "http://c/c.jpg", "", "00:05:00", "00:00:00", "00:00:00", "c.jpg",
                    "2026-12-06 11:00:00", "2026-12-06 11:02:03", "1", "1", "0"}.join("||"),
        Today + At(12));
    struct { bool time, refresh; QString caption; } const captions[] = {
        {false, false, "Harbour"},
        {true, false, "Harbour - 2026-12-06 11:02:03"},
        {false, true, "Harbour (00:05:00)"},
        {true, true, "Harbour - 2026-12-06 11:02:03 (00:05:00)"},
    };
    for (const auto &c : captions) {
        ShowSettings s;
        s.showTimeInCaption = c.time;
        s.showRefreshInCaption = c.refresh;
        EXPECT_EQ(CamCaption(cam, s), c.caption);
    }
}

TEST(SearchOrder, EachWebcamOnceInTheShowsOrder)
{
    const auto all = [](SearchOrder order) {
        QList<int> seen;
        for (int i = order.next(); i >= 0; i = order.next())
            seen << i;
        return seen;
    };
    const auto first = [](int) { return 0; };
    ShowSettings s;
    struct { const char *description; int current, count; bool held, followed, random; QList<int> order; } const
        cases[] = {
        {"from the one after current, wrapping", 1, 4, false, false, false, {2, 3, 0, 1}},
        {"before the first pick", -1, 3, false, false, false, {0, 1, 2}},
        {"a single webcam", -1, 1, false, false, false, {0}},
        {"a stored index beyond the end", 7, 3, false, false, false, {0, 1, 2}},
        {"held: that one only", 1, 4, true, false, false, {1}},
        {"held, a stored index at the end: from the first", 3, 3, true, false, false, {0, 1, 2}},
        {"followed: that one, then the others", 1, 4, false, true, false, {1, 2, 3, 0}},
        {"at random, without repeats", 0, 4, false, false, true, {0, 3, 2, 1}},
        {"followed at random", 2, 4, false, true, true, {2, 0, 3, 1}},
        {"empty", -1, 0, false, false, false, {}},
    };
    for (const auto &c : cases) {
        s.random = c.random;
        EXPECT_EQ(all(SearchOrder(c.current, c.count, c.held, c.followed, s, first)), c.order) << c.description;
    }
    s.random = false;
    s.currentOnly = true;
    s.selectedIndex = 2;
    EXPECT_EQ(all(SearchOrder(0, 4, false, false, s, first)), QList<int>{2}) << "the list's selection only";
    s.selectedIndex = 4;
    EXPECT_EQ(all(SearchOrder(0, 4, false, false, s, first)), QList<int>{}) << "a selection beyond the end: none";
}

} // namespace
