#include "common/Errors.h"
#include "common/Subs.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

TEST(ParseHttpDate, ReadsOrRefuses)
{
    // local: the expected local time, or nullptr for a conversion error.
    const struct { const char *what, *text; int bias; const char *local; } cases[] = {
        {"RFC 1123, local one hour east", "Sun, 06 Nov 1994 08:49:37 GMT", -60, "1994-11-06 09:49:37"},
        {"RFC 1123, local five hours west", "Sun, 06 Nov 1994 08:49:37 GMT", 300, "1994-11-06 03:49:37"},
        {"numeric zone east", "Sun, 06 Nov 1994 08:49:37 +0100", 0, "1994-11-06 07:49:37"},
        {"four digits without sign read as east", "Sun, 06 Nov 1994 08:49:37 0100", 0, "1994-11-06 07:49:37"},
        {"numeric zone west", "Sun, 06 Nov 1994 08:49:37 -0530", 0, "1994-11-06 14:19:37"},
        {"short zone east: hours, and the same digits as minutes", "Sun, 06 Nov 1994 08:49:37 +01", 0, "1994-11-06 07:48:37"},
        {"short zone west", "Sun, 06 Nov 1994 08:49:37 -05", 0, "1994-11-06 13:54:37"},
        {"crossing midnight backwards", "Mon, 01 Jan 2001 00:30:00 +0100", 0, "2000-12-31 23:30:00"},
        {"tabs and repeated blanks", "Sun,\t06  Nov\t\t1994   08:49:37 GMT", 0, "1994-11-06 08:49:37"},
        {"named zone other than GMT is UTC", "Sun, 06 Nov 1994 08:49:37 EST", 0, "1994-11-06 08:49:37"},
        {"no zone", "Sun, 06 Nov 1994 08:49:37", 0, "1994-11-06 08:49:37"},
        {"upper-case month", "Tue, 15 DEC 2026 23:59:59 GMT", 0, "2026-12-15 23:59:59"},
        {"RFC 850 form", "Sunday, 06-Nov-94 08:49:37 GMT", 0, nullptr},
        {"asctime form", "Sun Nov  6 08:49:37 1994", 0, nullptr},
        {"no calendar date", "Sun, 31 Feb 1994 08:49:37 GMT", 0, nullptr},
        {"hour out of range", "Sun, 06 Nov 1994 25:49:37 GMT", 0, nullptr},
        {"missing time", "Sun, 06 Nov 1994", 0, nullptr},
        {"unknown month", "Sun, 06 Foo 1994 08:49:37 GMT", 0, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.local)
            EXPECT_EQ(FormatDateTimeText(ParseHttpDate(QString::fromLatin1(c.text), c.bias)).toStdString(), c.local);
        else
            EXPECT_THROW(ParseHttpDate(QString::fromLatin1(c.text), c.bias), ConvertError);
    }
}

TEST(GetHeaderValue, ContinuationRepetitionAndEnd)
{
    const struct { const char *what; QStringList lines; const char *name, *value; } cases[] = {
        {"continuation and repetition", {"Date: a", " b", "X: c", "date: d"}, "Date", "a b,d"},
        {"tab continuation, trimmed", {"HTTP/1.0 200 OK", "X-Msg:  one  ", "\t two ", "Server: s"}, "x-msg", "one two"},
        {"stops at an empty line", {"HTTP/1.0 200 OK", "A: 1", "", "B: 2"}, "B", ""},
        {"both blocks after a relocation", {"HTTP/1.0 302 Found", "Location: /x", "HTTP/1.0 200 OK", "Location: /y"}, "Location", "/x,/y"},
        {"absent", {"HTTP/1.0 200 OK", "A: 1"}, "B", ""},
        {"status line has no name", {"HTTP/1.0 200 OK"}, "HTTP/1.0 200 OK", ""},
        {"value keeps later colons", {"Location: http://h:81/p"}, "location", "http://h:81/p"},
        {"name is not trimmed", {"Date : a"}, "Date", ""},
        {"empty value repeated", {"A:", "A: x"}, "A", ",x"},
        {"no lines", {}, "A", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GetHeaderValue(QString::fromLatin1(c.name), c.lines).toStdString(), c.value);
    }
}

