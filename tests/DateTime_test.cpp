#include "common/DateTime.h"
#include "common/Errors.h"
#include "support/ErrorText.h"

#include <gtest/gtest.h>

using namespace lumetta;

TEST(DateTime, TimeTextRoundsToWholeSecondsDateTimeTextLeavesOutMidnight)
{
    // Sums of fractions land a hair below the second; the text must not.
    EXPECT_EQ(FormatTimeText(5 * OneSecond), "00:00:05");
    EXPECT_EQ(FormatTimeText(3 * OneSecond + 2 * OneSecond), "00:00:05");
    EXPECT_EQ(FormatTimeText(EncodeTime(3, 0, 0)), "03:00:00") << "a whole hour, no second to spare";
    EXPECT_EQ(FormatTimeText(EncodeTime(23, 59, 59)), "23:59:59");
    EXPECT_EQ(FormatTimeText(EncodeDate(2026, 1, 2) + EncodeTime(4, 5, 6)), "04:05:06") << "date part ignored";
    EXPECT_EQ(FormatDateTimeText(NeverDate()), "2000-01-01");
    EXPECT_EQ(FormatDateTimeText(EncodeDate(2026, 12, 6) + EncodeTime(0, 0, 1)), "2026-12-06 00:00:01");
    EXPECT_DOUBLE_EQ(ParseDateTimeText("2000-01-01"), NeverDate());
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    // A picture's age: minutes below the hour, hours below two days, then days.
    const struct { int seconds; const char *text; } ages[] = {
        {59, "now"}, {3540, "59 min"}, {3600, "1 h"}, {48 * 3600 - 1, "47 h"}, {48 * 3600, "2 d"}};
    for (const auto &a : ages)
        EXPECT_EQ(AgeText(a.seconds * OneSecond), a.text) << a.seconds;
}

TEST(DateTime, ReadingIsLenientWritingIsFixed)
{
    const struct { const char *text; const char *time; } times[] = {
        {"7:05", "07:05:00"}, {"07:05:09", "07:05:09"}, {" 7:5:9 ", "07:05:09"}, {"0:00", "00:00:00"},
    };
    for (const auto &c : times)
        EXPECT_EQ(FormatTimeText(ParseTimeText(c.text)), c.time) << c.text;
    for (const char *bad : {"", " ", "24:00:00", "12:60", "12", "ab:cd", "12:00:00 PM", "-1:00"})
        EXPECT_EQ(test::MessageOf<ConvertError>([&] { ParseTimeText(bad); }),
                  QString("'%1' is not a valid time").arg(bad));
    EXPECT_FALSE(TryParseDateTimeText("2026-13-01").has_value());
    EXPECT_FALSE(TryParseDateTimeText("2026-12-06 25:00").has_value());
    EXPECT_THROW(ParseDateTimeText("yesterday"), ConvertError);
}
