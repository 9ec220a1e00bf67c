#include "catalogue/Catalogue.h"
#include "common/Subs.h"

#include <optional>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

// A webcam whose image is http://x/<name>.
QString Rec(const QString &name, bool enabled, const QString &category = "General",
            const QString &lastModified = "2000-01-01")
{
    return QStringList{category, name, "http://x/" + name, "", "00:00:05", "00:00:00", "00:00:00", "",
                       "2000-01-01", lastModified, enabled ? "1" : "0", "1", "0"}
        .join("||");
}

Catalogue Make(const QStringList &lines)
{
    Catalogue c;
    c.load(lines);
    return c;
}

// The items as the list shows them, "*" marking a tick.
QStringList Items(const Catalogue &c)
{
    QStringList out;
    for (const ListItem &item : c.items())
        out << item.text + (item.checked ? "*" : "");
    return out;
}

std::pair<int, int> Counts(const Catalogue &c) { return {c.EnabledCount(), c.AdultCount()}; }

// Counts and items must always agree with what a rebuild from the records gives.
void ExpectInStep(const Catalogue &c)
{
    const Catalogue fresh = Make(c.CamData());
    EXPECT_EQ(Counts(c), Counts(fresh));
    EXPECT_EQ(Items(c), Items(fresh));
    EXPECT_EQ(c.ImageUrlList(), fresh.ImageUrlList());
}

TEST(Catalogue, EditsKeepCountsAndListInStep)
{
    Catalogue c = Make({Rec("beta", false, "Adult"), Rec("Alpha", true, "Cities"), Rec("Gamma", true, "ADULT")});
    // Sorts ignore case; a category sort goes on to the rest of the line.
    // After the last step the counts say the new webcam is off; the rebuild, that its record is too.
    const struct { std::function<void(Catalogue &)> step; std::pair<int, int> counts; const char *items; } steps[] = {
        {[](Catalogue &k) { k.setEnabled(0, true); }, {3, 2}, "beta* Alpha* Gamma*"},
        {[](Catalogue &k) { k.setEnabled(2, false); }, {2, 1}, "beta* Alpha* Gamma"},
        {[](Catalogue &k) { k.sortBySiteName(); }, {2, 1}, "Alpha* beta* Gamma"},
        {[](Catalogue &k) { k.sortByCategory(); }, {2, 1}, "beta* Gamma Alpha*"},
        {[](Catalogue &k) {
             EXPECT_FALSE(k.move(0, -1) || k.move(2, +1)) << "moves stay inside";
             EXPECT_TRUE(k.move(0, +1));
         },
         {2, 1}, "Gamma beta* Alpha*"},
        {[](Catalogue &k) { k.rename(0, "gamma"); }, {2, 1}, "gamma beta* Alpha*"},
        {[](Catalogue &k) { k.remove(1); }, {1, 0}, "gamma Alpha*"},
        {[](Catalogue &k) { k.setAllEnabled(true); }, {2, 1}, "gamma* Alpha*"},
        {[](Catalogue &k) { k.setAllEnabled(false); }, {0, 0}, "gamma Alpha"},
        {[](Catalogue &k) { k.add("New"); }, {0, 0}, "gamma Alpha New"},
    };
    for (const auto &s : steps) {
        s.step(c);
        EXPECT_EQ(Counts(c), s.counts);
        EXPECT_EQ(Items(c).join(' '), s.items);
        ExpectInStep(c);
    }
}

