#include "slideshow/ScreenSaverInstall.h"

#include "platform/Platform.h"
#include "platform/Registry.h"
#include "slideshow/AutostartEntry.h"
#include "slideshow/XScreenSaverPrefs.h"
#include "support/FakeShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

const QString LongMessageStart = "message: ScreenSaver | Screen saver installed successfully.\r\nTo select it: ";

class ScreenSaverInstallTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteAll(program, "new version"); }
    static QByteArray read(const QString &path) { return test::ReadAll(path); }

    test::TestEnv env;
    test::ScriptedDialogs dialogs;
    QString program = env.path() + "/bin/lumetta";
    QString prefs = env.userHome() + ".xscreensaver";
};

} // namespace

TEST_F(ScreenSaverInstallTest, InstallSelectsTheCopyWhereTheDesktopAllows)
{
    const QByteArray xscreensaver = "# kept\nmode: random\nselected: 4\nprograms: \\\n  maze -root \\n\\\n\nlock: False\n";
    struct {
        const char *description;
        QByteArray oldCopy, prefsBefore;  // empty: none, no ~/.xscreensaver
        bool storeWritable;
        QString message;  // start of the one message shown
        bool prefsChanged;
        QString ending = {};
        bool packaged = false;  // installed into a prefix: the entries run the program, no copy
    } const cases[] = {
        {"no XScreenSaver: Lumetta's idle watcher", {}, {}, true,
         "message: ScreenSaver | Screen saver installed successfully.\r\n\r\nXScreenSaver is not used here", false},
        {"over an older copy, with XScreenSaver", "old version", xscreensaver, true,
         "message: Screen saver installed successfully.", true},
        {"packaged, no XScreenSaver: the watcher runs the program", "old version", {}, true,
         "message: ScreenSaver | Screen saver installed successfully.\r\n\r\nXScreenSaver is not used here", false,
         "", true},
        {"packaged, with XScreenSaver: so does the daemon", "old version", xscreensaver, true,
         "message: Screen saver installed successfully.", true, "", true},
        {"damaged ~/.xscreensaver: left alone, told why", {}, "timeout: 0:10:00\n", true, LongMessageStart, false,
         "~/.xscreensaver was left as it was: it has no \"programs:\" list."},
        {"store cannot be written: copy stays, select by hand", {}, xscreensaver, false, LongMessageStart, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        test::TestEnv caseEnv;
        test::ScriptedDialogs caseDialogs;
        const QString casePrefs = caseEnv.userHome() + ".xscreensaver";
        if (!c.oldCopy.isEmpty())
            test::WriteAll(InstalledCopyPath(), c.oldCopy);
        if (!c.prefsBefore.isEmpty())
            test::WriteAll(casePrefs, c.prefsBefore);
        if (!c.storeWritable)
            QDir().mkpath(caseEnv.registryFile());  // a folder where the store file should be

        const QString share = env.path() + "/share/lumetta/readme.txt";
        QFile::remove(share);
        if (c.packaged)
            test::WriteAll(share, "help");
        const QString target = c.packaged ? program : InstalledCopyPath();

        InstallScreenSaver(caseDialogs, program);

        EXPECT_EQ(ScreenSaverTarget(program), target);
        EXPECT_EQ(read(InstalledCopyPath()), c.packaged ? "<missing>" : "new version");
        EXPECT_TRUE(QFileInfo(target).isExecutable() || c.packaged);
        EXPECT_EQ(read(AutostartEntryPath()).contains("\nTryExec=" + target.toUtf8() + "\nExec=\"" + target.toUtf8()),
                  c.prefsBefore.isEmpty());
        ASSERT_EQ(caseDialogs.asked.size(), 1);
        EXPECT_TRUE(caseDialogs.asked[0].startsWith(c.message) && caseDialogs.asked[0].endsWith(c.ending))
            << caseDialogs.asked[0].toStdString();
        if (c.message == LongMessageStart) {
            EXPECT_EQ(caseDialogs.lastIcon, MessageIcon::Information);
            EXPECT_TRUE(caseDialogs.asked[0].contains("xss-lock -- '" + target + "' /s"));
        }
        const auto stored = RegistryFile::load(RegistryFilePath()).value(DesktopKey, "SCRNSAVE.EXE");
        EXPECT_EQ(stored ? stored->text : "<absent>", c.storeWritable ? target : "<absent>");
        const QByteArray after = read(casePrefs);
        EXPECT_TRUE(c.prefsChanged ? after.contains(XScreenSaverEntry(target, QDir::homePath()))
                                   : after == (c.prefsBefore.isEmpty() ? "<missing>" : c.prefsBefore));
        if (c.packaged) {  // no copy: Un-install takes the entries away
            RemoveScreenSaver(caseDialogs, program);
            EXPECT_TRUE(caseDialogs.asked.value(1).contains("Screen saver removed successfully."));
            EXPECT_FALSE(QFile::exists(AutostartEntryPath()) || read(casePrefs).contains("Lumetta"));
        }
    }
}

// Without XScreenSaver: the autostart entry and the watcher, and nothing
// else in the folder, nor behind a link planted under the entry's name.
TEST_F(ScreenSaverInstallTest, IdleWatcherEntryComesAndGoesAlone)
{
    const QString folder = env.path() + "/config/autostart/";
    test::WriteAll(folder + "other.desktop", "[Desktop Entry]\nExec=other\n");
    test::WriteAll(env.path() + "/victim", "not ours");
    ASSERT_TRUE(QFile::link(env.path() + "/victim", AutostartEntryPath()));
    test::FakeShell shell;
    shell.startSucceeds = true;

    InstallScreenSaver(dialogs, program, &shell);
    const QString installed = InstalledCopyPath();
    EXPECT_TRUE(read(AutostartEntryPath()).contains("\nExec=\"" + installed.toUtf8() + "\" --idle\n"));
    EXPECT_EQ(shell.started, QStringList{installed + " --idle"});
    EXPECT_TRUE(dialogs.asked.value(0).contains("after 10 minute(s) without input")) << dialogs.asked.value(0).toStdString();

    RemoveScreenSaver(dialogs, program);
    EXPECT_TRUE(dialogs.asked.value(1).endsWith("idle watcher was stopped and no longer starts at login."));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"other.desktop"});
    EXPECT_EQ(read(folder + "other.desktop"), "[Desktop Entry]\nExec=other\n");
    EXPECT_EQ(read(env.path() + "/victim"), "not ours");

    // The Exec line a desktop entry needs, whatever the path.
    struct { QString program; QByteArray exec; } const cases[] = {
        {"/home/a b/Lumetta.scr", "Exec=\"/home/a b/Lumetta.scr\" --idle\n"},
        {"/x/\"q\"$HOME`x`", "Exec=\"/x/\\\\\"q\\\\\"\\\\$HOME\\\\`x\\\\`\" --idle\n"},
        {"/x/back\\slash", "Exec=\"/x/back\\\\\\\\slash\" --idle\n"},
        {"/x/new\nline", ""},
        {"/x/100%", ""},  // GLib refuses Exec="/x/100%%", though the format wants it so
    };
    for (const auto &c : cases) {
        const QByteArray entry = AutostartEntry(c.program);
        EXPECT_TRUE(c.exec.isEmpty() ? entry.isEmpty() : entry.contains("\n" + c.exec)) << entry.toStdString();
    }
    EXPECT_TRUE(WriteAutostartEntry("/x/100%").contains("holds a %") && !QFile::exists(AutostartEntryPath()));
    ASSERT_TRUE(QDir().mkpath(AutostartEntryPath()));
    EXPECT_NE(WriteAutostartEntry("/x/y"), QString()) << "an entry that could not be written says so";
}

