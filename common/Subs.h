#pragma once
// The helper unit: text, header, date and file helpers with the exact edge
// behaviour the download engine relies on. Text positions count from 1;
// 0 means not found.
#include "common/AtomicFile.h"
#include "common/DateTime.h"
#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

namespace lumetta {

// The value of a hexadecimal digit, or -1 for any other character.
inline int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int CountText(const QString &text, const QString &sub);
int LastPos(const QString &text, const QString &sub);
QString ReplaceAll(const QString &text, const QString &oldText, const QString &newText);

// At most MaxFields fields are held; fields the text lacks read as empty.
class SplitResult {
public:
    static constexpr int MaxFields = 19;
    // The number of fields the text has (separators + 1); -1 for an empty separator.
    int count = 0;
    QString field(int k) const;  // 1-based
    QStringList held;            // at most MaxFields
};
SplitResult SplitFields(const QString &text, const QString &separator);

QString NormalizeBlanks(const QString &text);
// Appends our path separator unless present; empty stays empty.
QString AddBackslash(const QString &path);
// Folder text with exactly one trailing '/'.
QString WithTrailingSlash(const QString &folder);
bool IsNumber(const QString &text);
bool IsDateTime(const QString &text);
QString EncodeQueryValue(const QString &text);

// The link a browser may be given: an absolute http or https URL with a
// host. Links come from servers, lists and the catalogue, so anything else
// (a local file, a share, another program's scheme) is never opened.
std::optional<QUrl> WebLink(const QString &text);

// Files a user names or a server can fill are opened without blocking and
// refused unless they are regular files: a FIFO (or a link to one) would
// hang the run in open(), a device would stream for ever.
struct FileRead {
    std::optional<QByteArray> bytes;  // the whole file
    QString error;                    // why not: the system's text or our own
};
// Refuse: a link in the file's own place is not followed (our own files
// beside the pictures, which a link could redirect).
enum class FileLinks { Follow, Refuse };
[[nodiscard]] FileRead ReadRegularFile(const QString &path, qint64 maxBytes, FileLinks links = FileLinks::Follow);
// The same opening, for reading in pieces; false with the reason.
[[nodiscard]] bool OpenRegularFile(QFile &file, const QString &path, QString &reason,
                                   FileLinks links = FileLinks::Follow);

// 0 when the file does not exist.
qint64 FileSizeOf(const QString &fileName);
// Sizes first, then streamed; never holds a whole file. Raises FileError
// when an existing file cannot be read; a missing file equals nothing.
bool FilesEqual(const QString &fileA, const QString &fileB);

// Copy with overwrite; the destination is replaced only once the whole copy
// is on disk, so a failed copy leaves the old file in place. A valid
// modified time is given to the copy.
[[nodiscard]] bool CopyFileAtomically(const QString &source, const QString &destination,
                                      const QDateTime &modified = QDateTime(),
                                      ExistingLink links = ExistingLink::Follow);

// Minutes to add to local time to get UTC, from the system's zone data now.
int TimeZoneBias();
TDateTime UtcToLocal(TDateTime t, int biasMinutes = TimeZoneBias());

// The value of a "Date" or "Last-Modified" header as local time. Raises
// ConvertError on a text it cannot read.
TDateTime ParseHttpDate(const QString &text, int biasMinutes = TimeZoneBias());

// Case-insensitive lookup in received header lines, up to the first empty
// line; continuation lines join with a blank, repeats with ",".
QString GetHeaderValue(const QString &name, const QStringList &headerLines);

// Whether any of the texts is wider than limit pixels. Each text is first
// estimated from the advances of its characters, so only the few that may
// not fit are measured whole; a list of 100,000 names is decided in
// milliseconds. Text with characters that shape together (past U+02FF) is
// always measured whole.
bool AnyTextWiderThan(const QList<QString> &texts, int limit, const std::function<int(QChar)> &charAdvance,
                      const std::function<int(const QString &)> &textAdvance);

} // namespace lumetta
