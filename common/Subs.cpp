#include "common/Subs.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetta {

int CountText(const QString &text, const QString &sub)
{
    if (sub.isEmpty())
        return 0;
    int count = 0;
    qsizetype at = 0;
    while ((at = text.indexOf(sub, at)) >= 0) {
        ++count;
        at += sub.size();
    }
    return count;
}

int LastPos(const QString &text, const QString &sub)
{
    if (sub.isEmpty())
        return 0;
    return int(text.lastIndexOf(sub)) + 1;
}

QString ReplaceAll(const QString &text, const QString &oldText, const QString &newText)
{
    // An empty pattern would match forever; there is nothing to replace.
    if (oldText.isEmpty())
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    qsizetype at;
    while ((at = text.indexOf(oldText, from)) >= 0) {
        out += QStringView(text).mid(from, at - from);
        out += newText;
        from = at + oldText.size();
    }
    out += QStringView(text).mid(from);
    return out;
}

QString SplitResult::field(int k) const
{
    return k >= 1 && k <= held.size() ? held.at(k - 1) : QString();
}

SplitResult SplitFields(const QString &text, const QString &separator)
{
    SplitResult r;
    if (separator.isEmpty()) {
        r.count = -1;
        return r;
    }
    qsizetype from = 0;
    qsizetype at;
    r.count = 1;
    while ((at = text.indexOf(separator, from)) >= 0) {
        if (r.held.size() < SplitResult::MaxFields)
            r.held.append(text.mid(from, at - from));
        ++r.count;
        from = at + separator.size();
    }
    if (r.held.size() < SplitResult::MaxFields)
        r.held.append(text.mid(from));
    return r;
}

QString NormalizeBlanks(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
        if (c == QLatin1Char(' ') && out.endsWith(QLatin1Char(' ')))
            continue;
        out += c;
    }
    return out;
}

QString AddBackslash(const QString &path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString WithTrailingSlash(const QString &folder)
{
    QString result = folder;
    while (result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result + QLatin1Char('/');
}

bool IsNumber(const QString &text)
{
    // Qt's reading skips surrounding blanks; a number has none.
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return false;
    bool ok = false;
    text.toInt(&ok, 10);
    return ok;
}

bool IsDateTime(const QString &text)
{
    return TryParseDateTimeText(text).has_value();
}

QString EncodeQueryValue(const QString &text)
{
    QString out = ReplaceAll(text, QStringLiteral(" "), QStringLiteral("%20"));
    out = ReplaceAll(out, QStringLiteral("&"), QStringLiteral("%26"));
    out = ReplaceAll(out, QStringLiteral("?"), QStringLiteral("%3F"));
    return ReplaceAll(out, QStringLiteral("="), QStringLiteral("%3D"));
}

bool OpenRegularFile(QFile &file, const QString &path, QString &reason, FileLinks links)
{
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (links == FileLinks::Refuse ? O_NOFOLLOW : 0);
    int fd;
    do
        fd = ::open(QFile::encodeName(path).constData(), flags);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        reason = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    // Asked of the open file, so a link to a FIFO is caught as well.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = QCoreApplication::translate("Subs", "Not a regular file");
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        reason = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

FileRead ReadRegularFile(const QString &path, qint64 maxBytes, FileLinks links)
{
    FileRead out;
    QFile file;
    if (!OpenRegularFile(file, path, out.error, links))
        return out;
    const QString tooLarge = QCoreApplication::translate("Subs", "Larger than %1 bytes").arg(maxBytes);
    if (file.size() > maxBytes) {
        out.error = tooLarge;
        return out;
    }
    QByteArray data;
    data.reserve(file.size());
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    qint64 n;
    // Read to the end, not to the size seen at the open: a file that grew meanwhile is still bounded.
    while ((n = file.read(chunk.data(), chunk.size())) > 0) {
        if (data.size() + n > maxBytes) {
            out.error = tooLarge;
            return out;
        }
        data.append(chunk.constData(), n);
    }
    if (n < 0) {
        out.error = file.errorString();
        return out;
    }
    out.bytes = std::move(data);
    return out;
}

qint64 FileSizeOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() ? info.size() : 0;
}

bool FilesEqual(const QString &fileA, const QString &fileB)
{
    const QFileInfo a(fileA), b(fileB);
    if (!a.exists() || !b.exists() || a.size() != b.size())
        return false;
    QFile fa, fb;
    QString reason;
    if (!OpenRegularFile(fa, fileA, reason))
        throw FileError(QCoreApplication::translate("Subs", "Cannot open file \"%1\". %2").arg(fileA, reason));
    if (!OpenRegularFile(fb, fileB, reason))
        throw FileError(QCoreApplication::translate("Subs", "Cannot open file \"%1\". %2").arg(fileB, reason));
    constexpr qint64 Chunk = 64 * 1024;
    QByteArray bufA(Chunk, Qt::Uninitialized), bufB(Chunk, Qt::Uninitialized);
    for (;;) {
        const qint64 na = fa.read(bufA.data(), Chunk);
        const qint64 nb = fb.read(bufB.data(), Chunk);
        if (na < 0 || nb < 0)
            throw FileError(QCoreApplication::translate("Subs", "Cannot read file \"%1\"").arg(na < 0 ? fileA : fileB));
        if (na != nb || memcmp(bufA.constData(), bufB.constData(), size_t(na)) != 0)
            return false;
        if (na == 0)
            return true;
    }
}

bool CopyFileAtomically(const QString &source, const QString &destination, const QDateTime &modified,
                        ExistingLink links)
{
    QFile in;
    QString reason;
    if (!OpenRegularFile(in, source, reason))
        return false;
    AtomicFileWriter out(destination, links);
    out.setModificationTime(modified);
    if (!out.open())
        return false;
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0 || (n > 0 && !out.write(QByteArrayView(buffer.constData(), n))))
            return false;
        if (n == 0)
            return out.commit();
    }
}

