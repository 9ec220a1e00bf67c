#include "service/WebcamList.h"

#include <gtest/gtest.h>

using namespace lumetta;

namespace {

QString Cam(const QString &name, const QString &url)
{
    return "Cities||" + name + "||" + url + "||http://home||00:01:00||08:00:00||20:00:00||x.jpg";
}

} // namespace

TEST(ListMerge, Rules)
{
    const struct {
        const char *what;
        QStringList camData, lines;
        int selected, duplicates;
        QStringList added;
        QList<int> rejected = {};
        QList<bool> ticked = {};
    } cases[] = {
        {"refresh 300 and equal start and end: active all day", {},
         {"Snow||A||http://a/1.jpg||http://a||300||10:00:00||10:00:00"}, 1, 0,
         {"Snow||A||http://a/1.jpg||http://a||00:05:00||00:00:00||00:00:00"}},
        {"UTC times become local; a refresh that is no number reads 10 s", {},
         {"Snow||A||http://a/1.jpg||h||fast||10:00:00||23:30"}, 1, 0,
         {"Snow||A||http://a/1.jpg||h||00:00:10||11:00:00||00:30:00"}},
        {"the day's last second crosses midnight", {},
         {"Snow||A||http://a||h||1||23:59:59||12:00"}, 1, 0, {"Snow||A||http://a||h||00:00:01||00:59:59||13:00:00"}},
        {"a time that is no time reads as midnight", {},
         {"Snow||A||http://a||h||60||noon||22:00:00"}, 1, 0,
         {"Snow||A||http://a||h||00:01:00||01:00:00||23:00:00"}},
        {"category case kept; leading blank and unknown go General", {},
         {"snow||A||http://a||h||1||1:00||1:00", " Snow||B||http://b||h||1||1:00||1:00",
          "Boats||C||http://c||h||1||1:00||1:00", "||D||http://d||h||1||1:00||1:00"},
         4, 0,
         {"snow||A||http://a||h||00:00:01||00:00:00||00:00:00",
          "General||B||http://b||h||00:00:01||00:00:00||00:00:00",
          "General||C||http://c||h||00:00:01||00:00:00||00:00:00",
          "General||D||http://d||h||00:00:01||00:00:00||00:00:00"}},
        {"a catalogue URL that is a prefix of the line's is a duplicate", {Cam("X", "http://a/cam.jpg")},
         {"Snow||A||http://a/cam.jpg?t=1||h||1||1:00||1:00"}, 1, 1, {}},
        {"a line's URL that is a prefix of the catalogue's is new", {Cam("X", "http://a/cam.jpg?t=1")},
         {"Snow||A||http://a/cam.jpg||h||1||1:00||1:00"}, 1, 0,
         {"Snow||A||http://a/cam.jpg||h||00:00:01||00:00:00||00:00:00"}},
        {"an empty catalogue URL is a prefix of every URL", {Cam("X", "")},
         {"Snow||A||http://a||h||1||1:00||1:00"}, 1, 1, {}},
        {"two same-named records append (2) twice", {Cam("harbour", "http://1"), Cam("HARBOUR", "http://2")},
         {"Snow||Harbour||http://3||h||1||1:00||1:00"}, 1, 0,
         {"Snow||Harbour(2)(2)||http://3||h||00:00:01||00:00:00||00:00:00"}},
        {"an unticked line is no selection", {},
         {"Snow||A||http://a||h||1||1:00||1:00", "Snow||B||http://b||h||1||1:00||1:00"}, 1, 0,
         {"Snow||B||http://b||h||00:00:01||00:00:00||00:00:00"}, {}, {false, true}},
        {"Import selected pressed twice adds nothing the second time",
         {"Snow||A||http://a||h||00:00:01||00:00:00||00:00:00", "Snow||B||http://b||h||00:00:01||00:00:00||00:00:00"},
         {"Snow||A||http://a||h||1||1:00||1:00", "Snow||B||http://b||h||1||1:00||1:00"}, 2, 2, {}},
        {"two lines of one URL are both added", {},
         {"Snow||A||http://a||h||1||1:00||1:00", "Snow||B||http://a||h||1||1:00||1:00"}, 2, 0,
         {"Snow||A||http://a||h||00:00:01||00:00:00||00:00:00", "Snow||B||http://a||h||00:00:01||00:00:00||00:00:00"}},
        {"a blank URL counts as selected and nothing else", {},
         {"Snow||A||  ||h||1||1:00||1:00", "   "}, 1, 0, {}},
        {"refresh outside a day, a negative one, a date without time: the line stays out whole; 0 comes in", {},
         {"Snow||A||http://a||h||86400||1:00||1:00", "Snow||B||http://b||h||-1||1:00||1:00",
          "Snow||C||http://c||h||5||2026-01-01||1:00", "Snow||D||http://d||h||86399||2026-01-01 10:00||1:00",
          "Snow||E||http://e||h||0||1:00||1:00"},
         5, 0,
         {"Snow||D||http://d||h||23:59:59||11:00:00||02:00:00", "Snow||E||http://e||h||00:00:00||00:00:00||00:00:00"},
         {1, 2, 3}},
        {"a path as local name is dropped; control characters and a bar before a separator go", {},
         {"Snow||A\x01||http://a||h||1||1:00||1:00||../../etc/passwd||2026-01-01\x1b||x||1",
          "Snow||B||http://b||h||1||1:00||1:00||b\tc.jpg", "Snow||C|\x02||http://c||h|\x01|"}, 3, 0,
         {"Snow||A ||http://a||h||00:00:01||00:00:00||00:00:00||||2026-01-01 ||x||1",
          "Snow||B||http://b||h||00:00:01||00:00:00||00:00:00||b c.jpg",
          "Snow||C| ||http://c||h| ||00:00:10||00:00:00||00:00:00"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QList<bool> ticked = c.ticked.isEmpty() ? QList<bool>(c.lines.size(), true) : c.ticked;
        const MergeResult r = MergeListLines({c.lines, ticked, c.camData, {"General", "Adult", "Cities", "Snow"}, -60});
        EXPECT_EQ(r.selected, c.selected);
        EXPECT_EQ(r.duplicates, c.duplicates);
        EXPECT_EQ(r.newRecords, c.added);
        EXPECT_EQ(r.rejected, c.rejected);
    }

    const QString why = " selected line(s) were not imported because a refresh or time in them cannot be read as a "
                        "time of day (lines ";
    const struct { QList<int> rejected; QString message; } messages[] = {
        {{}, ""},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "10" + why + "1, 2, 3, 4, 5, 6, 7, 8, 9, 10)."},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, "11" + why + "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, ...)."},
    };
    for (const auto &m : messages) {
        MergeResult r;
        r.rejected = m.rejected;
        EXPECT_EQ(RejectedLinesMessage(r), m.message);
    }
    EXPECT_EQ(MergeReport({3, 2, {"x"}, {}}), "Selected sites: 3\r\nDuplicate sites ignored: 2\r\nNew sites added: 1");
}

