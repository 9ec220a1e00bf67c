#include "catalogue/CamRecord.h"
#include "common/Subs.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

using namespace lumetta;

TEST(CamRecord, SplitsIntoThirteenFields)
{
    const QString line = "Cities||Harbour||http://h/c.jpg||||00:05:00||06:00:00||22:00:00||||"
                         "2026-12-06 10:00:00||2026-12-06 09:59:00||1||1||0";
    const CamRecord r = CamRecord::fromLine(line);
    EXPECT_EQ(r.sourceFieldCount(), 13);
    EXPECT_EQ(r.siteName(), "Harbour");
    EXPECT_EQ(FormatTimeText(r.refreshRate()), "00:05:00");
    EXPECT_TRUE(r.enabled());
    EXPECT_EQ(r.autoAdjust(), AutoAdjustState::On);
    EXPECT_FALSE(r.showLastImage());
    EXPECT_EQ(r.toLine(), line) << "joining gives the line back";

    CamRecord outside = r;
    outside.setField(0, "x");
    outside.setField(14, "x");
    EXPECT_EQ(outside.toLine(), line) << "no field outside the thirteen is written";
}

TEST(CamRecord, TrimmedLinesSafeFieldTextAndAdultCategory)
{
    const std::pair<QString, QString> lines[] = {{"a||b", "a||b"}, {" \ta||b \x1a\r", "a||b"}, {"", ""}, {"  ", ""}};
    for (const auto &[line, trimmed] : lines)
        EXPECT_EQ(TrimRecordLine(line), trimmed) << line.toStdString();
    const std::pair<QString, bool> texts[] = {
        {"Harbour | east", true}, {"a||b", false}, {"a|", false}, {"a\nb", false}, {"a\rb", false}};
    for (const auto &[text, safe] : texts)
        EXPECT_EQ(IsSafeFieldText(text), safe) << text.toStdString();
    EXPECT_TRUE(CamRecord::fromLine("ADULT||x").isAdult());
    EXPECT_TRUE(IsAdultCategory("Adult"));
    EXPECT_FALSE(IsAdultCategory("Adults"));
}

TEST(CamRecord, ShortLongAndOddLines)
{
    const CamRecord eleven = CamRecord::fromLine(
        "General||A||http://a/x.jpg||||00:00:05||00:00:00||23:59:59||a.jpg||2000-01-01||2000-01-01||1");
    EXPECT_EQ(eleven.sourceFieldCount(), 11);
    EXPECT_EQ(eleven.autoAdjust(), AutoAdjustState::On) << "missing auto-adjust reads ticked";
    EXPECT_FALSE(eleven.showLastImage());
    EXPECT_EQ(CountText(eleven.toLine(), "||"), 12) << "written back with 13 fields";

    const CamRecord bare = CamRecord::fromLine("General");
    EXPECT_EQ(bare.category(), "General");
    EXPECT_THROW(bare.refreshRate(), ConvertError) << "an empty time is not a time";
    EXPECT_DOUBLE_EQ(bare.lastModified(), NeverDate()) << "empty date reads as never";

    QString longLine;
    for (int i = 1; i <= 40; ++i)
        longLine += QString::number(i) + "||";
    const CamRecord tooLong = CamRecord::fromLine(longLine);
    EXPECT_EQ(tooLong.field(13), "13");
    EXPECT_EQ(tooLong.field(14), "") << "fields beyond the record are not held";
    EXPECT_EQ(CountText(tooLong.toLine(), "||"), 12);

    EXPECT_THROW(CamRecord::fromLine("a||b||c||d||e||f||g||h||i||yesterday").lastModified(), ConvertError);
}

TEST(CamRecord, FlagReadingDefaults)
{
    const struct { const char *text; bool enabled; AutoAdjustState autoAdjust; bool showLast; } cases[] = {
        {"", false, AutoAdjustState::On, false}, {"0", false, AutoAdjustState::Off, false},
        {" 1 ", true, AutoAdjustState::On, true}, {"2", true, AutoAdjustState::Grayed, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadEnabledFlag(c.text), c.enabled);
        EXPECT_EQ(ReadAutoAdjustFlag(c.text), c.autoAdjust);
        EXPECT_EQ(ReadShowLastImageFlag(c.text), c.showLast);
    }
}

TEST(SplitToList, KeepsInnerEmptyNames)
{
    const struct { const char *text; QStringList items; } cases[] = {
        {"a,,b", {"a", "", "b"}}, {"a,", {"a"}}, {"", {}}, {",", {""}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SplitToList(c.text), c.items) << c.text;
    EXPECT_EQ(SplitToList(DefaultCategories).size(), 15);
    EXPECT_EQ(SelectedFlags({"Snow", "Cities", "snow", "Beaches"}, {"SNOW", "Beaches", "Other"}),
              QList<bool>({true, false, true, true}));
}

TEST(CutLongFields, AbsurdFieldsAreCutAndTheRecordKeepsItsShape)
{
    const QString longest(MaxFieldChars, u'n');
    const QString pipes = QString(MaxFieldChars - 1, u'n') + "|x";  // a cut right after a "|"
    const QString smiley = QString(MaxFieldChars - 1, u'n') + QString::fromUtf8("\xF0\x9F\x98\x80");  // cut in a pair
    const struct { QString line; QString cut; } cases[] = {
        {"General||" + longest + "||http://a/", ""},
        {"General||" + longest + "x||http://a/", "General||" + longest + "||http://a/"},
        {"General||n||" + longest + "xyz", "General||n||" + longest},
        {"General||" + pipes + "||http://a/", "General||" + QString(MaxFieldChars - 1, u'n') + "||http://a/"},
        {"General||" + smiley + "||http://a/", "General||" + QString(MaxFieldChars - 1, u'n') + "||http://a/"},
        {"||" + longest + "x||http://a/", "||" + longest + "||http://a/"},  // an empty first field
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.size());
        const FieldCut cut = CutLongFields({c.line, "a||b"});
        EXPECT_EQ(cut.lines, QStringList({c.cut.isEmpty() ? c.line : c.cut, "a||b"}));
        EXPECT_EQ(cut.cutLines, c.cut.isEmpty() ? QList<int>() : QList<int>{1});
    }
    const QString why = " line(s) had a field longer than 4096 characters, cut to that length: line ";
    EXPECT_EQ(LongFieldsMessage({{}, {}}), "");
    EXPECT_EQ(LongFieldsMessage({{}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}), "10" + why + "1, 2, 3, 4, 5, 6, 7, 8, 9, 10.");
    EXPECT_EQ(LongFieldsMessage({{}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}),
              "11" + why + "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, ....");
}
