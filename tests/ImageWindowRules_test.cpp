#include "slideshow/ImageWindowRules.h"

#include <gtest/gtest.h>

using namespace lumetta;

namespace {

TEST(ImageWindowRules, MouseMovement)
{
    MouseMoveContext saver;
    saver.screenSaverMode = true;
    saver.armed = true;
    const QPoint at(100, 100);

    using enum MouseMoveAction;
    struct Case { const char *what; MouseMoveContext context; QPoint move; MouseMoveAction action; };
    auto with = [&](auto change) {
        MouseMoveContext c = saver;
        change(c);
        return c;
    };
    const Case cases[] = {
        {"a jolt along one axis: 2 across", saver, {2, 9}, None},
        {"a jolt along one axis: 2 down", saver, {-9, 2}, None},
        {"an advertisement stays a minute", with([](auto &c) { c.adShown = true; }), {9, 9}, KeepAdShown},
        {"toggling wins over the advertisement", with([](auto &c) { c.adShown = c.toggleMode = true; }), {9, 9},
         ToggleHold},
        {"detection switched off", with([](auto &c) { c.detectionDisabled = true; }), {9, 9}, None},
        {"not a screen saver", with([](auto &c) { c.screenSaverMode = false; }), {9, 9}, None},
        {"started with \"SS\"", with([](auto &c) { c.firstArgument = "SS"; }), {9, 9}, None},
        {"started with /s", with([](auto &c) { c.firstArgument = "/s"; }), {9, 9}, End},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DecideMouseMove(c.context, at, at + c.move), c.action) << c.what;
}

TEST(ImageWindowRules, KeysAndTheAdvertisementLink)
{
    EXPECT_TRUE(KeyTogglesHold(Qt::Key_Alt, Qt::NoModifier));
    EXPECT_TRUE(KeyTogglesHold(Qt::Key_X, Qt::AltModifier));
    EXPECT_FALSE(KeyTogglesHold(Qt::Key_Alt, Qt::AltModifier | Qt::ShiftModifier));

    EXPECT_TRUE(KeyEndsShow("x", Qt::NoModifier));
    EXPECT_FALSE(KeyEndsShow("", Qt::NoModifier));        // arrows, Shift alone
    EXPECT_FALSE(KeyEndsShow("x", Qt::AltModifier));
    EXPECT_EQ(AdLinkText("http://a/p") + AdLinkText("HTTPS://a/q"), "Visit a/pVisit a/q");
    EXPECT_EQ(AdLinkText("a/http://x") + AdLinkText("https:/x"), "Visit a/http://xVisit https:/x") << "shown whole";
}

TEST(ImageWindowRules, EmbeddingWindow)
{
    EXPECT_EQ(EmbedWindowId({"-window-id", "1234"}, "0x99"), quintptr(1234));
    EXPECT_EQ(EmbedWindowId({"-s"}, "0x99"), quintptr(0x99));
    EXPECT_EQ(EmbedWindowId({"-s", "-window-id"}, ""), std::nullopt);
    EXPECT_EQ(EmbedWindowId({"-s", "-window-id", "root"}, ""), std::nullopt);
    EXPECT_EQ(EmbedWindowId({"-s", "-window-id", "0"}, "0x99"), std::nullopt);
}

// The picture-age badge: fresh within two learned intervals, late within
// ten, stale beyond; fast webcams count as one a minute.
TEST(ImageWindowRules, PictureAgeBadge)
{
    const TDateTime second = OneSecond;
    struct { double ageSeconds, intervalSeconds; const char *text; PictureAge age; } const cases[] = {
        {-5, 300, "now", PictureAge::Fresh},  // a server clock ahead of ours
        {600, 300, "10 min", PictureAge::Fresh},
        {601, 300, "10 min", PictureAge::Late},
        {3000, 300, "50 min", PictureAge::Late},
        {3001, 300, "50 min", PictureAge::Stale},
        {120, 5, "2 min", PictureAge::Fresh},
        {121, 5, "2 min", PictureAge::Late},
        {7200, 3600, "2 h", PictureAge::Fresh},
        {3 * 86400, 43200, "3 d", PictureAge::Late},
    };
    for (const auto &c : cases) {
        const AgeBadge badge = PictureAgeBadge(c.ageSeconds * second, c.intervalSeconds * second);
        EXPECT_EQ(badge.text, c.text) << c.ageSeconds;
        EXPECT_EQ(badge.age, c.age) << c.ageSeconds << " of " << c.intervalSeconds;
    }
    EXPECT_EQ(PictureAgeColour(PictureAge::Fresh), QColor(0, 255, 0));
    EXPECT_EQ(PictureAgeColour(PictureAge::Late), QColor(255, 255, 0));
    EXPECT_EQ(PictureAgeColour(PictureAge::Stale), QColor(255, 0, 0));
}

} // namespace
