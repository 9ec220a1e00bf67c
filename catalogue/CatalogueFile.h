#pragma once
// The catalogue file: one record per line, CR LF after every line; read with
// CR LF, LF or CR line ends. Saved through a temporary file and a rename.
#include "common/AtomicFile.h"

#include <QString>
#include <QStringList>

namespace lumetta {

inline const QString DataFileBaseName = QStringLiteral("lumetta.dat");
inline const QString BackupFileBaseName = QStringLiteral("Backup-lumetta.dat");

// Far beyond 100,000 webcams; a larger file is refused unread.
inline constexpr qint64 MaxCatalogueBytes = qint64(256) << 20;

// Creates a missing file as one empty line (CR LF). Raises FileError.
void CreateCatalogueIfMissing(const QString &path);
// Raises FileError "Cannot open file "%s". %s", also for anything but a
// regular file (the file or its backup is the user's to name).
QStringList LoadCatalogue(const QString &path);
// Raises FileError "Cannot create file "%s". %s"; the old file stays whole.
void SaveCatalogue(const QString &path, const QStringList &lines);
// The same, reporting instead of raising (editor write-back, download engine).
[[nodiscard]] bool TrySaveCatalogue(const QString &path, const QStringList &lines);
[[nodiscard]] SaveResult WriteCatalogue(const QString &path, const QStringList &lines);
// "Cannot create file "%s". %s"
[[noreturn]] void RaiseCannotCreate(const QString &path, const QString &reason);

QStringList SplitTextLines(const QByteArray &content);
QByteArray JoinTextLines(const QStringList &lines);

// Copy with overwrite; the target is replaced atomically.
[[nodiscard]] bool BackupCatalogue(const QString &dataFile, const QString &backupFile);
[[nodiscard]] bool RestoreCatalogue(const QString &backupFile, const QString &dataFile);

} // namespace lumetta
