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

// The "programs:" entry that runs program with "/s"; empty when the path
// cannot be written into the entry safely (a quote, a backslash, a control
// character).
QByteArray XScreenSaverEntry(const QString &program);

// Adds Lumetta's entry (or replaces the one it finds, by its name "Lumetta"
// or by a program called Lumetta.scr), then selects it alone: "mode: one",
// "selected:" its place.
XScreenSaverEdit SelectInXScreenSaver(const QByteArray &content, const QString &program);

} // namespace lumetta
