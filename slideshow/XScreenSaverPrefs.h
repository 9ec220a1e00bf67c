#pragma once
// Lumetta's entry in XScreenSaver's preferences file (~/.xscreensaver). The
// file is X resources text: "name: value" lines, a value going on over the
// next line while its line ends with a backslash; "programs:" holds the
// screen savers, separated by "\n". The daemon rereads the file when it
// changes. Every line that is not Lumetta's own stays byte for byte.
#include <QByteArray>
#include <QString>

namespace lumetta {

// ~/.xscreensaver, through a symbolic link to where it really lives.
QString XScreenSaverPrefsFile();

struct XScreenSaverEdit {
    QByteArray content;  // the new file; empty when it must stay as it was
    QString problem;     // why it stays as it was
    int selected = -1;   // Lumetta's place in the "programs:" list
};

// The "programs:" entry that runs program with "/s", with no blank that the
// settings tool could wrap when neither the path below home has one; empty
// when the path cannot be written into the entry safely (a quote, a
// backslash, a control character).
QByteArray XScreenSaverEntry(const QString &program, QString home);

// Adds Lumetta's entry (or replaces the one it finds, by its name "Lumetta"
// or by a program called Lumetta.scr, however many lines it runs over),
// then selects it alone: "mode: one", "selected:" its place.
XScreenSaverEdit SelectInXScreenSaver(const QByteArray &content, const QString &program, const QString &home);

struct XScreenSaverRemoval {
    QByteArray content;    // the new file; empty when it stays as it was
    QString problem;       // why a listed Lumetta stays listed
    bool blanked = false;  // Lumetta was the one screen saver: now "mode: blank"
};

// Takes every Lumetta entry out of the "programs:" list. The "selected:"
// place follows the entries that move up; when Lumetta alone was chosen,
// the daemon blanks the screen instead.
XScreenSaverRemoval RemoveFromXScreenSaver(const QByteArray &content);

// The daemon runs Lumetta alone: "mode: one" and "selected:" names a
// Lumetta entry that is switched on.
bool XScreenSaverSelectsLumetta(const QByteArray &content);

} // namespace lumetta
