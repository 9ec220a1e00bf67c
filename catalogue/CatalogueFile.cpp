#include "catalogue/CatalogueFile.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"
#include "common/Subs.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QCoreApplication>

namespace lumetta {

void RaiseCannotCreate(const QString &path, const QString &reason)
{
    throw FileError(QCoreApplication::translate("CatalogueFile", "Cannot create file \"%1\". %2").arg(path, reason));
}

namespace {

void WriteAtomically(const QString &path, const QByteArray &data)
{
    const SaveResult saved = WriteFileAtomically(path, data);
    if (!saved.ok)
        RaiseCannotCreate(path, saved.reason);
}

} // namespace

namespace {

template <typename Text, typename Piece>
void SplitAtLineEnds(const Text &text, QList<Piece> &pieces)
{
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = text.at(i);
        if (c != '\r' && c != '\n')
            continue;
        pieces.append(text.sliced(start, i - start));
        if (c == '\r' && i + 1 < n && text.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        pieces.append(text.sliced(start));
}

} // namespace

QStringList SplitTextLines(const QByteArray &content)
{
    QByteArrayView bytes(content);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);

    QStringList lines;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        SplitAtLineEnds(text, lines);
        return lines;
    }
    // Catalogues edited by hand may mix UTF-8 lines with lines in a legacy
    // 8-bit code page: each line is read on its own, and Latin-1 keeps
    // every byte of the latter.
    QList<QByteArrayView> raw;
    SplitAtLineEnds(bytes, raw);
    lines.reserve(raw.size());
    for (const QByteArrayView line : raw) {
        QStringDecoder lineDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString decoded = lineDecoder.decode(line);
        lines.append(lineDecoder.hasError() ? QString::fromLatin1(line) : std::move(decoded));
    }
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
    const FileRead read = ReadRegularFile(path, MaxCatalogueBytes);
    if (!read.bytes)
        throw FileError(
            QCoreApplication::translate("CatalogueFile", "Cannot open file \"%1\". %2").arg(path, read.error));
    return SplitTextLines(*read.bytes);
}

void SaveCatalogue(const QString &path, const QStringList &lines)
{
    WriteAtomically(path, JoinTextLines(lines));
}

bool TrySaveCatalogue(const QString &path, const QStringList &lines)
{
    return WriteCatalogue(path, lines).ok;
}

SaveResult WriteCatalogue(const QString &path, const QStringList &lines)
{
    return WriteFileAtomically(path, JoinTextLines(lines));
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
