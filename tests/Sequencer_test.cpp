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
    struct {
        TDateTime start, end, now;
        bool active;
    } const cases[] = {
        {At(8), At(18), Today + At(12), true},
        {At(8), At(18), Today + At(19), false},
        {At(22), At(6), Today + At(23), true},   // the window ends tomorrow 06:00
        {At(22), At(6), Today + At(5), true},    // it began yesterday 22:00
        {At(22), At(6), Today + At(12), false},
        {At(9), At(9), Today + At(3), true},     // equal times: all day
        {0, 0, Today + At(23, 59), true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsActiveNow(c.start, c.end, c.now), c.active) << FormatTimeText(c.start).toStdString() << "-"
                                                                 << FormatTimeText(c.end).toStdString() << " at "
                                                                 << FormatTimeText(c.now).toStdString();
}

QString Rec(const QString &refresh, const QString &window, const QString &lastDownload, const QString &lastModified,
            const QString &flags)
{
    const QStringList w = window.split('-');
    const QStringList f = flags.split(',');  // enabled, auto-adjust, show-last-image
    return QStringList{"General", "c", "http://c/c.jpg", "", refresh, w[0], w[1], "c.jpg", lastDownload,
                       lastModified, f[0], f[1], f[2]}
        .join("||");
}

TEST(DecideCam, DueTestsWindowsAndDisabledWebcams)
{
    const TDateTime now = Today + At(12);
    ShowSettings recheck;
    recheck.policy.checkDisabledCams = true;
    ShowSettings noLocal;
    noLocal.noLocalImages = true;
    ShowSettings viewOnly;
    viewOnly.viewOnly = true;
    const ShowSettings plain;
    struct {
        const char *description;
        QString line;
        ShowSettings settings;
        bool localFile;
        CamAction action;
    } const cases[] = {
        {"due", Rec("00:01:00", "00:00:00-00:00:00", "2026-12-06 11:00:00", "2026-12-06 11:00:00", "1,1,0"), plain,
         true, CamAction::Download},
        {"not due: the local copy", Rec("00:10:00", "00:00:00-00:00:00", "2026-12-06 11:59:00", "2026-12-06 11:55:00", "1,1,0"),
         plain, true, CamAction::ShowLocal},
        {"due, another show fetches: its picture", Rec("00:01:00", "00:00:00-00:00:00", "2026-12-06 11:00:00",
                                                       "2026-12-06 11:00:00", "1,1,0"), viewOnly, true, CamAction::ShowLocal},
        {"due, another show fetches, none saved yet", Rec("00:01:00", "00:00:00-00:00:00", "2026-12-06 11:00:00",
                                                          "2026-12-06 11:00:00", "1,1,0"), viewOnly, false, CamAction::Skip},
        {"not due without a local file: downloaded", Rec("00:10:00", "00:00:00-00:00:00", "2026-12-06 11:59:00",
                                                         "2026-12-06 11:55:00", "1,1,0"), plain, false, CamAction::Download},
        {"not due, local images off", Rec("00:10:00", "00:00:00-00:00:00", "2026-12-06 11:59:00", "2026-12-06 11:55:00", "1,1,0"),
         noLocal, true, CamAction::Skip},
        {"fixed interval counts from the last download", Rec("00:10:00", "00:00:00-00:00:00", "2026-12-06 11:55:00",
                                                             "2026-12-06 08:00:00", "1,0,0"), plain, true, CamAction::ShowLocal},
        {"zero refresh", Rec("00:00:00", "00:00:00-00:00:00", "2000-01-01", "2000-01-01", "1,1,0"), plain, true,
         CamAction::Skip},
        {"outside its window", Rec("00:01:00", "13:00:00-14:00:00", "2000-01-01", "2000-01-01", "1,1,0"), plain, true,
         CamAction::Skip},
        {"outside, showing the last image", Rec("00:01:00", "13:00:00-14:00:00", "2000-01-01", "2000-01-01", "1,1,1"),
         plain, false, CamAction::ShowLocal},
        {"disabled with a fixed interval", Rec("00:01:00", "00:00:00-00:00:00", "2000-01-01", "2000-01-01", "0,0,0"),
         recheck, true, CamAction::Skip},
        {"disabled, not re-checked", Rec("00:01:00", "00:00:00-00:00:00", "2000-01-01", "2000-01-01", "0,1,0"), plain,
         true, CamAction::Skip},
        {"disabled, re-check due", Rec("00:01:00", "00:00:00-00:00:00", "2026-12-05 11:00:00", "2000-01-01", "0,1,0"),
         recheck, true, CamAction::Download},
        {"disabled, re-checked today", Rec("00:01:00", "00:00:00-00:00:00", "2026-12-06 09:00:00", "2000-01-01", "0,1,0"),
         recheck, true, CamAction::Skip},
        // Once per display time (10 s) at most, unless it follows a fast webcam.
        {"tried 5 s ago: its copy", Rec("00:00:05", "00:00:00-00:00:00", "2026-12-06 11:59:55", "2026-12-06 11:50:00",
                                        "1,1,0"), plain, true, CamAction::ShowLocal},
        {"tried 5 s ago, no copy: not asked again", Rec("00:00:05", "00:00:00-00:00:00", "2026-12-06 11:59:55",
                                                        "2026-12-06 11:50:00", "1,1,0"), plain, false, CamAction::Skip},
        {"tried 10 s ago: due", Rec("00:00:05", "00:00:00-00:00:00", "2026-12-06 11:59:50", "2026-12-06 11:50:00",
                                    "1,1,0"), plain, false, CamAction::Download},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecideCam(ReadCamSchedule(c.line, now), c.settings, now, [&c] { return c.localFile; }), c.action)
            << c.description;
    const CamSchedule fast = ReadCamSchedule(
        Rec("00:00:05", "00:00:00-00:00:00", "2026-12-06 11:59:55", "2026-12-06 11:59:50", "1,1,0"), now);
    EXPECT_EQ(DecideCam(fast, plain, now, [] { return true; }, LastFetch{now - 5 * OneSecond, true}), CamAction::Download)
        << "a new picture 5 s ago from a 5 s webcam: followed";
    EXPECT_EQ(DecideCam(fast, plain, now, [] { return false; }, LastFetch{now - OneSecond, false}), CamAction::Skip)
        << "the same webcam unchanged a second ago";
}

