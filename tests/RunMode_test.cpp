#include "app/RunMode.h"

#include <gtest/gtest.h>

using namespace lumetta;

namespace {

struct ModeCase {
    const char *description;
    QStringList arguments;
    bool preview, screenSaver, config, admin;
    InfoRequest info = InfoRequest::None;
    bool idle = false;
};

void PrintTo(const ModeCase &c, std::ostream *os) { *os << c.description; }

class RunModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(RunModeTest, ReadsTheFirstArgument)
{
    const ModeCase &c = GetParam();
    const RunMode mode = ParseRunMode(c.arguments);
    EXPECT_EQ(mode.preview, c.preview);
    EXPECT_EQ(mode.screenSaver, c.screenSaver);
    EXPECT_EQ(mode.config, c.config);
    EXPECT_EQ(mode.admin, c.admin);
    EXPECT_EQ(mode.info, c.info);
    EXPECT_EQ(mode.idle, c.idle);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, RunModeTest,
    ::testing::Values(
        ModeCase{"no arguments is a normal run", {}, false, false, false, false},
        ModeCase{"/S in capitals", {"/S"}, false, true, false, false},
        ModeCase{"-s: the switch character is not looked at", {"-s"}, false, true, false, false},
        ModeCase{"/c:1234 with a window handle", {"/c:1234"}, false, false, true, false},
        ModeCase{"/p and a handle as second argument", {"/p", "1234"}, true, false, false, false},
        ModeCase{"/P 1234 as one argument", {"/P 1234"}, true, false, false, false},
        ModeCase{"a single character has no mode letter", {"s"}, false, false, false, false},
        ModeCase{"empty first argument", {""}, false, false, false, false},
        ModeCase{"the letter must be second: 'sx' is normal", {"sx"}, false, false, false, false},
        ModeCase{"only the first argument counts", {"x", "/s"}, false, false, false, false},
        ModeCase{"administration word in capitals", {"TAVEL"}, false, false, false, true},
        ModeCase{"administration word with more arguments", {"tavel", "/s"}, false, false, false, true},
        ModeCase{"administration word as second argument", {"/x", "tavel"}, false, false, false, false},
        ModeCase{"administration word must be whole", {"tavels"}, false, false, false, false},
        ModeCase{"/administration is no mode", {"/a"}, false, false, false, false},
        ModeCase{"--help", {"--help"}, false, false, false, false, InfoRequest::Help},
        ModeCase{"--version before a switch", {"--version", "/s"}, false, false, false, false, InfoRequest::Version},
        ModeCase{"--help as second argument is a screen saver", {"/s", "--help"}, false, true, false, false},
        ModeCase{"--HELP in capitals is a normal run", {"--HELP"}, false, false, false, false},
        ModeCase{"--versions is a normal run", {"--versions"}, false, false, false, false},
        ModeCase{"--idle: the watcher, no mode letter", {"--IDLE"}, false, false, false, false, InfoRequest::None, true},
        ModeCase{"-i is no watcher", {"-i"}, false, false, false, false}));

struct CaptionCase { const char *description; const char *version; const char *caption; };

TEST(MainCaption, ShowsThreePartsOfTheFileVersion)
{
    const CaptionCase cases[] = {
        {"build number left out", "2.4.1.77", "Lumetta v2.4.1"},
        {"numbers in decimal", "02.04.010.5", "Lumetta v2.4.10"},
        {"short version padded", "3", "Lumetta v3.0.0"},
    };
    for (const CaptionCase &c : cases)
        EXPECT_EQ(MainCaption("Lumetta", c.version), QString(c.caption)) << c.description;
}

TEST(DecideAfterSetUp, ARunWithNothingToShowEnds)
{
    const RunMode normal = ParseRunMode({});
    const RunMode saver = ParseRunMode({"/s"});
    struct {
        const char *description;
        RunMode mode;
        SetUpOutcome outcome;
        bool slideShow;
        AfterSetUp expected;
    } const cases[] = {
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

} // namespace
