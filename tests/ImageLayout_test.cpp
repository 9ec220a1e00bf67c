#include "slideshow/ImageLayout.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace lumetta;

namespace {

const QSize Screen(1024, 768);

SizeRules OfScreen(int percent)
{
    SizeRules r;
    r.ssImageSize = 0;
    r.imageSizePercent = percent;
    return r;
}

SizeRules OfActual(int percent)
{
    SizeRules r;
    r.ssImageSize = 1;
    r.timesActualSizePercent = percent;
    return r;
}

template <typename Change>
SizeRules With(SizeRules r, Change change)
{
    change(r);
    return r;
}

struct LayoutCase {
    const char *what;
    QSize image;
    SizeRules rules;
    bool playMode;
    bool shown;
    QSize frame;
    QRect panel;
    QSize client;
    QSize window = Screen;  // the client area offered
};

void PrintTo(const LayoutCase &c, std::ostream *os) { *os << c.what; }

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, PlacesThePicture)
{
    const LayoutCase &c = GetParam();
    const ImageLayout got = LayoutImage(c.image, Screen, c.window, c.rules, c.playMode);
    ASSERT_EQ(got.shown, c.shown);
    if (!c.shown)
        return;
    EXPECT_EQ(got.frame, c.frame);
    EXPECT_EQ(got.panel, c.panel);
    EXPECT_EQ(got.client, c.client);
}

const auto NoPAL = [](SizeRules &r) { r.adjustForPAL = false; };
const auto NoShrink = [](SizeRules &r) { r.shrinkToScreen = false; };
const auto KeepSize = [](SizeRules &r) { r.doNotShrinkImages = true; };

INSTANTIATE_TEST_SUITE_P(
    ImageLayout, Layout,
    ::testing::Values(
        LayoutCase{"PAL 11:9 frame", {352, 288}, OfActual(100), false, true, {384, 288}, {320, 240, 384, 288}, Screen},
        LayoutCase{"NTSC 22:15 frame", {704, 480}, OfActual(100), false, true, {704, 528}, {160, 120, 704, 528}, Screen},
        LayoutCase{"4:3 frame unchanged", {640, 480}, OfActual(100), false, true, {640, 480}, {192, 144, 640, 480}, Screen},
        LayoutCase{"PAL correction off", {352, 288}, With(OfActual(100), NoPAL), false, true, {352, 288}, {336, 240, 352, 288}, Screen},
        LayoutCase{"100 % of the screen", {320, 240}, OfScreen(100), false, true, {320, 240}, {0, 0, 1024, 768}, Screen},
        LayoutCase{"50 % of the screen, centred", {320, 240}, OfScreen(50), false, true, {320, 240}, {256, 192, 512, 384}, Screen},
        LayoutCase{"taller than the screen", {320, 400}, OfScreen(100), false, true, {320, 400}, {205, 0, 614, 768}, Screen},
        LayoutCase{"taller, 50 % of the screen", {320, 400}, OfScreen(50), false, true, {320, 400}, {358, 192, 307, 384}, Screen},
        LayoutCase{"wider, 50 % of the screen", {400, 100}, OfScreen(50), false, true, {400, 100}, {256, 320, 512, 128}, Screen},
        LayoutCase{"a large picture at 50 % is shrunk", {2000, 1500}, OfScreen(50), false, true, {2000, 1500}, {256, 192, 512, 384}, Screen},
        LayoutCase{"only wider than the screen: fitted", {1600, 400}, OfActual(100), false, true, {1600, 400}, {0, 256, 1024, 256}, Screen},
        LayoutCase{"as wide as the monitor: fitted to the window", {1024, 300}, OfActual(100), false, true, {1024, 300}, {0, 204, 1000, 292}, {1000, 700}, {1000, 700}},
        LayoutCase{"as tall as the monitor: fitted to the window", {300, 768}, OfActual(100), false, true, {300, 768}, {363, 0, 273, 700}, {1000, 700}, {1000, 700}},
        LayoutCase{"the screen's shape, fitted by width to the window", {800, 600}, OfActual(200), false, true, {800, 600}, {0, -25, 1000, 750}, {1000, 700}, {1000, 700}},
        LayoutCase{"do not shrink, then fit to screen", {2000, 1500}, With(OfScreen(50), KeepSize), false, true, {2000, 1500}, {0, 0, 1024, 768}, Screen},
        LayoutCase{"do not shrink, no fit", {2000, 1500}, With(With(OfScreen(50), KeepSize), NoShrink), false, true, {2000, 1500}, {-488, -366, 2000, 1500}, Screen},
        LayoutCase{"300 % of actual size", {320, 240}, OfActual(300), false, true, {320, 240}, {32, 24, 960, 720}, Screen},
        LayoutCase{"400 % fitted to screen", {320, 240}, OfActual(400), false, true, {320, 240}, {0, 0, 1024, 768}, Screen},
        LayoutCase{"400 % beyond the screen", {320, 240}, With(OfActual(400), NoShrink), false, true, {320, 240}, {-128, -96, 1280, 960}, Screen},
        LayoutCase{"Play: own size at 0, 0", {320, 240}, OfScreen(50), true, true, {320, 240}, {0, 0, 320, 240}, {320, 240}},
        LayoutCase{"Play: a large picture fits the monitor", {2000, 1500}, OfScreen(50), true, true, {2000, 1500}, {0, 0, 1024, 768}, Screen},
        LayoutCase{"1 x 1 never shown", {1, 1}, OfScreen(100), false, false, {}, {}, {}},
        LayoutCase{"2 x 1 never shown", {2, 1}, OfScreen(100), false, false, {}, {}, {}},
        LayoutCase{"1 x 2 never shown", {1, 2}, OfScreen(100), false, false, {}, {}, {}},
        LayoutCase{"2 x 2 shown", {2, 2}, OfActual(100), false, true, {2, 2}, {511, 383, 2, 2}, Screen}));

TEST(ImageLayout, CaptionAndAdvertisementLabels)
{
    const QPoint panel(256, 192);
    const CaptionPlace bottom = PlaceCaption(Screen, QSize(300, 40), false, panel);
    EXPECT_EQ(bottom.onWindow, QPoint(362, 728));
    EXPECT_EQ(bottom.onPanel, QPoint(106, 536));
    const CaptionPlace top = PlaceCaption(Screen, QSize(300, 40), true, panel);
    EXPECT_EQ(top.onWindow, QPoint(362, 0));
    EXPECT_EQ(top.onPanel, QPoint(106, -192));

    const AdPlaces ad = PlaceAdLabels(QSize(512, 384), QSize(200, 20), QSize(100, 16));
    EXPECT_EQ(ad.clickNow[0], QRect(0, 0, 75, 20));
    EXPECT_EQ(ad.clickNow[1], QRect(0, 364, 75, 20));
    EXPECT_EQ(ad.clickNow[2], QRect(437, 0, 75, 20));
    EXPECT_EQ(ad.clickNow[3], QRect(437, 364, 75, 20));
    EXPECT_EQ(ad.adUrl, QPoint(156, 0));
    EXPECT_EQ(ad.adMsg, QPoint(206, 368));
}

} // namespace