TEST(PlanNextTick, NormalFollowAndFastModes)
{
    ShowSettings twenty;  // display 20 s, fast cams 30 s
    twenty.displaySeconds = 20;
    twenty.fastCamSeconds = 30;
    ShowSettings ten;
    ten.displaySeconds = 10;
    ShowSettings currentOnly;
    currentOnly.currentOnly = true;
    const auto state = [](bool follow, int refreshSecs, bool latched = false) {
        ShowState s;
        s.FollowCam = follow;
        s.CurrentRefresh = refreshSecs * OneSecond;
        s.FastCamLatched = latched;
        return s;
    };
    struct {
        const char *description;
        ShowState show;
        ShowSettings settings;
        int cameraTimer;
        int ssInterval;
        std::optional<int> newCameraTimer;
        QString mode;
    } const cases[] = {
        {"normal: the display time", state(false, 60), ten, 0, 10000, 0, "N"},
        {"6 s webcam, display 20 s: fast", state(true, 6), twenty, 0, 6000, 30000, "F"},
        {"fast again: the limit keeps running", state(true, 6, true), twenty, 30000, 6000, std::nullopt, ""},
        {"6 s webcam, display 10 s: follow", state(true, 6), ten, 0, 6000, 10000, "R"},
        {"4 s webcam raised to 5 s: 5 x 2 is not below 10", state(true, 5), ten, 0, 5000, 10000, "R"},
        {"current webcam only: at most a minute", state(false, 300), currentOnly, 0, 60000, std::nullopt, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        const TickPlan plan = PlanNextTick(c.show, c.settings, c.cameraTimer);
        EXPECT_EQ(plan.ssInterval, c.ssInterval);
        EXPECT_EQ(plan.cameraTimer, c.newCameraTimer);
        EXPECT_EQ(plan.mode, c.mode);
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
    struct {
        const char *description;
        int current, count;
        bool held, followed, random;
        QList<int> order;
    } const cases[] = {
        {"from the one after current, wrapping", 1, 4, false, false, false, {2, 3, 0, 1}},
        {"before the first pick", -1, 3, false, false, false, {0, 1, 2}},
        {"a stored index beyond the end", 7, 3, false, false, false, {0, 1, 2}},
        {"held: that one only", 1, 4, true, false, false, {1}},
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
}

} // namespace
