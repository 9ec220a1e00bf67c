#include "download/DebugLog.h"

#include "common/Errors.h"

#include <QFile>

namespace lumetta {

void WriteTextFile(const QString &fileName, const QString &text)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    const QByteArray data = text.toUtf8() + "\r\n";
    if (file.write(data) != data.size() || !file.flush())
        throw FileError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}

void DebugLog::step(const QString &message) const
{
    if (m_debugMode && m_debugMode())
        WriteTextFile(fileName(), message);
}

} // namespace lumetta
