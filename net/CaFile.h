#pragma once
// An extra file of CA certificates (PEM) that https webcams on a private
// authority are checked against, besides the system's store.
#include <QList>
#include <QSslCertificate>
#include <QString>

namespace lumetta {

// No CA bundle comes near this; a larger file is refused unread.
inline constexpr qint64 MaxCaFileBytes = 4 << 20;

struct CaFile {
    QList<QSslCertificate> certificates;
    QString error;  // why the file gives none; empty when it gives some
};

// An empty path gives nothing and no error. The file is parsed again only
// when its path, size, modification time or inode changed.
CaFile ReadCaFile(const QString &path);

} // namespace lumetta
