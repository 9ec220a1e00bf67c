#include "download/WebcamHealth.h"

#include "support/TestEnv.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumetta;

namespace {

const TDateTime T0 = EncodeDate(2026, 12, 7) + EncodeTime(3, 0, 0);
const TDateTime Minute = 60 * OneSecond;
const TDateTime Slow = EncodeTime(12, 0, 0);

QString Record(bool enabled, const QString &refresh = "00:05:00", const QString &lastModified = "2026-12-07 02:50:00")
{
    return "Cities||Harbour||http://cam.example/h.jpg||||" + refresh + "||00:00:00||00:00:00||h.jpg||"
           + "2026-12-07 02:50:00||" + lastModified + "||" + (enabled ? "1" : "0") + "||1||0";
}

enum Event { NewPicture, Unchanged, Failure, Disabled, ReEnabled, Slowed };

// The health record the show keeps, read back in plain words as the
// health page shows it.
TEST(WebcamHealthTest, StateInPlainWords)
{
    struct {
        const char *description;
        std::vector<Event> steps;
        bool enabled;
        const char *state;
        const char *reason;
    } const cases[] = {
        {"never fetched", {}, true, "Never fetched", ""},
        {"a new picture", {NewPicture}, true, "New picture", ""},
        {"the same picture again", {NewPicture, Unchanged}, true, "Unchanged", ""},
        {"failing names the fetch's reason", {NewPicture, Failure}, true, "Failing", "404 Not Found"},
        {"a success ends the failing", {Failure, Unchanged}, true, "Unchanged", ""},
        {"slowed and nothing new since", {NewPicture, Slowed}, true, "Slow", ""},
        {"slowed, then a new picture", {Slowed, NewPicture}, true, "New picture", ""},
        {"disabled by the inactive rule", {Failure, Disabled}, false, "Disabled by rule", "404 Not Found"},
        {"unticked by the user", {NewPicture}, false, "Disabled by you", ""},
        {"re-enabled by the rule, then unticked", {Disabled, ReEnabled}, false, "Disabled by you", ""},
    };
    for (const auto &c : cases) {
        WebcamHealth h;
        TDateTime now = T0;
        for (Event k : c.steps) {
            now += Minute;
            switch (k) {
            case NewPicture:
                RecordFetch(h, {true, false, {}, 1000}, now);
                break;
            case Unchanged:
                RecordFetch(h, {false, true, "The webcam still shows the last picture", 1000}, now);
                break;
            case Failure:
                RecordFetch(h, {false, false, "404 Not Found", 0}, now);
                break;
            case Disabled:
                RecordRules(h, {true, false, Minute, Minute, Slow}, now);
                break;
            case ReEnabled:
                RecordRules(h, {false, true, Minute, Minute, Slow}, now);
                break;
            case Slowed:
                RecordRules(h, {true, true, Minute, Slow, Slow}, now);
                break;
            }
        }
        const HealthRow row = DescribeWebcam(Record(c.enabled), c.steps.empty() ? nullptr : &h, true, T0 + Minute);
        EXPECT_EQ(HealthStateText(row.state), c.state) << c.description;
        EXPECT_EQ(row.reason, c.reason) << c.description;
        EXPECT_EQ(row.name, "Harbour");
    }
    EXPECT_EQ(DescribeWebcam(Record(true, "00:05:00", ""), nullptr, true, T0).pictureAge, -1) << "no date";
    EXPECT_EQ(DescribeWebcam(Record(true), nullptr, false, T0).pictureAge, -1) << "no picture";
    EXPECT_NEAR(DescribeWebcam(Record(true), nullptr, true, T0).pictureAge * SecondsPerDay, 600, 0.01);
}

// The book is saved whole or not at all: a kill in the middle of a save
// leaves the last whole one, and a link planted in its place is replaced,
// never written through.
TEST(WebcamHealthTest, SavedWholeOrNotAtAll)
{
    test::TestEnv env;
    const QString file = HealthBook::FileIn(env.path());
    const QString elsewhere = env.path() + "/elsewhere";
    QFile(elsewhere).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(elsewhere, file));
    HealthBook book;
    book.load(file);
    EXPECT_EQ(book.size(), 0) << "a link to no health record reads as none";
    for (int i = 0; i < 2000; ++i)
        RecordFetch(book.entry(QStringLiteral("http://cam.example/%1.jpg").arg(i)), {true, false, {}, 10}, T0);
    ASSERT_TRUE(book.save());
    EXPECT_EQ(QFile(elsewhere).size(), 0);
    EXPECT_FALSE(QFileInfo(file).isSymLink());

    for (int round = 0; round < 10; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            HealthBook more;
            more.load(file);
            for (int i = 0;; ++i) {
                RecordFetch(more.entry(QStringLiteral("http://more.example/%1.jpg").arg(i)), {}, T0);
                (void)more.save();
            }
        }
        usleep(useconds_t(QRandomGenerator::global()->bounded(2000, 30000)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        HealthBook after;
        after.load(file);
        EXPECT_GE(after.size(), 2000) << "round " << round;
        ASSERT_NE(after.find("http://cam.example/1999.jpg"), nullptr);
    }

    QFile garbled(file);
    ASSERT_TRUE(garbled.open(QIODevice::WriteOnly | QIODevice::Truncate));
    garbled.write("{\"webcams\": {\"http://x\": [1, 2");
    garbled.close();
    book.load(file);
    EXPECT_EQ(book.size(), 0);
}

} // namespace
