#include "slideshow/ImageLayout.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace lumetta;

namespace {

const QSize Screen(1024, 768);

enum Change { NoPAL = 1, NoShrink = 2, KeepSize = 4 };

// A percentage of the screen (ssImageSize 0) or of the picture's own size.
SizeRules Of(int ssImageSize, int percent, int changes = 0)
{
    SizeRules r;
    r.ssImageSize = ssImageSize;
    (ssImageSize == 0 ? r.imageSizePercent : r.timesActualSizePercent) = percent;
    r.adjustForPAL = !(changes & NoPAL);
    r.shrinkToScreen = !(changes & NoShrink);
    r.doNotShrinkImages = changes & KeepSize;
    return r;
}

// No frame: never shown. The client area offered is the window; the
// client area given is that, unless a Play window takes the picture's size.
struct LayoutCase {
    const char *what;
    QSize image;
    SizeRules rules;
    QSize frame;
    QRect panel;
    QSize window = Screen, client = {};
    bool playMode = false;
};

void PrintTo(const LayoutCase &c, std::ostream *os) { *os << c.what; }

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, PlacesThePicture)
{
    const LayoutCase &c = GetParam();
    const ImageLayout got = LayoutImage(c.image, Screen, c.window, c.rules, c.playMode);
    ASSERT_EQ(got.shown, c.frame.isValid());
    if (!got.shown)
        return;
    EXPECT_EQ(got.frame, c.frame);
    EXPECT_EQ(got.panel, c.panel);
    EXPECT_EQ(got.client, c.client.isValid() ? c.client : c.window);
}

const QSize Small(1000, 700);

const LayoutCase Layouts[] = {
    {"PAL 11:9 frame", {352, 288}, Of(1, 100), {384, 288}, {320, 240, 384, 288}},
    {"NTSC 22:15 frame", {704, 480}, Of(1, 100), {704, 528}, {160, 120, 704, 528}},
    {"PAL correction off", {352, 288}, Of(1, 100, NoPAL), {352, 288}, {336, 240, 352, 288}},
    {"50 % of the screen, centred", {320, 240}, Of(0, 50), {320, 240}, {256, 192, 512, 384}},
    {"taller, 50 % of the screen", {320, 400}, Of(0, 50), {320, 400}, {358, 192, 307, 384}},
    {"as wide as the monitor: fitted to the window", {1024, 300}, Of(1, 100), {1024, 300}, {0, 204, 1000, 292},
     Small},
    {"as tall as the monitor: fitted to the window", {300, 768}, Of(1, 100), {300, 768}, {363, 0, 273, 700}, Small},
    {"the screen's shape, fitted by width to the window", {800, 600}, Of(1, 200), {800, 600}, {0, -25, 1000, 750},
     Small},
    {"do not shrink, then fit to screen", {2000, 1500}, Of(0, 50, KeepSize), {2000, 1500}, {0, 0, 1024, 768}},
    {"do not shrink, no fit", {2000, 1500}, Of(0, 50, KeepSize | NoShrink), {2000, 1500}, {-488, -366, 2000, 1500}},
    {"Play: own size at 0, 0", {320, 240}, Of(0, 50), {320, 240}, {0, 0, 320, 240}, Screen, {320, 240}, true},
    {"Play: a large picture fits the monitor", {2000, 1500}, Of(0, 50), {2000, 1500}, {0, 0, 1024, 768}, Screen,
     Screen, true},
    {"2 x 1 never shown", {2, 1}, Of(0, 100), {}, {}},
    {"1 x 2 never shown", {1, 2}, Of(0, 100), {}, {}},
    {"2 x 2 shown", {2, 2}, Of(1, 100), {2, 2}, {511, 383, 2, 2}},
};
INSTANTIATE_TEST_SUITE_P(ImageLayout, Layout, ::testing::ValuesIn(Layouts));

TEST(ImageLayout, DevicePixelSizeFollowsTheScreensRatio)
{
    const struct { QSize logical; double ratio; QSize device; } rows[] = {
        {{640, 480}, 1, {640, 480}},
        {{1920, 1080}, 2, {3840, 2160}},
        {{641, 481}, 1.5, {962, 722}},  // 961.5 and 721.5 round up, as Qt rounds a widget's device size
        {{641, 481}, 1.25, {801, 601}},
        {{640, 480}, 0, {640, 480}},    // no screen yet
    };
    for (const auto &r : rows)
        EXPECT_EQ(DevicePixelSize(r.logical, r.ratio), r.device) << r.ratio;
}

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
