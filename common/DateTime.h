#pragma once
// Date-time values are days since 1899-12-30 with the time of day as the
// fraction, so intervals and moments share one arithmetic.
#include <QDateTime>
#include <QString>
#include <optional>

namespace lumetta {

using TDateTime = double;

inline constexpr double SecondsPerDay = 86400.0;
inline constexpr double OneSecond = 1.0 / SecondsPerDay;

[[nodiscard]] std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
[[nodiscard]] std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int msec = 0);
TDateTime EncodeDate(int year, int month, int day);  // raises ConvertError
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);  // raises ConvertError

// "Never": no download or no activity yet.
TDateTime NeverDate();

QDateTime ToQDateTime(TDateTime value);  // the same wall-clock value, no zone conversion
TDateTime FromQDateTime(const QDateTime &value);

// Fixed text forms: "HH:mm:ss"; "yyyy-MM-dd HH:mm:ss", the time left out at midnight.
QString FormatTimeText(TDateTime value);
QString FormatDateTimeText(TDateTime value);

// An age in a few characters: "now", "2 min", "3 h", "5 d".
QString AgeText(TDateTime age);

// Reading also takes a one-digit hour and a missing seconds part.
[[nodiscard]] std::optional<TDateTime> TryParseTimeText(const QString &text);
[[nodiscard]] std::optional<TDateTime> TryParseDateTimeText(const QString &text);
TDateTime ParseTimeText(const QString &text);      // "'%s' is not a valid time"
TDateTime ParseDateTimeText(const QString &text);  // "'%s' is not a valid date and time"

// A time box holds the time of day only, to the millisecond.
QTime TimeFromValue(TDateTime value);
TDateTime ValueFromTime(const QTime &time);

} // namespace lumetta
