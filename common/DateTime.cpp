#include "common/DateTime.h"

#include "common/Errors.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>

namespace lumetta {

namespace {

// 1899-12-30, constant-initialised: values built during static
// initialisation elsewhere must not see an empty date.
constexpr QDate Epoch = QDate::fromJulianDay(2415019);

// Milliseconds of the time-of-day fraction, rounded so that 5/86400 reads
// as five seconds and not 4.999.
qint64 RoundedMilliseconds(TDateTime value)
{
    return qint64(std::llround(value * SecondsPerDay * 1000.0));
}

} // namespace

std::optional<TDateTime> TryEncodeDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1 || year > 9999)
        return std::nullopt;
    return double(Epoch.daysTo(date));
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int msec)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59
        || msec < 0 || msec > 999)
        return std::nullopt;
    return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / (SecondsPerDay * 1000.0);
}

TDateTime EncodeDate(int year, int month, int day)
{
    if (auto d = TryEncodeDate(year, month, day))
        return *d;
    throw ConvertError(QStringLiteral("Invalid argument to date encode"));
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    if (auto t = TryEncodeTime(hour, minute, second, msec))
        return *t;
    throw ConvertError(QStringLiteral("Invalid argument to time encode"));
}

TDateTime NeverDate()
{
    return EncodeDate(2000, 1, 1);
}

QDateTime ToQDateTime(TDateTime value)
{
    const qint64 ms = RoundedMilliseconds(value);
    qint64 days = ms / 86400000;
    qint64 rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    // Naive wall-clock value, marked UTC so Qt never shifts it across DST gaps.
    return QDateTime(Epoch.addDays(days), QTime::fromMSecsSinceStartOfDay(int(rest)), Qt::UTC);
}

TDateTime FromQDateTime(const QDateTime &value)
{
    const double days = double(Epoch.daysTo(value.date()));
    return days + value.time().msecsSinceStartOfDay() / (SecondsPerDay * 1000.0);
}

QString FormatTimeText(TDateTime value)
{
    qint64 ms = RoundedMilliseconds(value) % 86400000;
    if (ms < 0)
        ms += 86400000;
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString FormatDateTimeText(TDateTime value)
{
    const QDateTime dt = ToQDateTime(value);
    const QString date = dt.date().toString(QStringLiteral("yyyy-MM-dd"));
    const QTime t = dt.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return date;
    return date + QLatin1Char(' ') + t.toString(QStringLiteral("HH:mm:ss"));
}

std::optional<TDateTime> TryParseTimeText(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return TryEncodeTime(m.captured(1).toInt(), m.captured(2).toInt(),
                         m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
}

std::optional<TDateTime> TryParseDateTimeText(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:\\s+(\\d{1,2}:\\d{1,2}(?::\\d{1,2})?))?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const auto date = TryEncodeDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date)
        return std::nullopt;
    if (m.captured(4).isEmpty())
        return date;
    const auto time = TryParseTimeText(m.captured(4));
    if (!time)
        return std::nullopt;
    return *date + *time;
}

TDateTime ParseTimeText(const QString &text)
{
    if (auto t = TryParseTimeText(text))
        return *t;
    throw ConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
}

TDateTime ParseDateTimeText(const QString &text)
{
    if (auto t = TryParseDateTimeText(text))
        return *t;
    throw ConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
}

} // namespace lumetta
