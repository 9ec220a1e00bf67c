#include "slideshow/XScreenSaverPrefs.h"

#include "support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

const QString Home = "/home/u";
const QString Program = "/home/u/.local/share/lumetta/Lumetta.scr";
const QByteArray Ours = "\t\t\t\t\"Lumetta\" /home/u/.local/share/lumetta/Lumetta.scr /s\t\t\t    \\n\\\n";

// The shape the daemon's own settings tool writes; @PROGRAMS@, @MODE@ and
// @SELECTED@ are filled per case.
QByteArray Prefs(const QByteArray &programs, const QByteArray &mode = "random", const QByteArray &selected = "2")
{
    QByteArray text = "# XScreenSaver Preferences File\n"
                      "# Written by xscreensaver-settings 6.06 for u on Sun Dec  6 12:00:00 2026.\n\n"
                      "timeout:\t0:10:00\nmode:\t\t@MODE@\nselected:\t@SELECTED@   \n"
                      "textURL:\thttps://planet.debian.org/rss20.xml\n"
                      "programs:\t\t\t\t\t\t\t\t      \\\n@PROGRAMS@\n\npointerHysteresis:\t10\n";
    return text.replace("@PROGRAMS@", programs).replace("@MODE@", mode).replace("@SELECTED@", selected);
}

const QByteArray Maze = "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n";
const QByteArray Disabled = "- GL: \t\t\t\tsuperquadrics -root\t\t\t    \\n\\\n";
const QByteArray Named = "  GL: \t\t\t\t\"Gears\" gears -root\t\t\t    \\n\\\n";
// An earlier version's entry as xscreensaver-settings 6.06 rewrites it:
// wrapped at the blank inside its quotes.
const QByteArray Rewrapped = "\t\t     \"Lumetta\" \t'/home/u/.local/share/Korvane\t\t      \\\n"
                             "\t\t\t\t  Software/Lumetta.scr' /s\t\t    \\n\\\n";

// The command the daemon runs for Lumetta's entry: continued lines joined,
// entries split at "\n", the name in quotes taken off.
QByteArray DaemonCommand(QByteArray content)
{
    content.replace("\\\n", "");
    const qsizetype name = content.indexOf("\"Lumetta\"") + 9;
    return content.mid(name, content.indexOf("\\n", name) - name).trimmed();
}

} // namespace

