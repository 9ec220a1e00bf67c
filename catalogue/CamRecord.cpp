#include "catalogue/CamRecord.h"

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
