#include "catalogue/CatalogueFile.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"
#include "common/Subs.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace lumetta {

namespace {

[[noreturn]] void CannotCreate(const QString &path, const QString &reason)
{
    throw FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
}

void WriteAtomically(const QString &path, const QByteArray &data)
{
    const SaveResult saved = WriteFileAtomically(path, data);
    if (!saved.ok)
        CannotCreate(path, saved.reason);
}

} // namespace

QStringList SplitTextLines(const QByteArray &content)
{
    // Catalogues written by hand may be UTF-8 or a legacy 8-bit code page;
    // Latin-1 keeps every byte of the latter.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(content);
    if (utf8.hasError())
        text = QString::fromLatin1(content);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    const QChar *d = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const ushort c = d[i].unicode();
        if (c != '\r' && c != '\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == '\r' && i + 1 < n && d[i + 1].unicode() == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QByteArray JoinTextLines(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text.toUtf8();
}

void CreateCatalogueIfMissing(const QString &path)
{
    if (QFileInfo::exists(path))
        return;
    WriteAtomically(path, QByteArrayLiteral("\r\n"));
}

QStringList LoadCatalogue(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    return SplitTextLines(file.readAll());
}

void SaveCatalogue(const QString &path, const QStringList &lines)
{
    WriteAtomically(path, JoinTextLines(lines));
}

bool TrySaveCatalogue(const QString &path, const QStringList &lines)
{
    try {
        SaveCatalogue(path, lines);
        return true;
    } catch (const FileError &) {
        return false;
    }
}

bool BackupCatalogue(const QString &dataFile, const QString &backupFile)
{
    return CopyFileAtomically(dataFile, backupFile);
}

bool RestoreCatalogue(const QString &backupFile, const QString &dataFile)
{
    return CopyFileAtomically(backupFile, dataFile);
}

} // namespace lumetta
