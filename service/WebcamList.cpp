#include "service/WebcamList.h"

#include "catalogue/CamRecord.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueFile.h"
#include "common/Subs.h"
#include "net/ResponseFile.h"

#include <QHash>
#include <QSet>
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace lumetta {

QStringList ReadListLines(const QByteArray &content)
{
    // An absurd field would be carried into every item and record.
    QStringList lines = CutLongFields(SplitTextLines(content)).lines;
    lines.removeIf([](const QString &line) { return line.trimmed().isEmpty(); });
    return lines;
}

QStringList ReadListFile(const QString &path)
{
    // The bound of the download that made it.
    const FileRead read = ReadRegularFile(path, MaxDownloadBytes);
    return read.bytes ? ReadListLines(*read.bytes) : QStringList();
}

bool ListIsBlank(const QStringList &lines)
{
    return std::all_of(lines.begin(), lines.end(),
                       [](const QString &line) { return line.trimmed().isEmpty(); });
}

QString ListDisplayText(const QString &line)
{
    // A list item shows its text as it is: no "&" mnemonics to escape.
    const SplitResult f = SplitFields(line, FieldSeparator);
    return f.field(1) + QStringLiteral(" - ") + f.field(2);
}

QStringList ListDisplayTexts(const QStringList &lines)
{
    QStringList texts;
    texts.reserve(lines.size());
    for (const QString &line : lines)
        texts.append(ListDisplayText(line));
    return texts;
}

bool FilterNeedsReload(const QString &previous, const QString &text)
{
    return !text.contains(previous) || text.size() == 1;
}

QList<int> FilterMatches(const QStringList &displayTexts, const QString &filter)
{
    const QString needle = filter.toLower();
    QList<int> kept;
    for (int i = 0; i < displayTexts.size(); ++i) {
        if (displayTexts[i].toLower().contains(needle))
            kept.append(i);
    }
    return kept;
}

namespace {

// A blank stands in for each control character: dropping it could join
// two bars into a separator.
QString WithoutControls(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    }
    return text;
}

// Seconds of the day a list time denotes; nullopt for a date without a time
// (its time of day is not meant), 0 for a text that is no time at all.
std::optional<int> ListTimeSeconds(const QString &text)
{
    std::optional<TDateTime> t = TryParseTimeText(text);
    if (!t) {
        const auto dt = TryParseDateTimeText(text);
        if (!dt)
            return 0;
        if (!text.contains(QLatin1Char(':')))
            return std::nullopt;
        t = *dt - std::floor(*dt);
    }
    return int(std::lround(*t * SecondsPerDay)) % 86400;
}

QString SecondsText(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds % 3600 / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The catalogue's image URLs, found by prefix in time linear in the URL's
// length: a rolling hash over each prefix, checked against the real text.
class PrefixIndex {
public:
    explicit PrefixIndex(const QStringList &urls) : m_urls(urls)
    {
        for (int i = 0; i < urls.size(); ++i) {
            const QString &u = urls[i];
            if (u.isEmpty())
                m_hasEmpty = true;
            quint64 h = 0;
            for (QChar c : u)
                h = h * Base + c.unicode() + 1;
            m_byHash.insert(h, i);
            m_lengths.insert(int(u.size()));
        }
    }

    // Some catalogue URL is a prefix of url.
    bool hasPrefixOf(const QString &url) const
    {
        if (m_hasEmpty)
            return true;
        quint64 h = 0;
        for (int len = 1; len <= url.size(); ++len) {
            h = h * Base + url[len - 1].unicode() + 1;
            if (!m_lengths.contains(len))
                continue;
            for (auto it = m_byHash.constFind(h); it != m_byHash.cend() && it.key() == h; ++it) {
                if (QStringView(url).left(len) == m_urls[it.value()])
                    return true;
            }
        }
        return false;
    }

private:
    static constexpr quint64 Base = 1000003;
    QStringList m_urls;
    QMultiHash<quint64, int> m_byHash;
    QSet<int> m_lengths;
    bool m_hasEmpty = false;
};

} // namespace

QStringList SanitizedListFields(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (int k = 0; k < fields.size(); ++k) {
        QString f = WithoutControls(fields[k]);
        // A field ending in "|" would give its bar to the separator after it.
        while (f.endsWith(QLatin1Char('|')))
            f.chop(1);
        if (k + 1 == fLocalFilename && !IsSafeLocalFileName(f))
            f.clear();
        out.append(f);
    }
    return out;
}

MergeResult MergeListLines(const MergeInput &input)
{
    MergeResult result;
    QStringList urls;
    QHash<QString, int> sameNamed;
    urls.reserve(input.camData.size());
    for (const QString &record : input.camData) {
        const CamRecord r = CamRecord::fromLine(record);
        urls.append(r.imageUrl());
        ++sameNamed[r.siteName().toLower()];
    }
    const PrefixIndex known(urls);
    QSet<QString> categories;
    for (const QString &c : input.categories)
        categories.insert(c.toLower());

    for (int i = 0; i < input.lines.size(); ++i) {
        const QString &line = input.lines[i];
        if (line.trimmed().isEmpty() || !input.ticked.value(i, false))
            continue;
        ++result.selected;
        QStringList fields = SplitFields(line, FieldSeparator).held;
        while (fields.size() < fEndTime)
            fields.append(QString());
        fields = SanitizedListFields(fields);

        QString &category = fields[fCategory - 1];
        if (category.trimmed().isEmpty() || !categories.contains(category.toLower()))
            category = QStringLiteral("General");
        const QString name = fields[fSiteName - 1].toLower();
        const QString url = fields[fImageUrl - 1];
        if (url.trimmed().isEmpty())
            continue;

        bool isNumber = false;
        int refresh = fields[fRefreshRate - 1].toInt(&isNumber);
        if (!isNumber)
            refresh = 10;
        const std::optional<int> start = ListTimeSeconds(fields[fStartTime - 1]);
        const std::optional<int> end = ListTimeSeconds(fields[fEndTime - 1]);
        // Nothing is added partially: a line whose times cannot be written
        // stays out whole.
        if (refresh < 0 || refresh >= 86400 || !start || !end) {
            result.rejected.append(i + 1);
            continue;
        }
        fields[fRefreshRate - 1] = SecondsText(refresh);
        // Start and end compare as texts, a text that is no time reading as midnight.
        const auto asTyped = [](const QString &t) {
            return TryParseTimeText(t) || IsDateTime(t) ? t : QStringLiteral("00:00:00");
        };
        const bool same = asTyped(fields[fStartTime - 1]) == asTyped(fields[fEndTime - 1]);
        const auto local = [&](int utcSeconds) {
            const int shift = ((-input.biasMinutes * 60) % 86400 + 86400) % 86400;
            return SecondsText((utcSeconds + shift) % 86400);
        };
        fields[fStartTime - 1] = same ? QStringLiteral("00:00:00") : local(*start);
        fields[fEndTime - 1] = same ? QStringLiteral("00:00:00") : local(*end);

        if (known.hasPrefixOf(url)) {
            ++result.duplicates;
            continue;
        }
        fields[fSiteName - 1] += QStringLiteral("(2)").repeated(sameNamed.value(name));
        result.newRecords.append(fields.join(FieldSeparator));
    }
    return result;
}

QString MergeReport(const MergeResult &result)
{
    return QCoreApplication::translate("WebcamList",
                                       "Selected sites: %1\r\nDuplicate sites ignored: %2\r\nNew sites added: %3")
        .arg(result.selected)
        .arg(result.duplicates)
        .arg(result.newRecords.size());
}

QString RejectedLinesMessage(const MergeResult &result)
{
    if (result.rejected.isEmpty())
        return {};
    QStringList numbers;
    for (int n : result.rejected.mid(0, 10))
        numbers.append(QString::number(n));
    if (result.rejected.size() > 10)
        numbers.append(QStringLiteral("..."));
    return QCoreApplication::translate("WebcamList",
                                       "%1 selected line(s) were not imported because a refresh or time in them "
                                       "cannot be read as a time of day (lines %2).")
        .arg(result.rejected.size())
        .arg(numbers.join(QStringLiteral(", ")));
}

QStringList ReduceSubmissions(QStringList lines)
{
    std::stable_sort(lines.begin(), lines.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const QString url = SplitFields(lines[i], FieldSeparator).field(fImageUrl);
        for (qsizetype j = i + 1; j < lines.size(); ++j) {
            if (lines[j].contains(url)) {
                lines.removeAt(i);
                break;
            }
        }
    }
    return lines;
}

} // namespace lumetta