TEST(ListFile, ReadingAndDisplay)
{
    EXPECT_TRUE(ListIsBlank(ReadListLines("\r\n  \n\t\r")));
    const QStringList lines = ReadListLines("a||b\r\nc||d\n\r\n \t\ne||f\rg");
    EXPECT_EQ(lines, (QStringList{"a||b", "c||d", "e||f", "g"})) << "blank lines are no items";
    EXPECT_FALSE(ListIsBlank(lines));
    EXPECT_EQ(ListDisplayText("Bars & Food||Joe's||http://x?a=1&b=2"), "Bars & Food - Joe's");
    EXPECT_EQ(ListDisplayText("only"), "only - ");
}

TEST(ListFilter, TypingDeletingAndClearing)
{
    // Each step: the text typed, whether the file is reloaded first.
    const struct { const char *text; bool reload; } steps[] = {
        {"s", true}, {"sn", false}, {"s", true}, {"", true},
        {"xs", false},  // pasted after clearing: the list is whole already
        {"Xsn", true},  // compared as typed, with case
    };
    QString previous;
    for (const auto &s : steps) {
        SCOPED_TRACE(s.text);
        EXPECT_EQ(FilterNeedsReload(previous, s.text), s.reload);
        previous = s.text;
    }
    const QStringList shown{"Snow - Alps", "Cities - Paris", "snow - Tatra"};
    EXPECT_EQ(FilterMatches(shown, "SN"), (QList<int>{0, 2}));
    EXPECT_EQ(FilterMatches(shown, ""), (QList<int>{0, 1, 2}));
    EXPECT_EQ(FilterMatches(shown, "http"), QList<int>{}) << "URLs are not shown, so not matched";
}

TEST(Submissions, LastOfEachUrlStays)
{
    EXPECT_EQ(ReduceSubmissions({"b||Two||http://x", "A||One||http://x", "c||Other||http://y"}),
              (QStringList{"b||Two||http://x", "c||Other||http://y"}));
    EXPECT_EQ(ReduceSubmissions({"B||n||http://u/a.jpg", "b||n||http://u/a.jpg"}), QStringList{"b||n||http://u/a.jpg"})
        << "lines equal but for case keep their order";
}
