#include "net/CaFile.h"

#include <QFile>

namespace lumetta {

CaFile ReadCaFile(const QString &path)
{
    CaFile out;
    if (path.trimmed().isEmpty())
        return out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = QStringLiteral("CA file \"%1\" cannot be read: %2").arg(path, file.errorString());
        return out;
    }
    if (file.size() > MaxCaFileBytes) {
        out.error = QStringLiteral("CA file \"%1\" is larger than %2 MB").arg(path).arg(MaxCaFileBytes >> 20);
        return out;
    }
    out.certificates = QSslCertificate::fromData(file.read(MaxCaFileBytes), QSsl::Pem);
    if (out.certificates.isEmpty())
        out.error = QStringLiteral("CA file \"%1\" holds no PEM certificate").arg(path);
    return out;
}

} // namespace lumetta