// A damaged file or an unsafe path is left alone, and the problem says why.
TEST(XScreenSaverPrefs, AddsReplacesAndSelectsKeepingEveryOtherLine)
{
    const QByteArray otherPath = "\t\t\t\t\"Lumetta\" '/opt/old/Lumetta.scr' /s\t\t\t    \\n\\\n";
    const QByteArray byProgram = "-\t\t\t\t/opt/old/Lumetta.scr /s\t\t\t    \\n\\\n";
    struct {
        const char *description;
        QByteArray before, after;  // after empty: left alone
        int selected = -1;
        QString program = Program;
    } const cases[] = {
        {"absent: added after the last entry, disabled entries count",
         Prefs(Maze + Disabled + Named), Prefs(Maze + Disabled + Named + Ours, "one", "3"), 3},
        {"present with another path: replaced in place",
         Prefs(Maze + otherPath + Named), Prefs(Maze + Ours + Named, "one", "1"), 1},
        {"wrapped over two lines by the settings tool: replaced whole",
         Prefs(Maze + Rewrapped + Named), Prefs(Maze + Ours + Named, "one", "1"), 1},
        {"present by its program alone, disabled: replaced and enabled",
         Prefs(Disabled + byProgram), Prefs(Disabled + Ours, "one", "1"), 1},
        {"empty list", Prefs(""), Prefs(Ours, "one", "0"), 0},
        {"carriage returns kept",
         QByteArray("mode: random\r\nprograms: \\\r\n  maze -root \\n\\\r\n\r\nselected: 0\r\n"),
         QByteArray("mode: one\r\nprograms: \\\r\n  maze -root \\n\\\r\n") + QByteArray(Ours).replace("\n", "\r\n")
             + "\r\nselected: 1\r\n",
         1},
        {"no mode or selected, no last line end: both added",
         QByteArray("programs: \\\n  maze -root \\n\\\n\nlock: False"),
         QByteArray("programs: \\\n  maze -root \\n\\\n") + Ours + "\nlock: False\nmode:\t\tone\nselected:\t\t1\n", 1},
        {"a last entry without a backslash stays last",
         QByteArray("programs: \\\n  maze -root \\n\\\n  \"Lumetta\" /old/Lumetta.scr /s \\n\nmode: one\n"),
         QByteArray("programs: \\\n  maze -root \\n\\\n") + QByteArray(Ours).replace("\\n\\\n", "\\n\n")
             + "mode: one\nselected:\t\t1\n",
         1},
        {"no programs list", "timeout: 0:10:00\nmode: one\n", ""},
        {"programs list on one line", "programs: maze -root\n", ""},
        {"not text", QByteArray("programs: \\\n\0\0\0\n", 16), ""},
        {"our entry shares a line", "programs: \\\n maze -root \\n \"Lumetta\" x /s \\n\\\n\n", ""},
        {"last entry left open", "programs: \\\n maze -root \\\n\n", ""},
        {"mode over two lines", "mode: \\\n one\nprograms: \\\n maze \\n\\\n\n", ""},
        {"a file ending inside a value", "programs: \\\n maze \\n\\\n\n\nlock: \\", ""},
        {"a quote in the path", Prefs(Maze), "", -1, "/home/o'brien/Lumetta.scr"},
        {"a line break in the path", Prefs(Maze), "", -1, "/home/u/a\nb/Lumetta.scr"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        const XScreenSaverEdit edit = SelectInXScreenSaver(c.before, c.program, Home);
        EXPECT_EQ(edit.problem.isEmpty(), !c.after.isEmpty()) << edit.problem.toStdString();
        EXPECT_EQ(edit.content.toStdString(), c.after.toStdString());
        EXPECT_EQ(edit.selected, c.selected);
        // Selecting again changes nothing more.
        EXPECT_EQ(SelectInXScreenSaver(edit.content, Program, Home).content, edit.content);
    }
}


TEST(XScreenSaverPrefs, RemovalKeepsEveryOtherLine)
{
    const QByteArray lastOpen = "  \"Lumetta\" /old/Lumetta.scr /s \\n\n";
    struct {
        const char *description;
        QByteArray before, after;  // after empty: left as it was
        bool blanked, problem = false;
    } const cases[] = {
        {"the one chosen: the daemon blanks instead", Prefs(Maze + Ours + Named, "one", "1"),
         Prefs(Maze + Named, "blank", "1"), true},
        {"another chosen after it: still the same one", Prefs(Maze + Ours + Named, "one", "2"),
         Prefs(Maze + Named, "one", "1"), false},
        {"wrapped by the settings tool, random mode", Prefs(Rewrapped + Maze, "random", "1"),
         Prefs(Maze, "random", "0"), false},
        {"a last entry without a backslash: an empty line still ends the list",
         "programs: \\\n  maze \\n\\\n" + lastOpen + "mode: one\nselected: 0\n",
         "programs: \\\n  maze \\n\\\n\nmode: one\nselected: 0\n", false},
        {"not listed", Prefs(Maze + Named), "", false},
        {"no programs list", "mode: one\n", "", false},
        {"our entry shares a line: left alone, told why", "programs: \\\n maze -root \\n \"Lumetta\" x /s \\n\\\n\n", "",
         false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        const XScreenSaverRemoval removal = RemoveFromXScreenSaver(c.before);
        EXPECT_EQ(removal.content.toStdString(), c.after.toStdString());
        EXPECT_EQ(removal.blanked, c.blanked);
        EXPECT_EQ(removal.problem.isEmpty(), !c.problem) << removal.problem.toStdString();
    }
    // Lumetta's idle watcher stands down while the daemon runs Lumetta alone.
    struct { QByteArray prefs; bool selects; } const chosen[] = {
        {Prefs(Maze + Ours, "one", "1"), true},       {Prefs(Maze + Ours, "random", "1"), false},
        {Prefs(Maze + Ours, "one", "0"), false},      {Prefs(Maze + "-" + Ours, "one", "1"), false},
        {Prefs(Maze + Ours, "one", "2"), false},      {Prefs(Maze + Ours, "one", "-1"), false},
        {"mode: one\nselected: 0\n", false}};
    for (const auto &c : chosen)
        EXPECT_EQ(XScreenSaverSelectsLumetta(c.prefs), c.selects) << c.prefs.toStdString();
}

// The settings tool wraps long entries at any blank; the daemon must still
// find the program, and Install and Un-install must still find the entry.
// A home with a blank is the entry that leaves "$HOME" to the shell.
TEST(XScreenSaverPrefs, EntrySurvivesRewrappingAtEveryBlank)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/John Doe", program = home + "/.local/share/lumetta/Lumetta.scr";
    test::WriteAll(program, "#!/bin/sh\nprintf '%s\\n' \"$@\"\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);

    const QByteArray installed = SelectInXScreenSaver(Prefs(Maze + Named), program, home).content;
    const QByteArray entry = XScreenSaverEntry(program, home);
    ASSERT_TRUE(entry.contains("\"$HOME\"") && installed.contains(entry));
    QByteArray rewrapped = installed;
    rewrapped.replace(entry, QByteArray(entry).replace(" ", "\t\t      \\\n\t\t\t\t  "));

    QProcess sh;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    sh.setProcessEnvironment(environment);
    sh.start("/bin/sh", {"-c", QString::fromUtf8(DaemonCommand(rewrapped))});
    ASSERT_TRUE(sh.waitForFinished());
    EXPECT_EQ(sh.readAllStandardOutput(), "/s\n") << DaemonCommand(rewrapped).data();

    EXPECT_EQ(SelectInXScreenSaver(rewrapped, program, home).content, installed) << "re-Install repairs it";
    EXPECT_EQ(RemoveFromXScreenSaver(rewrapped).content, Prefs(Maze + Named, "blank", "2"));
}
