#include "catalogue/Catalogue.h"
#include "common/Subs.h"

#include <optional>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

QString Rec(const QString &category, const QString &name, const QString &url, bool enabled,
            const QString &lastModified = "2000-01-01")
{
    return QStringList{category, name, url, "", "00:00:05", "00:00:00", "00:00:00", "",
                       "2000-01-01", lastModified, enabled ? "1" : "0", "1", "0"}
        .join("||");
}

Catalogue Make(const QStringList &lines)
{
    Catalogue c;
    c.load(lines);
    return c;
}

QStringList Names(const Catalogue &c)
{
    QStringList out;
    for (const ListItem &item : c.items())
        out << item.text;
    return out;
}

std::pair<int, int> Counts(const Catalogue &c) { return {c.EnabledCount(), c.AdultCount()}; }

// Counts and items must always agree with what a rebuild from the records gives.
void ExpectInStep(const Catalogue &c)
{
    Catalogue fresh = Make(c.CamData());
    EXPECT_EQ(Counts(c), Counts(fresh));
    ASSERT_EQ(c.items().size(), fresh.items().size());
    for (int i = 0; i < c.count(); ++i) {
        EXPECT_EQ(c.items()[i].text, fresh.items()[i].text) << i;
        EXPECT_EQ(c.items()[i].checked, fresh.items()[i].checked) << i;
    }
    EXPECT_EQ(c.ImageUrlList(), fresh.ImageUrlList());
}

TEST(Catalogue, TicksAndDeletesKeepCountsInStep)
{
    Catalogue c = Make({Rec("Adult", "A", "http://a", false), Rec("Cities", "B", "http://b", true),
                        Rec("ADULT", "C", "http://c", true)});
    c.setEnabled(0, true);
    EXPECT_EQ(Counts(c), std::pair(3, 2));
    ExpectInStep(c);
    c.setEnabled(2, false);
    EXPECT_EQ(Counts(c), std::pair(2, 1));
    ExpectInStep(c);
    c.remove(0);
    EXPECT_EQ(Counts(c), std::pair(1, 0));
    ExpectInStep(c);
    c.setAllEnabled(true);
    EXPECT_EQ(Counts(c), std::pair(2, 1));
    c.setAllEnabled(false);
    EXPECT_EQ(Counts(c), std::pair(0, 0));
    ExpectInStep(c);
    const int added = c.add("New");
    EXPECT_FALSE(c.items()[added].checked);
    EXPECT_FALSE(CamRecord::fromLine(c.CamData()[added]).enabled()) << "record and item agree";
    ExpectInStep(c);
}

TEST(Catalogue, SuggestedNames)
{
    const struct { QStringList existing; const char *asked; const char *suggested; } cases[] = {
        {{"harbour"}, "Harbour", "Harbour 1"},
        {{"Harbour", "Harbour 1", "Harbour 2"}, "Harbour 1", "Harbour 3"},
        {{"Pier 7a"}, "Pier 7a", "Pier 7a 1"},
        {{"Cam 2", "cam 1"}, "Cam 2", "Cam 3"},
        {{"Cam -1"}, "Cam -1", "Cam 1"},
        {{" 5"}, " 5", " 1"},
    };
    for (const auto &tc : cases) {
        SCOPED_TRACE(tc.asked);
        QStringList lines;
        for (const QString &n : tc.existing)
            lines << Rec("General", n, "http://" + n, false);
        const Catalogue c = Make(lines);
        EXPECT_EQ(c.suggestName(tc.asked), tc.suggested);
    }
}