int TimeZoneBias()
{
    const time_t now = time(nullptr);
    struct tm local {};
    if (!localtime_r(&now, &local))
        return 0;
    return -int(local.tm_gmtoff / 60);
}

TDateTime UtcToLocal(TDateTime t, int biasMinutes)
{
    return t - biasMinutes / 60.0 / 24.0;
}

namespace {

[[noreturn]] void BadHttpDate(const QString &text)
{
    throw ConvertError(QCoreApplication::translate("Subs", "'%1' is not a valid date and time").arg(text));
}

int ZoneDigits(const QString &text, bool &ok)
{
    bool allDigits = !text.isEmpty();
    for (QChar c : text)
        allDigits = allDigits && c.isDigit();
    ok = ok && allDigits;
    return allDigits ? text.toInt() : 0;
}

} // namespace

TDateTime ParseHttpDate(const QString &text, int biasMinutes)
{
    static const char *const Months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    QString s = text.toLower();
    s.replace(QLatin1Char(','), QLatin1Char(' '));
    s = NormalizeBlanks(s);
    for (int m = 0; m < 12; ++m)
        s = ReplaceAll(s, QLatin1String(Months[m]), QStringLiteral("%1").arg(m + 1, 2, 10, QLatin1Char('0')));
    s = ReplaceAll(s, QStringLiteral("gmt"), QStringLiteral("+0000"));

    const SplitResult f = SplitFields(s, QStringLiteral(" "));
    const QString day = f.field(2), month = f.field(3), year = f.field(4);
    if (!IsNumber(day) || !IsNumber(month) || !IsNumber(year))
        BadHttpDate(text);
    const auto date = TryEncodeDate(year.toInt(), month.toInt(), day.toInt());
    const auto time = TryParseTimeText(f.field(5));
    if (!date || !time)
        BadHttpDate(text);

    QString zone = f.field(6);
    if (zone.size() == 4)
        zone.prepend(QLatin1Char('+'));
    double offset = 0;
    // Hours are the two characters after the sign, minutes the last two,
    // however short the zone: "+01" is an hour and a minute east.
    if (zone.size() >= 2 && (zone[0] == QLatin1Char('+') || zone[0] == QLatin1Char('-'))) {
        bool ok = true;
        const int hh = ZoneDigits(zone.mid(1, 2), ok);
        const int mm = ZoneDigits(zone.right(2), ok);
        // A zone that is no number is a name: read as UTC.
        if (ok) {
            const double days = (hh + mm / 60.0) / 24.0;
            offset = zone[0] == QLatin1Char('+') ? -days : days;
        }
    }
    const TDateTime utc = *date + *time + offset;
    return UtcToLocal(utc, biasMinutes);
}

QString GetHeaderValue(const QString &name, const QStringList &headerLines)
{
    QString result;
    bool found = false;
    qsizetype i = 0;
    while (i < headerLines.size()) {
        const QString &line = headerLines.at(i);
        if (line.isEmpty())
            break;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QStringView lineName = colon < 0 ? QStringView() : QStringView(line).left(colon);
        ++i;
        if (lineName.compare(name, Qt::CaseInsensitive) != 0 || colon < 0)
            continue;
        QString value = line.mid(colon + 1).trimmed();
        while (i < headerLines.size()) {
            const QString &next = headerLines.at(i);
            if (next.isEmpty() || (next[0] != QLatin1Char(' ') && next[0] != QLatin1Char('\t')))
                break;
            value += QLatin1Char(' ') + next.trimmed();
            ++i;
        }
        if (found)
            result += QLatin1Char(',');
        result += value;
        found = true;
    }
    return result;
}

std::optional<QUrl> WebLink(const QString &text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return std::nullopt;
    return url;
}

bool AnyTextWiderThan(const QList<QString> &texts, int limit, const std::function<int(QChar)> &charAdvance,
                      const std::function<int(const QString &)> &textAdvance)
{
    // Advances of the characters met so far; names draw on few.
    QHash<char16_t, int> advances;
    for (const QString &text : texts) {
        bool simple = true;
        qint64 estimate = 0;
        for (const QChar c : text) {
            if (c.unicode() > 0x2FF) {
                simple = false;
                break;
            }
            auto at = advances.constFind(c.unicode());
            if (at == advances.constEnd())
                at = advances.insert(c.unicode(), charAdvance(c));
            estimate += *at;
        }
        // Each advance may be rounded down by half a pixel; kerning only
        // narrows Latin text, so a sum within the limit fits.
        if (simple && estimate + (text.size() + 1) / 2 <= limit)
            continue;
        if (textAdvance(text) > limit)
            return true;
    }
    return false;
}

} // namespace lumetta
