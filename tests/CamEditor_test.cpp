#include "catalogue/CamEditor.h"
#include "common/Subs.h"

#include <gtest/gtest.h>

using namespace lumetta;

namespace {

struct LoadCase {
    const char *description;
    QString line;
    // What the editor writes back unchanged, and what it asked to be named.
    QString written;
    QStringList namesAsked;
    bool repaired = false;
};

void PrintTo(const LoadCase &c, std::ostream *os) { *os << c.description; }

class LoadEditorFieldsTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadEditorFieldsTest, WritesBackThirteenSafeFields)
{
    const LoadCase &c = GetParam();
    QStringList asked;
    const EditorFields f = LoadEditorFields(c.line, [&](const QString &url) {
        asked << url;
        return QStringLiteral("made.jpg");
    });
    const CamRecord stored = CamRecord::fromLine(c.line);
    const QString written = EditorRecord(f, stored.siteName(), stored.enabled());
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(CountText(written, "||"), 12);
    EXPECT_EQ(asked, c.namesAsked);
    EXPECT_EQ(f.timesRepaired, c.repaired);
}

INSTANTIATE_TEST_SUITE_P(
    Records, LoadEditorFieldsTest,
    ::testing::Values(
        LoadCase{"complete record comes back as it was",
                 "Cities||Harbour||http://h/c.jpg||http://h/||00:05:00||06:00:00||22:00:00||c.jpg||"
                 "2026-12-06 10:00:00||2026-12-06 09:59:00||1||2||1",
                 "Cities||Harbour||http://h/c.jpg||http://h/||00:05:00||06:00:00||22:00:00||c.jpg||"
                 "2026-12-06 10:00:00||2026-12-06 09:59:00||1||2||1",
                 {}},
        LoadCase{"no times: the new-webcam times, nothing thrown",
                 "General||Bare||http://b/b.gif",
                 "General||Bare||http://b/b.gif||||00:00:05||00:00:00||00:00:00||made.jpg||2000-01-01||2000-01-01||0||1||0",
                 {"http://b/b.gif"},
                 true},
        LoadCase{"one unreadable time repaired, the others kept",
                 "General||T||http://t/t.jpg||||00:10:00||7 o'clock||21:00||t.jpg||||||1||0||0",
                 "General||T||http://t/t.jpg||||00:10:00||00:00:00||21:00:00||t.jpg||2000-01-01||2000-01-01||1||0||0",
                 {},
                 true},
        LoadCase{"local name with a folder is replaced by a made one",
                 "General||P||http://p/p.jpg||||00:00:05||00:00:00||00:00:00||../../home/p.jpg||2000-01-01||2000-01-01||0||1||0",
                 "General||P||http://p/p.jpg||||00:00:05||00:00:00||00:00:00||made.jpg||2000-01-01||2000-01-01||0||1||0",
                 {"http://p/p.jpg"}},
        LoadCase{"no URL: no local name, none made",
                 "General||N||  ||||00:00:05||00:00:00||00:00:00||old.jpg||2000-01-01||2000-01-01||0||1||0",
                 "General||N||  ||||00:00:05||00:00:00||00:00:00||||2000-01-01||2000-01-01||0||1||0",
                 {}},
        LoadCase{"unreadable dates are shown and kept as they are",
                 "General||D||http://d/d.jpg||||00:00:05||00:00:00||00:00:00||d.jpg||soon||later||0||1||0",
                 "General||D||http://d/d.jpg||||00:00:05||00:00:00||00:00:00||d.jpg||soon||later||0||1||0",
                 {}}));

} // namespace