TEST(Catalogue, NamesHoldingTheSeparatorAreAskedAgain)
{
    const Catalogue c = Make({Rec("General", "harbour", "http://h", true)});
    QStringList prompts;
    QList<std::optional<QString>> answers{QString("a||b"), QString("a\nb"), QString("pier")};
    const NameAsker ask = [&](const QString &prompt, const QString &text) {
        prompts << prompt + " | " + text;
        return answers.takeFirst();
    };
    EXPECT_EQ(AskNewCamName(c, ask), "pier");
    EXPECT_EQ(prompts, QStringList({"Site name | ", UnsafeNamePrompt + " | a||b", UnsafeNamePrompt + " | a\nb"}));
    prompts.clear();
    answers = {QString("   "), QString("  Pier  ")};
    EXPECT_EQ(AskNewCamName(c, ask), "Pier") << "blanks ask again; the answer is trimmed";
    EXPECT_EQ(prompts, QStringList({"Site name | ", "Please enter a name for Site | "}));

    prompts.clear();
    answers = {QString("x||y"), std::nullopt};
    EXPECT_EQ(AskRenamedCam(c, 0, ask), "harbour") << "a cancel keeps the current name";
    EXPECT_EQ(prompts, QStringList({"Rename Site | harbour", UnsafeNamePrompt + " | harbour"}));
}

// The answers a rename takes: the window only passes them on.
TEST(Catalogue, RenameAnswers)
{
    const Catalogue c = Make({Rec("General", "Harbour", "http://h", true), Rec("General", "Pier", "http://p", false)});
    const std::optional<QString> cancel;
    const QString empty = "Please enter new name for Site | ";
    const struct {
        QList<std::optional<QString>> answers;
        QString name;
        QStringList laterPrompts;  // after "Rename Site | Harbour"
    } cases[] = {
        {{QString("   ")}, "   ", {}},
        {{QString("harbour")}, "harbour", {}},
        {{cancel}, "Harbour", {}},
        {{QString(""), QString("Quay")}, "Quay", {empty + "Harbour"}},
        {{QString("pier"), cancel}, "pier 1", {NameExistsPrompt + " | pier 1"}},
        {{QString("Pier"), QString(""), cancel}, "Pier 1", {NameExistsPrompt + " | Pier 1", empty + "Pier 1"}},
    };
    for (const auto &tc : cases) {
        SCOPED_TRACE(tc.name.toStdString());
        QList<std::optional<QString>> answers = tc.answers;
        QStringList prompts;
        const std::optional<QString> name = AskRenamedCam(c, 0, [&](const QString &prompt, const QString &text) {
            prompts << prompt + " | " + text;
            return answers.takeFirst();
        });
        EXPECT_EQ(name.value_or("<none>"), tc.name);
        EXPECT_EQ(prompts, QStringList{"Rename Site | Harbour"} + tc.laterPrompts);
    }
}

TEST(Catalogue, RenameAndDuplicateLookups)
{
    Catalogue c = Make({Rec("General", "Harbour", "http://x/1.jpg", true), Rec("General", "Pier", "http://x/2.jpg", true)});
    EXPECT_TRUE(c.nameExists("harbour"));
    EXPECT_FALSE(c.nameExists("harbour", 0)) << "its own name is no clash";
    c.rename(0, "harbour");
    EXPECT_EQ(c.items()[0].text, "harbour");
    EXPECT_EQ(CamRecord::fromLine(c.CamData()[0]).siteName(), "harbour");
    EXPECT_EQ(c.duplicateUrl("http://x/1.jpg", 1), 0);
    EXPECT_EQ(c.duplicateUrl("http://x/1.jpg", 0), -1);
    EXPECT_EQ(c.duplicateUrl("HTTP://x/1.jpg", 1), -1) << "URLs compare with case";
}

TEST(Catalogue, MovesStayInsideAndCarryEverything)
{
    Catalogue c = Make({Rec("General", "a", "http://a", true), Rec("General", "b", "http://b", false)});
    EXPECT_FALSE(c.move(0, -1));
    EXPECT_FALSE(c.move(1, +1));
    EXPECT_TRUE(c.move(0, +1));
    EXPECT_EQ(Names(c), (QStringList{"b", "a"}));
    EXPECT_TRUE(c.items()[1].checked);
    ExpectInStep(c);
}