TEST(Catalogue, NameSuggestionsLookupsAndAnswers)
{
    const Catalogue c =
        Make({Rec("Harbour", true), Rec("harbour 1", false), Rec("Harbour 2", false), Rec("Pier", false)});
    // A number after the last blank is counted on; anything else gets one.
    const std::pair<const char *, const char *> suggestions[] = {
        {"HARBOUR", "HARBOUR 3"}, {"Harbour 1", "Harbour 3"}, {"Pier 7a", "Pier 7a 1"},
        {"Cam -1", "Cam 1"}, {" 5", " 1"},
    };
    for (const auto &[asked, suggested] : suggestions)
        EXPECT_EQ(c.suggestName(asked), suggested) << asked;
    EXPECT_EQ(c.duplicateUrl("http://x/Harbour", 1), 0);
    EXPECT_EQ(c.duplicateUrl("http://x/Harbour", 0), -1);
    EXPECT_EQ(c.duplicateUrl("HTTP://x/Harbour", 1), -1) << "URLs compare with case";

    // The answers adding and renaming take: the window only passes them on.
    const std::optional<QString> cancel;
    const QString rename = "Rename Site | Harbour", empty = "Please enter new name for Site | ";
    const struct {
        bool renaming;
        QList<std::optional<QString>> answers;
        QString name;
        QStringList prompts;
    } cases[] = {
        {false, {QString("a||b"), QString("quay")}, "quay", {"Site name | ", UnsafeNamePrompt + " | a||b"}},
        {false, {QString("   "), QString("  Quay  ")}, "Quay", {"Site name | ", "Please enter a name for Site | "}},
        {true, {QString("x||y"), cancel}, "Harbour", {rename, UnsafeNamePrompt + " | Harbour"}},
        {true, {QString("harbour")}, "harbour", {rename}},
        {true, {QString(""), QString("Quay")}, "Quay", {rename, empty + "Harbour"}},
        {true, {QString("pier"), cancel}, "pier 1", {rename, NameExistsPrompt + " | pier 1"}},
    };
    for (const auto &tc : cases) {
        SCOPED_TRACE(tc.name.toStdString());
        QList<std::optional<QString>> answers = tc.answers;
        QStringList prompts;
        const NameAsker ask = [&](const QString &prompt, const QString &text) {
            prompts << prompt + " | " + text;
            return answers.takeFirst();
        };
        EXPECT_EQ((tc.renaming ? AskRenamedCam(c, 0, ask) : AskNewCamName(c, ask)).value_or("<none>"), tc.name);
        EXPECT_EQ(prompts, tc.prompts);
    }
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

TEST(Catalogue, DeleteInactiveWalksBackwardsAndKeepsUnreadable)
{
    const QString old = "2020-01-01";
    Catalogue c = Make({Rec("old 0", false, "General", old), Rec("enabled", true, "General", old),
                        Rec("-dash", false, "General", old), Rec(" blank", false, "General", old),
                        Rec("recent", false, "General", "2026-12-01"), Rec("unreadable", false, "General", "someday"),
                        Rec("old 6", false, "General", old), Rec("old 7", false, "General", old)});
    using D = Catalogue::Decision;
    QList<int> offered;
    const auto run = [&](Catalogue &catalogue, QList<D> answers) {
        offered.clear();
        const TDateTime cutoff = EncodeDate(2024, 12, 6) + EncodeTime(10, 0, 0);
        return catalogue.deleteInactive(cutoff, [&](const Catalogue::Candidate &k) {
            offered << k.index;
            return answers.takeFirst();
        });
    };
    Catalogue aborted = c;
    EXPECT_EQ(run(aborted, {D::Abort}), 0);
    EXPECT_EQ(offered, QList<int>{7});
    EXPECT_EQ(aborted.count(), 8);

    EXPECT_EQ(run(c, {D::No, D::YesToAll}), 2);
    EXPECT_EQ(offered, (QList<int>{7, 6})) << "no more questions after Yes to All";
    EXPECT_EQ(Items(c), (QStringList{"enabled*", "-dash", " blank", "recent", "unreadable", "old 7"}));
    ExpectInStep(c);
}

TEST(LocalFileNames, UnsafeNamesAndCaseInsensitiveSet)
{
    for (const char *bad : {"../x.jpg", "a\\b.jpg", "..", ".", "a\tb.jpg", "a\x7f.jpg"})
        EXPECT_FALSE(IsSafeLocalFileName(bad)) << bad;
    for (const char *good : {"", "cam.jpg", "Harbour 1.gif", "a.b.jpg", "x..jpg"})
        EXPECT_TRUE(IsSafeLocalFileName(good)) << good;

    Catalogue c = Make({Rec("a", true).replace("||||2000", "||Cam.JPG||2000")});
    EXPECT_TRUE(c.LocalFileList().contains("cam.jpg"));
    c.reserveLocalFileName("new.gif");
    c.remove(0);
    EXPECT_TRUE(c.LocalFileList().contains("NEW.GIF")) << "handed-out names stay taken";
}

} // namespace
