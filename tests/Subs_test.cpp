#include "common/Errors.h"
#include "common/Subs.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

struct HttpDateCase {
    const char *what;
    const char *text;
    int bias;
    const char *local;  // expected local time, or nullptr for a conversion error
};

class ParseHttpDateTest : public ::testing::TestWithParam<HttpDateCase> {};

TEST_P(ParseHttpDateTest, ReadsOrRefuses)
{
    const HttpDateCase &c = GetParam();
    SCOPED_TRACE(c.what);
    if (!c.local) {
        EXPECT_THROW(ParseHttpDate(QString::fromLatin1(c.text), c.bias), ConvertError);
        return;
    }
    const TDateTime t = ParseHttpDate(QString::fromLatin1(c.text), c.bias);
    EXPECT_EQ(FormatDateTimeText(t).toStdString(), c.local);
}

INSTANTIATE_TEST_SUITE_P(Zones, ParseHttpDateTest, ::testing::Values(
    HttpDateCase{"RFC 1123, local one hour east", "Sun, 06 Nov 1994 08:49:37 GMT", -60, "1994-11-06 09:49:37"},
    HttpDateCase{"RFC 1123, local five hours west", "Sun, 06 Nov 1994 08:49:37 GMT", 300, "1994-11-06 03:49:37"},
    HttpDateCase{"numeric zone east", "Sun, 06 Nov 1994 08:49:37 +0100", 0, "1994-11-06 07:49:37"},
    HttpDateCase{"four digits without sign read as east", "Sun, 06 Nov 1994 08:49:37 0100", 0, "1994-11-06 07:49:37"},
    HttpDateCase{"numeric zone west", "Sun, 06 Nov 1994 08:49:37 -0530", 0, "1994-11-06 14:19:37"},
    HttpDateCase{"short zone east: hours, and the same digits as minutes", "Sun, 06 Nov 1994 08:49:37 +01", 0, "1994-11-06 07:48:37"},
    HttpDateCase{"short zone west", "Sun, 06 Nov 1994 08:49:37 -05", 0, "1994-11-06 13:54:37"},
    HttpDateCase{"crossing midnight backwards", "Mon, 01 Jan 2001 00:30:00 +0100", 0, "2000-12-31 23:30:00"},
    HttpDateCase{"tabs and repeated blanks", "Sun,\t06  Nov\t\t1994   08:49:37 GMT", 0, "1994-11-06 08:49:37"},
    HttpDateCase{"any first word", "Whatever 06 Nov 1994 08:49:37 GMT", 0, "1994-11-06 08:49:37"},
    HttpDateCase{"named zone other than GMT is UTC", "Sun, 06 Nov 1994 08:49:37 EST", 0, "1994-11-06 08:49:37"},
    HttpDateCase{"four-letter zone name is UTC", "Sun, 06 Nov 1994 08:49:37 CEST", 0, "1994-11-06 08:49:37"},
    HttpDateCase{"no zone", "Sun, 06 Nov 1994 08:49:37", 0, "1994-11-06 08:49:37"},
    HttpDateCase{"upper-case month", "Tue, 15 DEC 2026 23:59:59 GMT", 0, "2026-12-15 23:59:59"},
    HttpDateCase{"many blanks beyond the held fields", "Sun, 06 Nov 1994 08:49:37 GMT a b c d e f g h i j k l m n o p q r s t", 0, "1994-11-06 08:49:37"},
    HttpDateCase{"RFC 850 form", "Sunday, 06-Nov-94 08:49:37 GMT", 0, nullptr},
    HttpDateCase{"asctime form", "Sun Nov  6 08:49:37 1994", 0, nullptr},
    HttpDateCase{"no calendar date", "Sun, 31 Feb 1994 08:49:37 GMT", 0, nullptr},
    HttpDateCase{"hour out of range", "Sun, 06 Nov 1994 25:49:37 GMT", 0, nullptr},
    HttpDateCase{"missing time", "Sun, 06 Nov 1994", 0, nullptr},
    HttpDateCase{"empty", "", 0, nullptr},
    HttpDateCase{"unknown month", "Sun, 06 Foo 1994 08:49:37 GMT", 0, nullptr}));

struct HeaderCase { const char *what; QStringList lines; const char *name; const char *value; };

TEST(GetHeaderValue, ContinuationRepetitionAndEnd)
{
    const HeaderCase cases[] = {
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
    for (const HeaderCase &c : cases) {
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

TEST(TextHelpers, IsNumberAndIsDateTime)
{
    const struct { const char *text; bool number; bool dateTime; } cases[] = {
        {"12", true, false}, {"-3", true, false}, {"1.5", false, false}, {"", false, false},
        {"99999999999", false, false}, {"12a", false, false}, {" 12", false, false}, {"12 ", false, false},
        {"\t3", false, false},
        {"2000-01-01", false, true}, {"2026-12-06 7:05", false, true},
        {"2026-12-06 07:05:09", false, true}, {"2026-02-30", false, false},
        {"2026-12-06 24:00:00", false, false}, {"06/12/2026", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsNumber(c.text), c.number);
        EXPECT_EQ(IsDateTime(c.text), c.dateTime);
    }
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
        if (link)
            EXPECT_EQ(link->toString(), c.opened);
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
