#include "platform/Platform.h"
#include "platform/SingleInstance.h"
#include "platform/Timer.h"
#include "platform/VersionInfo.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

// Runs the event loop until the condition holds or the limit passes.
bool WaitFor(const std::function<bool()> &condition, int limitMs = 5000)
{
    QEventLoop loop;
    QTimer poll, limit;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] { if (condition()) loop.quit(); });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(1);
    limit.start(limitMs);
    if (!condition())
        loop.exec();
    return condition();
}

void Pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(Timer, IntervalZeroOrDisabledMeansStopped)
{
    Timer timer;
    int fired = 0;
    timer.OnTimer = [&] { ++fired; };
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 0);
    Pump(30);
    EXPECT_EQ(fired, 0) << "interval 0 never fires";

    timer.setInterval(5);
    EXPECT_TRUE(WaitFor([&] { return fired >= 2; })) << "fires repeatedly";

    timer.setEnabled(false);
    const int seen = fired;
    Pump(40);
    EXPECT_EQ(fired, seen) << "disabled";

    timer.setEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return fired > seen; })) << "enabled again with its interval";
    timer.setInterval(0);
    const int stoppedAt = fired;
    Pump(40);
    EXPECT_EQ(fired, stoppedAt);
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstEnds)
{
    test::TestEnv env;
    auto first = std::make_unique<SingleInstance>();
    EXPECT_TRUE(first->lockPath().startsWith(env.path()));
    EXPECT_TRUE(first->lockPath().endsWith("/Lumetta_MUTEX"));
    ASSERT_TRUE(first->acquire());
    {
        SingleInstance second;
        EXPECT_FALSE(second.acquire());
    }
    first.reset();
    SingleInstance third;
    EXPECT_TRUE(third.acquire()) << "the lock goes with its holder";
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
    qunsetenv("LUMETTA_WINDOWS_DIR");
    EXPECT_EQ(WindowsFolder(), env.path() + "/data/Korvane Software/");
    qunsetenv("XDG_DATA_HOME");
}

TEST(VersionInfo, FourNumbersAndACaptionOfThree)
{
    const QStringList parts = VersionString().split('.');
    ASSERT_EQ(parts.size(), 4);
    for (const QString &p : parts) {
        bool ok = false;
        p.toInt(&ok);
        EXPECT_TRUE(ok) << p.toStdString();
    }
    EXPECT_EQ(CaptionVersion(), parts.mid(0, 3).join('.'));
    EXPECT_FALSE(VersionCopyright().isEmpty());
    EXPECT_FALSE(VersionComments().isEmpty());
}

} // namespace