// The entry's rewrites are XScreenSaverPrefs' rows; here Install moves an
// earlier version's copy to the new place, and Un-install says what it did.
TEST_F(ScreenSaverInstallTest, InstallOverAnEarlierVersionAndUninstall)
{
    qunsetenv("LUMETTA_WINDOWS_DIR");
    qputenv("XDG_DATA_HOME", (env.path() + "/data").toUtf8());
    const QString former = env.path() + "/data/Korvane Software/Lumetta.scr";
    test::WriteAll(former, "old version");
    test::WriteAll(prefs, "mode: one\nselected: 1\nprograms: \\\n  maze -root \\n\\\n"
                 "  \"Lumetta\" '" + former.toUtf8() + "' /s \\n\\\n\n");

    InstallScreenSaver(dialogs, program);
    const QString installed = env.path() + "/data/lumetta/Lumetta.scr";
    EXPECT_EQ(InstalledCopyPath(), installed);
    EXPECT_FALSE(QFile::exists(former)) << "the daemon runs the new copy";
    EXPECT_TRUE(read(prefs).contains(XScreenSaverEntry(installed, QDir::homePath())));
    EXPECT_FALSE(read(prefs).contains("Korvane"));

    dialogs.asked.clear();
    RemoveScreenSaver(dialogs, program);
    EXPECT_FALSE(read(prefs).contains("Lumetta"));
    EXPECT_FALSE(QFile::exists(installed));
    EXPECT_EQ(dialogs.asked, QStringList({"message: Screen Saver | Screen saver removed successfully.\r\n\r\n"
                                          "Lumetta was taken off XScreenSaver's list; XScreenSaver now blanks the "
                                          "screen instead."}));
    qunsetenv("XDG_DATA_HOME");
}

