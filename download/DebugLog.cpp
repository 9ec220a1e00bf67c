#include "download/DebugLog.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"

namespace lumetta {

void WriteTextFile(const QString &fileName, const QString &text)
{
    // Replaced whole, so a failed write keeps the last step's name.
    const SaveResult saved = WriteFileAtomically(fileName, text.toUtf8() + "\r\n");
    if (!saved.ok)
        throw FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, saved.reason));
}

void DebugLog::step(const QString &message) const
{
    if (m_debugMode && m_debugMode())
        WriteTextFile(fileName(), message);
}

} // namespace lumetta
