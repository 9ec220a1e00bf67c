#include "common/Errors.h"
#include "common/Subs.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumetta;

namespace {

TEST(ParseHttpDate, ReadsOrRefuses)
{
    const struct { const char *text; int bias; const char *local; } read[] = {
        {"Sun, 06 Nov 1994 08:49:37 GMT", -60, "1994-11-06 09:49:37"},  // local one hour east
        {"Sun, 06 Nov 1994 08:49:37 0100", 0, "1994-11-06 07:49:37"},  // four digits without sign read as east
        {"Sun, 06 Nov 1994 08:49:37 -0530", 0, "1994-11-06 14:19:37"},
        {"Sun, 06 Nov 1994 08:49:37 +01", 0, "1994-11-06 07:48:37"},  // hours, and the same digits as minutes
        {"Sun,\t06  Nov\t\t1994   08:49:37 GMT", 0, "1994-11-06 08:49:37"},
        {"Sun, 06 Nov 1994 08:49:37", 0, "1994-11-06 08:49:37"},
        {"Tue, 15 DEC 2026 23:59:59 GMT", 0, "2026-12-15 23:59:59"},
    };
    for (const auto &c : read)
        EXPECT_EQ(FormatDateTimeText(ParseHttpDate(c.text, c.bias)).toStdString(), c.local) << c.text;
    // The RFC 850 form, no calendar date, no time.
    for (const char *bad : {"Sunday, 06-Nov-94 08:49:37 GMT", "Sun, 31 Feb 1994 08:49:37 GMT", "Sun, 06 Nov 1994"})
        EXPECT_THROW(ParseHttpDate(bad, 0), ConvertError) << bad;
}

TEST(GetHeaderValue, ContinuationRepetitionAndEnd)
{
    const struct { const char *name, *value; QStringList lines; } cases[] = {
        {"Date", "a b,d", {"Date: a", " b", "X: c", "date: d"}},  // continued and repeated
        {"x-msg", "one two", {"HTTP/1.0 200 OK", "X-Msg:  one  ", "\t two ", "Server: s"}},  // tab continues; trimmed
        {"B", "", {"HTTP/1.0 200 OK", "A: 1", "", "B: 2"}},  // stops at an empty line
        {"Location", "/x,/y", {"HTTP/1.0 302 Found", "Location: /x", "HTTP/1.0 200 OK", "Location: /y"}},  // 2 blocks
        {"B", "", {"HTTP/1.0 200 OK", "A: 1"}}, {"HTTP/1.0 200 OK", "", {"HTTP/1.0 200 OK"}}, {"A", "", {}},
        {"location", "http://h:81/p", {"Location: http://h:81/p"}},  // later colons kept
        {"Date", "", {"Date : a"}},  // the name is not trimmed
        {"A", ",x", {"A:", "A: x"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetHeaderValue(c.name, c.lines).toStdString(), c.value) << c.lines.join('|').toStdString();
}

TEST(TextHelpers, EdgeBehaviour)
{
    EXPECT_EQ(CountText("aaaa", "aa"), 2) << "non-overlapping";
    EXPECT_EQ(CountText("aaaa", ""), 0);

    EXPECT_EQ(LastPos("http://h/c/p.jpg", "/"), 11);
    EXPECT_LE(LastPos("abc", "/"), 0);

    // What each gave, and what it should have.
    const std::pair<QString, QString> texts[] = {
        {ReplaceAll("aaa", "a", "aa"), "aaaaaa"},  // inserted text is not examined again
        {ReplaceAll("a-b-c", "-", ""), "abc"}, {ReplaceAll("abc", "", "x"), "abc"},  // an empty pattern must not loop
        {ReplaceAll("xaxa", "xa", "a"), "aa"}, {NormalizeBlanks("a \t  b\t\tc "), "a b c "},
        {AddBackslash("/tmp/x"), "/tmp/x/"}, {AddBackslash("/tmp/x/"), "/tmp/x/"}, {AddBackslash(""), ""},
        {EncodeQueryValue("a b&c=d?"), "a%20b%26c%3Dd%3F"}, {EncodeQueryValue("100%"), "100%"},  // % left alone
    };
    for (const auto &[got, expected] : texts)
        EXPECT_EQ(got, expected);
}

TEST(AnyTextWiderThan, EstimatesFromCharactersAndMeasuresOnlyWhatMayNotFit)
{
    // Each character 10 px; "AV" kerned 4 px narrower; Hebrew shapes to 30
    // px a letter although its characters alone say 1.
    const auto charAdvance = [](QChar c) { return c.unicode() > 0x2FF ? 1 : 10; };
    int measured = 0;
    const auto textAdvance = [&measured](const QString &t) {
        ++measured;
        return int(t.size()) * (t.at(0).unicode() > 0x2FF ? 30 : 10) - 4 * int(t.count("AV"));
    };
    struct Case {
        QStringList texts;
        int limit;
        bool wider;
        int measured;
    } cases[] = {
        {{}, 0, false, 0},
        {{"abc"}, 32, false, 0}, {{"abcd"}, 42, false, 0},  // the estimate with its rounding margin fits
        {{"\u02ff\u02ff"}, 22, false, 0},  // the last that needs no shaping
        {{"abc"}, 31, false, 1}, {{"abc"}, 30, false, 1}, {{"abc"}, 29, true, 1},
        {{"AVAV"}, 32, false, 1}, {{"AVAV"}, 31, true, 1},
        {{"a", "\u05d0\u05d0"}, 40, true, 1},
        {{"abcdef", "a"}, 50, true, 1},  // the first too wide ends the walk
    };
    for (const Case &c : cases) {
        measured = 0;
        EXPECT_EQ(AnyTextWiderThan(c.texts, c.limit, charAdvance, textAdvance), c.wider)
            << c.texts.join('|').toStdString();
        EXPECT_EQ(measured, c.measured) << c.texts.join('|').toStdString() << " " << c.limit;
    }
}

TEST(WebLink, OnlyAbsoluteHttpOrHttpsIsOpened)
{
    const std::pair<const char *, const char *> opened[] = {
        {" https://cam.example/a?b=c ", "https://cam.example/a?b=c"}, {"HTTP://CAM.EXAMPLE/", "http://cam.example/"},
    };
    for (const auto &[text, link] : opened)
        EXPECT_EQ(WebLink(text).value_or(QUrl()).toString(), link) << text;
    for (const char *text : {"file:///etc/passwd", "smb://host/share/payload.desktop", "javascript:alert(1)",
                             "/usr/bin/xterm", "cam.example/ad", "http:///nohost", "http://a b/"})
        EXPECT_FALSE(WebLink(text).has_value()) << text;
}

// The count, then fields 1 to n.
QString Fields(const QString &text, int n)
{
    const SplitResult r = SplitFields(text, "||");
    QStringList out{QString::number(r.count)};
    for (int i = 1; i <= n; ++i)
        out << r.field(i);
    return out.join('/');
}

TEST(SplitFields, Rules)
{
    EXPECT_EQ(Fields("a||b||", 3), "3/a/b/");
    EXPECT_EQ(Fields("General", 2), "1/General/") << "missing fields read as empty";
    EXPECT_EQ(Fields("a|||b", 2), "2/a/|b") << "left-to-right scan";
    EXPECT_EQ(SplitFields("abc", "").count, -1);

    QStringList many;
    for (int i = 1; i <= 30; ++i)
        many << QString::number(i);
    const SplitResult r = SplitFields(many.join("||"), "||");
    EXPECT_EQ(r.count, 30);
    EXPECT_EQ(r.held.size(), SplitResult::MaxFields) << "nothing beyond the held fields";
    EXPECT_EQ(r.field(19), "19");
    EXPECT_EQ(r.field(20), "");
    EXPECT_EQ(r.field(0), "");
}

TEST(FileHelpers, SizesAndStreamedComparison)
{
    QTemporaryDir dir;
    const auto make = [&](const char *name, const QByteArray &bytes) {
        test::WriteAll(dir.filePath(name), bytes);
        return dir.filePath(name);
    };
    const QByteArray big(300 * 1024, 'x');
    const QString a = make("a", big), missing = dir.filePath("missing");
    EXPECT_EQ(FileSizeOf(a), 300 * 1024);
    EXPECT_EQ(FileSizeOf(missing), 0);
    EXPECT_TRUE(FilesEqual(a, make("b", big))) << "equal across several chunks";
    EXPECT_FALSE(FilesEqual(a, make("c", QByteArray(big).replace(big.size() - 1, 1, "y")))) << "last byte differs";
    EXPECT_FALSE(FilesEqual(a, make("d", QByteArray(10, 'x')))) << "sizes differ";
    EXPECT_FALSE(FilesEqual(a, missing));
    EXPECT_TRUE(FilesEqual(make("e", ""), make("f", "")));
}

TEST(FileHelpers, ReadsOnlyRegularFilesWithoutBlocking)
{
    QTemporaryDir dir;
    test::WriteAll(dir.filePath("file"), "abc");
    test::WriteAll(dir.filePath("one"), "a");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.filePath("fifo"), dir.filePath("link")));
    const struct { const char *description; QString path; qint64 bound; std::string result; } cases[] = {
        {"a one-byte file", dir.filePath("one"), 10, "bytes a"},
        {"exactly at the bound", dir.filePath("file"), 3, "bytes abc"},
        {"over the bound", dir.filePath("file"), 2, "error Larger than 2 bytes"},
        {"over it, with a size that says 0", "/proc/self/status", 10, "error Larger than 10 bytes"},
        {"a FIFO no one writes", dir.filePath("fifo"), 10, "error Not a regular file"},
        {"a link to that FIFO", dir.filePath("link"), 10, "error Not a regular file"},
        {"a folder", dir.path(), 10, "error Not a regular file"},
        {"missing", dir.filePath("missing"), 10, "error " + std::string(strerror(ENOENT))},
    };
    // Each read in a child under an alarm: one that blocks fails its row
    // instead of hanging the suite.
    for (const auto &c : cases)
        EXPECT_EXIT(
            {
                ::alarm(10);
                const FileRead read = ReadRegularFile(c.path, c.bound);
                std::fputs((read.bytes ? "bytes " + *read.bytes : "error " + read.error.toUtf8()).constData(), stderr);
                std::exit(0);
            },
            testing::ExitedWithCode(0), "^" + c.result + "$")
            << c.description;
}

} // namespace
