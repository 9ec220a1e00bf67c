#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/SingleInstance.h"
#include "common/Errors.h"
#include "platform/Guarded.h"
#include "platform/Timer.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/TestTime.h"

#include <QDir>
#include <QProcess>
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

    // A holder asked to end (a watcher Install replaces) lets go.
    SingleInstance idle("Lumetta_IDLE");
    QProcess holder;
    holder.start("sh", {"-c", "exec 9>\"$0\"; flock 9; echo $$ >\"$0\"; echo held; exec sleep 60", idle.lockPath()});
    ASSERT_TRUE(holder.waitForReadyRead(10'000));
    EXPECT_FALSE(SingleInstance("Lumetta_IDLE").acquire());
    EXPECT_TRUE(idle.endHolder(10'000));
    EXPECT_TRUE(holder.waitForFinished(10'000));
    EXPECT_EQ(holder.exitStatus(), QProcess::CrashExit) << "ended by the signal";
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

// The files each row has: an installed program's readme, a build tree's
// cache, a portable marker, catalogues.
TEST(AppPath, ChooseProgramFolder)
{
    const QString data = "/h/.local/share/Lumetta/", usr = "/usr/bin/", local = "/h/.local/bin/";
    const QStringList installedFiles{"/usr/bin/../share/lumetta/readme.txt", "/h/.local/bin/../share/lumetta/readme.txt"};
    struct {
        const char *description;
        QString home, exe, stored;
        QStringList files, readOnly;
        QString folder, importFrom = {};
    } const cases[] = {
        {"LUMETTA_HOME wins", "/x", usr, "", installedFiles, {}, "/x/"},
        {"root runs the package: home, not /usr/bin", "", "/usr/bin", "", installedFiles, {}, data},
        {"root's earlier catalogue in /usr/bin is taken home", "", usr, usr,
         installedFiles + QStringList{"/usr/bin/lumetta.dat"}, {}, data, usr},
        {"from the package to ~/.local: one folder", "", local, data, installedFiles + QStringList{data + "lumetta.dat"},
         {}, data},
        {"a stored portable folder with the user's catalogue stays", "", local, "/p/", installedFiles +
         QStringList{"/p/lumetta.dat"}, {}, "/p/"},
        {"... unless home has one already", "", local, "/p", installedFiles +
         QStringList{"/p/lumetta.dat", data + "lumetta.dat"}, {}, data},
        {"... or it cannot be written: copied home", "", local, "/p/", installedFiles + QStringList{"/p/lumetta.dat"},
         {"/p/"}, data, "/p/"},
        {"a stored folder without a catalogue is left", "", local, "/p/", installedFiles, {}, data},
        {"a build tree keeps its files beside it", "", "/src/build", "", {"/src/build/CMakeCache.txt"}, {},
         "/src/build/"},
        {"... also a tool one folder down", "", "/src/build/tools", "", {"/src/build/tools/../CMakeCache.txt"}, {},
         "/src/build/tools/"},
        {"... unless it cannot be written", "", "/src/build", "", {"/src/build/CMakeCache.txt"}, {"/src/build"},
         data},
        {"a folder marked portable", "", "/opt/lum", "", {"/opt/lum/lumetta.portable"}, {}, "/opt/lum/"},
        {"the marker wins over an install", "", usr, "", installedFiles + QStringList{"/usr/bin/lumetta.portable"}, {},
         usr},
        {"any other copy: home", "", "/opt/lum", "", {}, {}, data},
    };
    for (const auto &c : cases) {
        ProgramFolderFacts facts{c.home, c.exe, data, c.stored,
                                 [&c](const QString &f) { return c.files.contains(f); },
                                 [&c](const QString &d) { return !c.readOnly.contains(d); }};
        const ProgramFolderChoice choice = ChooseProgramFolder(facts);
        EXPECT_EQ(choice.folder, c.folder) << c.description;
        EXPECT_EQ(choice.importFrom, c.importFrom) << c.description;
    }
}

TEST(AppPath, ResolutionOrder)
{
    test::TestEnv env;
    EXPECT_EQ(ResolveAppPath("/usr/bin"), env.home()) << "LUMETTA_HOME wins";
    EXPECT_TRUE(QDir(env.home()).exists());

    // An installed program takes over the catalogue root left in its folder.
    qunsetenv("LUMETTA_HOME");
    qputenv("XDG_DATA_HOME", (env.path() + "/data").toUtf8());
    test::WriteAll(env.path() + "/share/lumetta/readme.txt", "help");
    test::WriteAll(env.path() + "/bin/lumetta.dat", "cams");
    EXPECT_EQ(ResolveAppPath(env.path() + "/bin", env.path() + "/bin/"), env.path() + "/data/Lumetta/");
    EXPECT_EQ(test::ReadAll(env.path() + "/data/Lumetta/lumetta.dat"), "cams");
    EXPECT_TRUE(RunsInstalled(env.path() + "/bin"));
    EXPECT_EQ(InstalledShareFolder(env.path() + "/bin"), env.path() + "/bin/../share/lumetta/");
    EXPECT_EQ(WindowsFolder(), env.path() + "/windows/");
    EXPECT_EQ(FormerWindowsFolder(), "");
    qunsetenv("LUMETTA_WINDOWS_DIR");
    EXPECT_EQ(WindowsFolder(), env.path() + "/data/lumetta/");
    EXPECT_EQ(FormerWindowsFolder(), env.path() + "/data/Korvane Software/");
    qunsetenv("XDG_DATA_HOME");
}

} // namespace
