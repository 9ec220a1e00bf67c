#include "platform/Platform.h"
#include "platform/SingleInstance.h"
#include "common/Errors.h"
#include "platform/Guarded.h"
#include "platform/Timer.h"
#include "support/TestEnv.h"
#include "support/TestTime.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

TEST(Timer, IntervalZeroOrDisabledMeansStoppedAndHandlerErrorsAreShown)
{
    TestTimeSource time;
    Timer timer(time);
    int fired = 0;
    timer.OnTimer = [&] { ++fired; };
    const struct { std::function<void()> change; int advance, fired; const char *what; } steps[] = {
        {[] {}, 1000, 0, "interval 0 never fires"},
        {[&] { timer.setInterval(5); }, 12, 2, "fires every interval"},
        {[&] { timer.setEnabled(false); }, 100, 2, "disabled"},
        {[&] { timer.setEnabled(true); }, 4, 2, "enabling starts a whole interval"},
        {[] {}, 1, 3, "and fires at its end"},
        {[&] { timer.setInterval(-5); }, 100, 3, "a negative interval stops it"},
        {[&] { timer.setInterval(5); }, 5, 4, "and a positive one starts it again"},
        {[&] { timer.setInterval(0); }, 100, 4, "interval 0 stops it"},
    };
    for (const auto &s : steps) {
        s.change();
        time.advance(s.advance);
        EXPECT_EQ(fired, s.fired) << s.what;
    }

    QStringList shown;
    ScopedErrorSink sink([&](const QString &m) { shown << m; });
    timer.OnTimer = [] { throw FileError(QStringLiteral("Cannot write debug.log")); };
    timer.setInterval(10);
    time.advance(20);
    EXPECT_EQ(shown, QStringList(2, "Cannot write debug.log")) << "the timer goes on after each error";
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstEnds)
{
    test::TestEnv env;
    auto first = std::make_unique<SingleInstance>();
    EXPECT_EQ(first->lockPath(), env.path() + "/Lumetta_MUTEX");
    ASSERT_TRUE(first->acquire());
    EXPECT_FALSE(SingleInstance().acquire());
    first.reset();
    EXPECT_TRUE(SingleInstance().acquire()) << "the lock goes with its holder";
}

TEST(VendorSite, EnvironmentWinsAndLosesItsTrailingSlash)
{
    qputenv("LUMETTA_SITE", "http://127.0.0.1:8080//");
    EXPECT_EQ(VendorSite(), QString("http://127.0.0.1:8080"));
    qunsetenv("LUMETTA_SITE");
    EXPECT_EQ(VendorSite(), QString("http://www.korvane.example"));
}

TEST(ScreenSaverDaemonWindow, ReadsTheDaemonsWindowOrNone)
{
    const std::pair<const char *, quintptr> cases[] = {  // nullptr: unset
        {"0x3a00007", 0x3a00007}, {"60817415", 60817415}, {" 0x10 ", 0x10}, {"", 0}, {"window", 0}, {nullptr, 0},
    };
    for (const auto &[value, id] : cases) {
        if (value)
            qputenv("XSCREENSAVER_WINDOW", value);
        else
            qunsetenv("XSCREENSAVER_WINDOW");
        EXPECT_EQ(ScreenSaverDaemonWindow(), id) << (value ? value : "unset");
    }
}

TEST(AppPath, ResolutionOrder)
{
    test::TestEnv env;
    EXPECT_EQ(ResolveAppPath("/usr/bin"), env.home()) << "LUMETTA_HOME wins";
    EXPECT_TRUE(QDir(env.home()).exists());

    qunsetenv("LUMETTA_HOME");
    QDir().mkpath(env.path() + "/portable");
    EXPECT_EQ(ResolveAppPath(env.path() + "/portable"), env.path() + "/portable/") << "writable program folder";

    qputenv("XDG_DATA_HOME", (env.path() + "/data").toUtf8());
    EXPECT_EQ(ResolveAppPath(env.path() + "/no-such-folder"), env.path() + "/data/Lumetta/");
    EXPECT_EQ(WindowsFolder(), env.path() + "/windows/");
    EXPECT_EQ(FormerWindowsFolder(), "");
    qunsetenv("LUMETTA_WINDOWS_DIR");
    EXPECT_EQ(WindowsFolder(), env.path() + "/data/lumetta/");
    EXPECT_EQ(FormerWindowsFolder(), env.path() + "/data/Korvane Software/");
    qunsetenv("XDG_DATA_HOME");
}

} // namespace
