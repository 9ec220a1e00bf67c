#include "common/DateTime.h"

#include "common/Errors.h"

#include <QCoreApplication>
#include <QDate>
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

// Reads dates and times by hand: a search reads several per webcam, and a
// regular expression costs ten times as much.
class TextScanner {
public:
    explicit TextScanner(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }
    // True when it skipped anything.
    bool skipSpace()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && IsAsciiSpace(m_text[m_pos]))
            ++m_pos;
        return m_pos > start;
    }
    bool eat(char16_t c)
    {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    // minCount to maxCount ASCII digits, and no more.
    std::optional<int> digits(int minCount, int maxCount)
    {
        int value = 0, count = 0;
        while (m_pos < m_text.size() && IsAsciiDigit(m_text[m_pos])) {
            if (++count > maxCount)
                return std::nullopt;
            value = value * 10 + (m_text[m_pos].unicode() - u'0');
            ++m_pos;
        }
        if (count < minCount)
            return std::nullopt;
        return value;
    }
    // h:m or h:m:s, one or two digits each.
    std::optional<TDateTime> time()
    {
        const auto hour = digits(1, 2);
        if (!hour || !eat(u':'))
            return std::nullopt;
        const auto minute = digits(1, 2);
        if (!minute)
            return std::nullopt;
        int second = 0;
        if (eat(u':')) {
            const auto s = digits(1, 2);
            if (!s)
                return std::nullopt;
            second = *s;
        }
        return TryEncodeTime(*hour, *minute, second);
    }

private:
    static bool IsAsciiSpace(QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
    static bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

    QStringView m_text;
    qsizetype m_pos = 0;
};

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
    throw ConvertError(QCoreApplication::translate("DateTime", "Invalid argument to date encode"));
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    if (auto t = TryEncodeTime(hour, minute, second, msec))
        return *t;
    throw ConvertError(QCoreApplication::translate("DateTime", "Invalid argument to time encode"));
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
    TextScanner scan(text);
    scan.skipSpace();
    const auto time = scan.time();
    scan.skipSpace();
    if (!time || !scan.atEnd())
        return std::nullopt;
    return time;
}

std::optional<TDateTime> TryParseDateTimeText(const QString &text)
{
    TextScanner scan(text);
    scan.skipSpace();
    const auto year = scan.digits(4, 4);
    const bool dash1 = scan.eat(u'-');
    const auto month = scan.digits(1, 2);
    const bool dash2 = scan.eat(u'-');
    const auto day = scan.digits(1, 2);
    if (!year || !dash1 || !month || !dash2 || !day)
        return std::nullopt;
    const auto date = TryEncodeDate(*year, *month, *day);
    if (!date)
        return std::nullopt;
    const bool blank = scan.skipSpace();
    if (scan.atEnd())
        return date;
    const auto time = blank ? scan.time() : std::nullopt;
    scan.skipSpace();
    if (!time || !scan.atEnd())
        return std::nullopt;
    return *date + *time;
}

TDateTime ParseTimeText(const QString &text)
{
    if (auto t = TryParseTimeText(text))
        return *t;
    throw ConvertError(QCoreApplication::translate("DateTime", "'%1' is not a valid time").arg(text));
}

TDateTime ParseDateTimeText(const QString &text)
{
    if (auto t = TryParseDateTimeText(text))
        return *t;
    throw ConvertError(QCoreApplication::translate("DateTime", "'%1' is not a valid date and time").arg(text));
}

QString AgeText(TDateTime age)
{
    const qint64 seconds = std::max<qint64>(0, std::llround(age * SecondsPerDay));
    if (seconds < 60)
        return QCoreApplication::translate("DateTime", "now");
    if (seconds < 3600)
        return QCoreApplication::translate("DateTime", "%1 min").arg(seconds / 60);
    if (seconds < 48 * 3600)
        return QCoreApplication::translate("DateTime", "%1 h").arg(seconds / 3600);
    return QCoreApplication::translate("DateTime", "%1 d").arg(seconds / 86400);
}

QTime TimeFromValue(TDateTime value)
{
    const double fraction = value - std::floor(value);
    const int ms = int(std::llround(fraction * SecondsPerDay * 1000.0)) % (86400 * 1000);
    return QTime::fromMSecsSinceStartOfDay(ms);
}

TDateTime ValueFromTime(const QTime &time)
{
    return time.msecsSinceStartOfDay() / (SecondsPerDay * 1000.0);
}

} // namespace lumetta