TEST(Catalogue, RememberedIndexFollowsRemovalsAndMoves)
{
    struct { int index, removed, afterRemoval, from, to, afterMove; } const cases[] = {
        {2, 2, -1, 2, 3, 3},  // the record itself
        {3, 2, 2, 2, 3, 2},   // after it; swapped with the moved one
        {1, 2, 1, 2, 3, 1},   // before it; untouched by the move
        {-1, 0, -1, 0, 1, -1},  // nothing remembered stays so
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IndexAfterRemoval(c.index, c.removed), c.afterRemoval) << c.index;
        EXPECT_EQ(IndexAfterMove(c.index, c.from, c.to), c.afterMove) << c.index;
    }
}

TEST(Catalogue, SortsIgnoreCase)
{
    Catalogue c = Make({Rec("Weather", "gamma", "http://g", true), Rec("cities", "Beta", "http://b", true),
                        Rec("Animals", "alpha", "http://a", false)});
    c.sortBySiteName();
    EXPECT_EQ(Names(c), (QStringList{"alpha", "Beta", "gamma"}));
    ExpectInStep(c);
    c.sortByCategory();
    EXPECT_EQ(Names(c), (QStringList{"alpha", "Beta", "gamma"}));
    c = Make({Rec("b", "x", "1", true), Rec("A", "y", "2", true), Rec("a", "a", "3", true)});
    c.sortByCategory();
    EXPECT_EQ(Names(c), (QStringList{"a", "y", "x"}));
}

TEST(Catalogue, DeleteInactiveWalksBackwardsAndKeepsUnreadable)
{
    const QString old = "2020-01-01";
    Catalogue c = Make({
        Rec("General", "old 0", "u0", false, old),
        Rec("General", "enabled", "u1", true, old),
        Rec("General", "-dash", "u2", false, old),
        Rec("General", " blank", "u3", false, old),
        Rec("General", "recent", "u4", false, "2026-12-01"),
        Rec("General", "unreadable", "u5", false, "someday"),
        Rec("General", "old 6", "u6", false, old),
        Rec("General", "old 7", "u7", false, old),
    });
    const TDateTime cutoff = EncodeDate(2024, 12, 6) + EncodeTime(10, 0, 0);

    Catalogue abort = c;
    QList<int> offered;
    EXPECT_EQ(abort.deleteInactive(cutoff, [&](const Catalogue::Candidate &k) {
        offered << k.index;
        return Catalogue::Decision::Abort;
    }), 0);
    EXPECT_EQ(offered, QList<int>{7});
    EXPECT_EQ(abort.count(), 8);

    offered.clear();
    QList<Catalogue::Decision> answers{Catalogue::Decision::No, Catalogue::Decision::YesToAll};
    EXPECT_EQ(c.deleteInactive(cutoff, [&](const Catalogue::Candidate &k) {
        offered << k.index;
        return answers.takeFirst();
    }), 2);
    EXPECT_EQ(offered, (QList<int>{7, 6})) << "no more questions after Yes to All";
    EXPECT_EQ(Names(c), (QStringList{"enabled", "-dash", " blank", "recent", "unreadable", "old 7"}));
    ExpectInStep(c);
}

TEST(LocalFileNames, UnsafeNamesAndCaseInsensitiveSet)
{
    for (const char *bad : {"../x.jpg", "a/b.jpg", "a\\b.jpg", "..", ".", "a\tb.jpg", "a\nb"})
        EXPECT_FALSE(IsSafeLocalFileName(bad)) << bad;
    for (const char *good : {"", "cam.jpg", "Harbour 1.gif", "a.b.jpg", "x..jpg"})
        EXPECT_TRUE(IsSafeLocalFileName(good)) << good;

    Catalogue c = Make({Rec("General", "a", "http://a", true)});
    c.load({QString(c.CamData()[0]).replace("||||2000-01-01||2000-01-01", "||Cam.JPG||2000-01-01||2000-01-01")});
    EXPECT_TRUE(c.LocalFileList().contains("cam.jpg"));
    c.reserveLocalFileName("new.gif");
    c.remove(0);
    EXPECT_TRUE(c.LocalFileList().contains("NEW.GIF")) << "handed-out names stay taken";
}

} // namespace
