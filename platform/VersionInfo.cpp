#include "platform/VersionInfo.h"

#include "Version.h"

namespace lumetta {

QString VersionString()
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(version::Major).arg(version::Minor).arg(version::Release).arg(version::Build);
}

QString VersionComments()
{
    return QString::fromUtf8(version::Comments);
}

QString VersionCopyright()
{
    return QString::fromUtf8(version::LegalCopyright);
}

} // namespace lumetta
