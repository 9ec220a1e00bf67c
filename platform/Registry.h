#pragma once
// The per-user settings store: named, typed values under keys, kept in one
// REGEDIT4 text file. Every write is on disk, atomically, when it returns.
// The file is read once and kept; it is read again only when it changed on
// disk, and a write that changes nothing does not touch it.
#include "platform/RegistryFile.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace lumetta {

inline const QString LumettaKey = QStringLiteral("Software\\Korvane Software\\Lumetta");  // untranslated: a key
inline const QString DesktopKey = QStringLiteral("Control Panel\\Desktop");               // untranslated: a key

// Colours are stored as Windows keeps them: red in the low byte.
QColor ColorFromStored(int value);
int ColorToStored(const QColor &color);

// $LUMETTA_REGISTRY, else $XDG_CONFIG_HOME/Korvane Software/user.reg.
QString RegistryFilePath();

// Missing key or value gives the default; a value of another type raises
// "Invalid data type for '%s'".
QString ReadRegString(const QString &key, const QString &name, const QString &defaultValue);
int ReadRegInteger(const QString &key, const QString &name, int defaultValue);
bool ReadRegBool(const QString &key, const QString &name, bool defaultValue);

// Raise "Failed to set data for '%s'" when the store cannot be written; the
// file is then as it was. A file that is no store at all is first kept
// beside it, as user.reg.bad (or .bad1, .bad2, ...).
void WriteRegString(const QString &key, const QString &name, const QString &value);
void WriteRegInteger(const QString &key, const QString &name, int value);
void WriteRegBool(const QString &key, const QString &name, bool value);

// Removes the key, its values and every key below it; false when the store
// cannot be written. A missing key counts as deleted.
[[nodiscard]] bool DeleteRegKey(const QString &key);
[[nodiscard]] bool RegKeyExists(const QString &key);

// Each character's 8-bit code c becomes (c + delta) mod 256.
QString ShiftChars(const QString &text, int delta);

// The list locations and the stored advertisement link are kept shifted by
// this amount so the store does not show them at a glance ("L1", "L2", "Xau").
inline constexpr int StoredTextShift = 3;

} // namespace lumetta
