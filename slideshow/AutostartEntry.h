#pragma once
// The desktop entry in ~/.config/autostart that starts the idle watcher at
// each login, for desktops that take no screen saver of ours.
#include <QByteArray>
#include <QString>

namespace lumetta {

// $XDG_CONFIG_HOME/autostart/lumetta-idle.desktop (~/.config when unset).
QString AutostartEntryPath();

// The entry running "program --idle"; empty when the path cannot stand in
// an Exec line (a control character, or a %: the format wants it written %%,
// and GLib's launchers look for the program under that spelling and refuse
// the entry).
QByteArray AutostartEntry(const QString &program);

// Writes the entry whole or leaves what was there; a link planted under its
// name is replaced, never written through. Empty on success, else why not.
[[nodiscard]] QString WriteAutostartEntry(const QString &program);

// True when there was an entry and it is gone.
bool RemoveAutostartEntry();

} // namespace lumetta
