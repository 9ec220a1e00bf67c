#include "catalogue/CamEditor.h"

#include <gtest/gtest.h>

using namespace lumetta;

namespace {

TEST(LoadEditorFields, WritesBackThirteenSafeFields)
{
    // written: what the editor writes back unchanged; empty: the line as it was.
    const struct { const char *description; QString line, written; QStringList namesAsked; bool repaired; } cases[] = {
        {"complete record comes back as it was",
         "Cities||Harbour||http://h/c.jpg||http://h/||00:05:00||06:00:00||22:00:00||c.jpg||"
         "2026-12-06 10:00:00||2026-12-06 09:59:00||1||2||1",
         "", {}, false},
        {"no times: the new-webcam times, nothing thrown", "General||Bare||http://b/b.gif",
         "General||Bare||http://b/b.gif||||00:00:05||00:00:00||00:00:00||made.jpg||2000-01-01||2000-01-01||0||1||0",
         {"http://b/b.gif"}, true},
        {"local name with a folder is replaced by a made one",
         "General||P||http://p/p.jpg||||00:00:05||00:00:00||00:00:00||../../home/p.jpg||"
         "2000-01-01||2000-01-01||0||1||0",
         "General||P||http://p/p.jpg||||00:00:05||00:00:00||00:00:00||made.jpg||2000-01-01||2000-01-01||0||1||0",
         {"http://p/p.jpg"}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        QStringList asked;
        const EditorFields f = LoadEditorFields(c.line, [&](const QString &url) {
            asked << url;
            return QStringLiteral("made.jpg");
        });
        const CamRecord stored = CamRecord::fromLine(c.line);
        const QString written = EditorRecord(f, stored.siteName(), stored.enabled());
        EXPECT_EQ(written, c.written.isEmpty() ? c.line : c.written);
        EXPECT_EQ(asked, c.namesAsked);
        EXPECT_EQ(f.timesRepaired, c.repaired);
    }
}

} // namespace
