#pragma once
#include <QString>

namespace lumetta {

inline const QString AppTitle = QStringLiteral("Lumetta");

QString VersionString();   // four numbers, "1.0.0.1"
QString VersionComments();
QString VersionCopyright();

} // namespace lumetta
