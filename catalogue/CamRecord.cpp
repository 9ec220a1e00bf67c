#include "catalogue/CamRecord.h"

#include <QSet>
#include <QCoreApplication>
#include <optional>

#include "common/Subs.h"

namespace lumetta {

namespace {

// A flag field as a number; nullopt when missing or not a number.
std::optional<int> FlagNumber(const QString &field)
{
    bool ok = false;
    const int n = field.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

TDateTime DateOrNever(const QString &text)
{
    return text.trimmed().isEmpty() ? NeverDate() : ParseDateTimeText(text);
}

} // namespace

bool ReadEnabledFlag(const QString &field)
{
    return FlagNumber(field).value_or(0) > 0;
}

AutoAdjustState ReadAutoAdjustFlag(const QString &field)
{
    const int n = FlagNumber(field).value_or(1);
    if (n == 2)
        return AutoAdjustState::Grayed;
    return n > 0 ? AutoAdjustState::On : AutoAdjustState::Off;
}

bool ReadShowLastImageFlag(const QString &field)
{
    return FlagNumber(field).value_or(0) > 0;
}

QString FlagText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString AutoAdjustText(AutoAdjustState state)
{
    return QString::number(int(state));
}

bool IsAdultCategory(const QString &category)
{
    return category.compare(QLatin1String("adult"), Qt::CaseInsensitive) == 0;
}

CamRecord CamRecord::fromLine(const QString &line)
{
    CamRecord r;
    const SplitResult parts = SplitFields(line, FieldSeparator);
    r.m_sourceCount = parts.count;
    for (int k = 1; k <= CamFieldCount; ++k)
        r.m_fields[k - 1] = parts.field(k);
    return r;
}

QString CamRecord::toLine() const
{
    QString line;
    for (int k = 0; k < CamFieldCount; ++k) {
        if (k)
            line += FieldSeparator;
        line += m_fields[k];
    }
    return line;
}

QString CamRecord::field(int k) const
{
    return k >= 1 && k <= CamFieldCount ? m_fields[k - 1] : QString();
}

void CamRecord::setField(int k, const QString &value)
{
    if (k >= 1 && k <= CamFieldCount)
        m_fields[k - 1] = value;
}

bool CamRecord::isAdult() const
{
    return IsAdultCategory(category());
}

TDateTime CamRecord::lastDownloadTime() const
{
    return DateOrNever(field(fLastDownloadTime));
}

TDateTime CamRecord::lastModified() const
{
    return DateOrNever(field(fLastModified));
}

QStringList SplitToList(const QString &text, QChar separator)
{
    QStringList out;
    QString name;
    for (QChar c : text) {
        if (c == separator) {
            out << name;
            name.clear();
        } else {
            name += c;
        }
    }
    if (!name.isEmpty())
        out << name;
    return out;
}

QList<bool> SelectedFlags(const QStringList &names, const QStringList &selected)
{
    QSet<QString> chosen;
    chosen.reserve(selected.size());
    for (const QString &name : selected)
        chosen.insert(name.toCaseFolded());
    QList<bool> flags;
    flags.reserve(names.size());
    for (const QString &name : names)
        flags.append(chosen.contains(name.toCaseFolded()));
    return flags;
}

namespace {

// The line with each field cut to MaxFieldChars, or nothing when none is longer.
std::optional<QString> CutLine(const QString &line)
{
    if (line.size() <= MaxFieldChars)
        return std::nullopt;
    QString out;
    bool cut = false;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = line.indexOf(FieldSeparator, start);
        const qsizetype stop = end < 0 ? line.size() : end;
        qsizetype keep = qMin(stop - start, MaxFieldChars);
        if (keep < stop - start) {
            cut = true;
            // Neither half a character nor a "|" that would join the separator.
            while (keep > 0 && (line[start + keep - 1].isHighSurrogate() || line[start + keep - 1] == u'|'))
                --keep;
        }
        out += QStringView(line).sliced(start, keep);
        if (end < 0)
            break;
        out += FieldSeparator;
        start = end + FieldSeparator.size();
    }
    if (!cut)
        return std::nullopt;
    return out;
}

} // namespace

FieldCut CutLongFields(QStringList lines)
{
    FieldCut result;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (auto cut = CutLine(lines[i])) {
            lines[i] = std::move(*cut);
            result.cutLines << int(i + 1);
        }
    }
    result.lines = std::move(lines);
    return result;
}

QString LongFieldsMessage(const FieldCut &cut)
{
    if (cut.cutLines.isEmpty())
        return {};
    QStringList numbers;
    for (int i = 0; i < qMin<qsizetype>(cut.cutLines.size(), 10); ++i)
        numbers << QString::number(cut.cutLines[i]);
    if (cut.cutLines.size() > 10)
        numbers << QStringLiteral("...");
    return QCoreApplication::translate("CamRecord",
                                       "%1 line(s) had a field longer than %2 characters, cut to that length: line %3.")
        .arg(cut.cutLines.size())
        .arg(MaxFieldChars)
        .arg(numbers.join(QStringLiteral(", ")));
}

QString UnsafeFieldMessage()
{
    return QCoreApplication::translate(
        "CamRecord",
        "\"%1\" cannot be stored: a webcam's fields cannot contain \"||\" or a line break, nor end in "
        "\"|\".\r\nThe previous value is kept.");
}

QString TrimRecordLine(const QString &line)
{
    qsizetype begin = 0, end = line.size();
    while (begin < end && line[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && line[end - 1].unicode() <= 0x20)
        --end;
    return line.mid(begin, end - begin);
}

bool IsSafeFieldText(const QString &text)
{
    // A trailing "|" would join the separator after it into "|||", which
    // splits one character early.
    return !text.contains(FieldSeparator) && !text.endsWith(QLatin1Char('|')) && !text.contains(QLatin1Char('\n'))
           && !text.contains(QLatin1Char('\r'));
}

} // namespace lumetta