TEST(TextHelpers, EdgeBehaviour)
{
    EXPECT_EQ(CountText("aaaa", "aa"), 2) << "non-overlapping";
    EXPECT_EQ(CountText("aaaa", ""), 0);
    EXPECT_EQ(CountText("a||b||", "||"), 2);

    EXPECT_EQ(LastPos("http://h/c/p.jpg", "/"), 11);
    EXPECT_LE(LastPos("abc", "/"), 0);

    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa") << "inserted text is not re-examined";
    EXPECT_EQ(ReplaceAll("a-b-c", "-", ""), "abc");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc") << "empty pattern must not loop";
    EXPECT_EQ(ReplaceAll("xaxa", "xa", "a"), "aa");

    EXPECT_EQ(NormalizeBlanks("a \t  b\t\tc "), "a b c ");
    EXPECT_EQ(AddBackslash("/tmp/x"), "/tmp/x/");
    EXPECT_EQ(AddBackslash("/tmp/x/"), "/tmp/x/");
    EXPECT_EQ(AddBackslash(""), "");

    EXPECT_EQ(EncodeQueryValue("a b&c=d?"), "a%20b%26c%3Dd%3F");
    EXPECT_EQ(EncodeQueryValue("100%"), "100%") << "percent is left alone";
}

TEST(WebLink, OnlyAbsoluteHttpOrHttpsIsOpened)
{
    const struct { const char *text; const char *opened; } cases[] = {
        {"http://cam.example/ad", "http://cam.example/ad"},
        {" https://cam.example/a?b=c ", "https://cam.example/a?b=c"},
        {"HTTP://CAM.EXAMPLE/", "http://cam.example/"},
        {"file:///etc/passwd", nullptr}, {"FILE:///etc/passwd", nullptr},
        {"smb://host/share/payload.desktop", nullptr}, {"steam://run/1", nullptr},
        {"javascript:alert(1)", nullptr}, {"/usr/bin/xterm", nullptr}, {"xterm", nullptr},
        {"cam.example/ad", nullptr}, {"http:relative", nullptr}, {"http:///nohost", nullptr},
        {"mailto:a@b.example", nullptr}, {"", nullptr}, {"http://a b/", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const auto link = WebLink(c.text);
        ASSERT_EQ(link.has_value(), c.opened != nullptr);
        if (link) {
            EXPECT_EQ(link->toString(), c.opened);
        }
    }
}

TEST(SplitFields, Rules)
{
    SplitResult r = SplitFields("a||b||", "||");
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.field(1), "a");
    EXPECT_EQ(r.field(2), "b");
    EXPECT_EQ(r.field(3), "");

    r = SplitFields("General", "||");
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.field(1), "General");
    EXPECT_EQ(r.field(2), "") << "missing fields read as empty";

    r = SplitFields("a|||b", "||");
    EXPECT_EQ(r.count, 2) << "left-to-right scan";
    EXPECT_EQ(r.field(2), "|b");

    EXPECT_EQ(SplitFields("abc", "").count, -1);

    QStringList many;
    for (int i = 1; i <= 30; ++i)
        many << QString::number(i);
    r = SplitFields(many.join("||"), "||");
    EXPECT_EQ(r.count, 30);
    EXPECT_EQ(r.held.size(), SplitResult::MaxFields) << "nothing beyond the held fields";
    EXPECT_EQ(r.field(19), "19");
    EXPECT_EQ(r.field(20), "");
    EXPECT_EQ(r.field(0), "");
}

TEST(FileHelpers, SizesAndStreamedComparison)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a"), b = dir.filePath("b"), c = dir.filePath("c"), d = dir.filePath("d");
    QByteArray big(300 * 1024, 'x');
    test::WriteAll(a, big);
    test::WriteAll(b, big);
    big[big.size() - 1] = 'y';
    test::WriteAll(c, big);
    test::WriteAll(d, QByteArray(10, 'x'));

    EXPECT_EQ(FileSizeOf(a), 300 * 1024);
    EXPECT_EQ(FileSizeOf(dir.filePath("missing")), 0);
    EXPECT_TRUE(FilesEqual(a, b)) << "equal across several chunks";
    EXPECT_FALSE(FilesEqual(a, c)) << "last byte differs";
    EXPECT_FALSE(FilesEqual(a, d)) << "sizes differ";
    EXPECT_FALSE(FilesEqual(a, dir.filePath("missing")));
    test::WriteAll(dir.filePath("e"), "");
    test::WriteAll(dir.filePath("f"), "");
    EXPECT_TRUE(FilesEqual(dir.filePath("e"), dir.filePath("f")));
}

} // namespace
