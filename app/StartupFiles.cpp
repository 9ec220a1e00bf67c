#include "app/StartupFiles.h"

#include "common/Subs.h"
#include "platform/Registry.h"
#include <QFile>
#include <QFileInfo>

namespace lumetta {

QString MainListPath()
{
    return QStringLiteral("/lists/webcams.lst");
}

QString AdultListPath()
{
    return QStringLiteral("/lists/adult.lst");
}

ListLocation ResolveListLocation(const QString &stored, const QString &defaultUrl)
{
    ListLocation location;
    QString shifted = stored;
    if (shifted.isEmpty()) {
        shifted = ShiftChars(defaultUrl, StoredTextShift);
        location.storeShifted = shifted;
    }
    location.url = ShiftChars(shifted, -StoredTextShift);
    return location;
}

bool RefreshInstalledCopy(const QString &program, const QString &installedCopy)
{
    const QFileInfo installed(installedCopy);
    const QFileInfo running(program);
    if (!installed.exists() || !running.exists())
        return false;
    const QDateTime stamp = running.lastModified();
    if (installed.lastModified() == stamp)
        return false;
    // The copy carries the program's time, so the next start leaves it alone.
    return CopyFileAtomically(program, installedCopy, stamp);
}

QString ReadLatin1File(const QString &path)
{
    // Far beyond any readme; a FIFO in its place must not hang the start.
    const FileRead read = ReadRegularFile(path, qint64(1) << 20);
    return read.bytes ? QString::fromLatin1(*read.bytes) : QString();
}

} // namespace lumetta