// An earlier Install's copy: the installed program takes over the entries
// at its first start; the copy goes once no entry runs it.
TEST_F(ScreenSaverInstallTest, InstalledProgramTakesOverTheCopysEntries)
{
    InstallScreenSaver(dialogs, program);
    const QString copy = InstalledCopyPath();
    EXPECT_FALSE(MoveScreenSaverToProgram(program, nullptr)) << "not installed: the copy stays its screen saver";
    test::WriteAll(env.path() + "/share/lumetta/readme.txt", "help");
    const QByteArray listed = "programs: \\\n  maze -root \\n\\\n  \"Lumetta\" '" + copy.toUtf8() + "' /s \\n\\\n\n";
    test::FakeShell shell;
    for (const QByteArray mode : {"mode: random\nselected: 1\n", "mode: one\nselected: 1\n"}) {
        test::WriteAll(prefs, mode + listed);
        EXPECT_TRUE(MoveScreenSaverToProgram(program, &shell) || mode.contains("random"));
        EXPECT_TRUE(read(AutostartEntryPath()).contains("Exec=\"" + program.toUtf8() + "\" --idle"));
        EXPECT_EQ(read(prefs).contains(XScreenSaverEntry(program, QDir::homePath())), !mode.contains("random"));
        EXPECT_EQ(QFile::exists(copy), mode.contains("random")) << "a daemon choosing at random still runs the copy";
    }
    EXPECT_EQ(shell.started, QStringList{program + " --idle"});
    EXPECT_FALSE(MoveScreenSaverToProgram(program, &shell)) << "moved once";
}

TEST_F(ScreenSaverInstallTest, OfflineSaverStartsAsItsKindExpects)
{
    const QString hacks = env.path() + "/libexec/xscreensaver";
    QDir().mkpath(hacks);
    QFile::link(hacks, env.path() + "/lib-xscreensaver");
    const QStringList folders{hacks + "/"};
    struct { const char *description; QString program; QStringList arguments; } const cases[] = {
        {"one of XScreenSaver's programs: as the daemon starts it", hacks + "/maze", {"--root"}},
        {"through a linked folder", env.path() + "/lib-xscreensaver/maze", {"--root"}},
        {"a screen saver of its own", env.path() + "/bin/other.scr", {"/s"}},
        {"in a folder below XScreenSaver's", hacks + "/sub/maze", {"/s"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(OfflineSaverArguments(c.program, folders), c.arguments) << c.description;
}

TEST_F(ScreenSaverInstallTest, DeleteRegistryEntries)
{
    const QString question = "ask: Warning | You are about to delete the registry entries.\r\nYou webcam data "
                             "WILL NOT be affected.\r\n\r\nAre you sure you want to continue?";
    const QString deleted = "message: Registry Key Software\\Korvane Software\\Lumetta has been deleted";
    struct {
        const char *description;
        bool storeHasSettings;
        DialogButton answer;
        QStringList asked;
        int beeps;
        bool settingsLeft;
    } const cases[] = {
        {"cancelled", true, DialogButton::Cancel, {question}, 0, true},
        {"confirmed", true, DialogButton::Ok, {question, deleted}, 1, false},
        {"nothing stored: nothing shown", false, DialogButton::Ok, {question}, 0, false},
    };
    for (const auto &c : cases) {
        test::TestEnv caseEnv;
        test::ScriptedDialogs caseDialogs;
        WriteRegString(DesktopKey, "SCRNSAVE.EXE", "/x/Lumetta.scr");
        if (c.storeHasSettings)
            WriteRegInteger(LumettaKey, "SSInterval", 9);
        caseDialogs.setNextAnswer(c.answer);
        DeleteRegistryEntries(caseDialogs);
        EXPECT_EQ(caseDialogs.asked, c.asked) << c.description;
        EXPECT_EQ(caseDialogs.beeps, c.beeps) << c.description;
        EXPECT_EQ(RegKeyExists(LumettaKey), c.settingsLeft) << c.description;
        EXPECT_EQ(ReadRegString(DesktopKey, "SCRNSAVE.EXE", ""), "/x/Lumetta.scr") << c.description;
    }
}
