#include "app/RunMode.h"
#include "platform/Registry.h"
#include "service/AdOptions.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

// The run a command line asks for, as letters: p preview, s screen saver, c config, a administration,
// i idle watcher; h and v ask for the help or the version text.
QString Letters(const RunMode &m)
{
    const char *info[] = {"", "h", "v"};
    return QString(m.preview ? "p" : "") + (m.screenSaver ? "s" : "") + (m.config ? "c" : "") + (m.admin ? "a" : "") +
           (m.idle ? "i" : "") + info[int(m.info)];
}

TEST(RunMode, ReadsTheFirstArgument)
{
    // A single character has no mode letter; --version wins over a switch after it.
    // Qt's own options, with their values, are Qt's wherever they stand.
    const struct { QStringList arguments; const char *mode; } cases[] = {
        {{"/S"}, "s"}, {{"/c:1234"}, "c"}, {{"/p", "1234"}, "p"}, {{"s"}, ""}, {{"TAVEL"}, "a"},
        {{"--help"}, "h"}, {{"--version", "/s"}, "v"}, {{"--IDLE"}, "i"},
        {{"-style", "Fusion"}, ""}, {{"-platform", "xcb"}, ""}, {{"-platformtheme", "gtk3", "/c"}, "c"},
        {{"--style=Fusion", "/p"}, "p"}, {{"-reverse", "tavel"}, "a"}, {{"/s", "-display", ":1"}, "s"},
        {{"-qwindowgeometry", "600x400", "-stylesheet=a.qss", "--help"}, "h"}, {{"-session", "/s"}, ""},
        {{"-reversed", "/s"}, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Letters(ParseRunMode(WithoutQtOptions(c.arguments))), c.mode) << c.arguments.join(' ').toStdString();
}

TEST(MainCaption, ShowsThreePartsOfTheFileVersion)
{
    EXPECT_EQ(MainCaption("Lumetta", "2.4.1.77"), "Lumetta v2.4.1") << "build number left out";
    EXPECT_EQ(MainCaption("Lumetta", "02.04.010.5"), "Lumetta v2.4.10") << "numbers in decimal";
    EXPECT_EQ(MainCaption("Lumetta", "3"), "Lumetta v3.0.0") << "short version padded";
}

TEST(StartingCamRow, TheRunsOwnIndexInsideTheCatalogueElseTheFirst)
{
    // Three webcams; an administration run takes LastCam, any other SelectedCam.
    const struct { bool admin; int selectedCam, lastCam, row; } cases[] = {
        {false, 2, 1, 2}, {false, 3, 1, 0}, {false, -1, 1, 0}, {true, 1, 2, 2}, {true, 2, 3, 0}, {true, 1, -1, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(StartingCamRow(c.admin, c.selectedCam, c.lastCam, 3), c.row) << c.admin << c.selectedCam << c.lastCam;
}

TEST(DecideAfterSetUp, ARunWithNothingToShowEnds)
{
    const RunMode normal = ParseRunMode({}), saver = ParseRunMode({"/s"});
    const struct { const char *description; RunMode mode; SetUpOutcome outcome; bool slideShow; AfterSetUp expected; }
        cases[] = {
        {"normal", normal, {true, false, false}, false, AfterSetUp::ShowWindowAndRun},
        {"normal after a set-up error: the window stays usable", normal, {false, false, false}, false,
         AfterSetUp::ShowWindowAndRun},
        {"no program folder yet", ParseRunMode({"/c"}), {true, true, false}, false, AfterSetUp::End},
        {"terminated during set-up", normal, {true, false, true}, true, AfterSetUp::End},
        {"screen saver", saver, {true, false, false}, true, AfterSetUp::RunWithoutWindow},
        {"screen saver after a set-up error", saver, {false, false, false}, true, AfterSetUp::End},
        {"screen saver without a slide show", saver, {true, false, false}, false, AfterSetUp::End},
        {"offline screen saver took over", saver, {true, true, false}, true, AfterSetUp::End},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecideAfterSetUp(c.mode, c.outcome, c.slideShow), c.expected) << c.description;
}

TEST(FindLastAd, AnImageFileAndALink)
{
    QTemporaryDir dir;
    const QString image = dir.filePath("ad.jpg"), shifted = ShiftChars("http://ads.example/x", StoredTextShift);
    test::WriteAll(image, "");
    struct {
        const char *description;
        QString image, link;
        bool found;
        QString plainLink;
    } const cases[] = {
        {"nothing stored", {}, {}, false, {}},
        {"image but no link", image, {}, false, {}},
        {"link but the image is gone", dir.filePath("gone.jpg"), shifted, false, shifted},
        {"a folder is no image", dir.path(), shifted, false, shifted},
        {"image and link", image, shifted, true, "http://ads.example/x"},
    };
    for (const auto &c : cases) {
        const LastAd ad = FindLastAd(c.image, c.link);
        EXPECT_EQ(ad.found, c.found) << c.description;
        EXPECT_EQ(ad.imageFile, c.image) << c.description;
        EXPECT_EQ(ad.link, c.plainLink) << c.description;
    }
}

} // namespace
