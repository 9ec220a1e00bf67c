#include "app/RunState.h"
#include "slideshow/ShowWindows.h"
#include "slideshow/TfrmImage.h"

#include "platform/Platform.h"
#include "platform/Registry.h"
#include "support/FakeShell.h"
#include "support/PlainText.h"
#include "support/ScriptedDialogs.h"
#include "support/ShowStateArranger.h"
#include "support/TestEnv.h"

#include "support/TestTime.h"

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace lumetta;
using test::Markup;
using test::ShowsLiterally;

namespace {

class ImageWindow : public ::testing::Test {
protected:
    void start(const QString &firstArgument = QStringLiteral("/s"))
    {
        RunMode mode;
        mode.screenSaver = firstArgument.size() >= 2 && firstArgument.at(1).toLower() == QLatin1Char('s');
        run = std::make_unique<RunState>(mode, time);
        run->AppPath = env.home();
        settings.monitor = QRect(0, 0, 1024, 768);
        frm = std::make_unique<TfrmImage>(
            *run, ImageWindowServices{dialogs, shell, time, [this] { return settings; }, &mainWindow,
                                      firstArgument, std::nullopt, [this] { ++terminations; },
                                      [this] { return cursor; }, nullptr, {}});
        QObject::connect(frm.get(), &TfrmImage::inputEndedShow, [this] { ++aborts; });
        QObject::connect(frm.get(), &TfrmImage::holdToggled, [this] { held = !held; });
    }
    void display(const char *data, const QString &name = QStringLiteral("cam.jpg"))
    {
        const QString path = env.path() + "/" + name;
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMETTA_TEST_DATA "/") + data, path)) << data;
        shownFile = frm->DisplayImage(path);
    }
    template <typename T = QWidget>
    T *child(const char *name)
    {
        T *w = frm->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void moveTo(QPoint at)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(at), QPointF(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frm.get(), &e);
    }
    void press(QWidget *on)
    {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &e);
    }
    void key(int code, Qt::KeyboardModifiers modifiers, const QString &text = {})
    {
        QKeyEvent e(QEvent::KeyPress, code, modifiers, text);
        QCoreApplication::sendEvent(frm.get(), &e);
    }
    ShowState &state() { return ShowStateArranger::show(*run); }
    void runShow()
    {
        run->SSTimer.setEnabled(true);
        run->SSTimer.setInterval(10000);
    }

    test::TestEnv env;
    test::ScriptedDialogs dialogs;
    test::FakeShell shell{true};
    TestTimeSource time;
    DisplaySettings settings;
    QWidget mainWindow;
    QPoint cursor{500, 500};
    int aborts = 0;
    bool held = false;
    QString shownFile;
    int terminations = 0;
    std::unique_ptr<RunState> run;
    std::unique_ptr<TfrmImage> frm;
};

// The picture is scaled once to the panel, centred; the caption's two
// labels go where ImageLayout places them (its rows say where). The show
// goes on with the name MeasureImage gave a GIF under a JPEG name; a
// damaged picture clears the panel.
TEST_F(ImageWindow, ShowsThePictureScaledWithItsCaptionAndClearsADamagedOne)
{
    start();
    settings.size.imageSizePercent = 50;
    frm->setCaption(Markup);
    display("ok/jpeg_baseline_256x192.jpg");
    EXPECT_EQ(child("Panel1")->geometry(), QRect(256, 192, 512, 384));
    EXPECT_EQ(frm->shownPicture().size(), QSize(512, 384));
    auto *inPanel = child<QLabel>("ImageCaption");
    auto *onWindow = child<QLabel>("ImageCaption2");
    EXPECT_TRUE(ShowsLiterally(inPanel, Markup) && ShowsLiterally(onWindow, Markup));
    EXPECT_TRUE(inPanel->isVisible() && onWindow->isVisible());

    settings.captionPositionAtTop = true;
    settings.showCaption = false;
    display("ok/jpeg_baseline_256x192.jpg");
    EXPECT_EQ(onWindow->y(), 0);
    EXPECT_FALSE(inPanel->isVisible() || onWindow->isVisible());

    display("ok/gif_named_as_jpeg_64x48.jpg");
    EXPECT_TRUE(shownFile.endsWith("cam.jpg")) << "a GIF under a JPEG name stays where it is";
    EXPECT_GT(frm->shownPictureHeight(), 0);
    display("fail/jpeg_cut_in_scan_data.jpg");
    EXPECT_EQ(frm->shownPictureHeight(), 0);
}

// Advertisement: the four Click Now corners blink a second on, a second
// off; captions give way; "Show Last Ad" beeps unless "Show ads only".
TEST_F(ImageWindow, AdvertisementLayoutAndClicksInScreenSaverMode)
{
    start();
    WriteRegInteger(DesktopKey, "ScreenSaveTimeOut", 60);
    state().CamAd = true;
    state().AdLink = "http://ad.example/";
    frm->setAdText(Markup, "http://" + Markup);
    display("ok/jpeg_baseline_256x192.jpg");
    EXPECT_TRUE(ShowsLiterally(child<QLabel>("AdMsg"), Markup));
    EXPECT_TRUE(ShowsLiterally(child<QLabel>("AdUrl"), "Visit " + Markup));
    EXPECT_EQ(test::MarkupShowing(Markup), QStringList());
    EXPECT_TRUE(child("AdUrl")->isVisible() && child("AdMsg")->isVisible());
    EXPECT_FALSE(child("ImageCaption")->isVisible());
    EXPECT_EQ(child("ImageArea")->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(child("lblClickNow1")->isVisible());
    time.advance(1000);
    EXPECT_TRUE(child("lblClickNow1")->isVisible() && child("lblClickNow3")->isVisible());
    time.advance(1000);
    EXPECT_FALSE(child("lblClickNow1")->isVisible());

    // A click on the black border still ends the screen saver; a click on
    // the picture opens the page, hides the window and ends after a
    // time-out period without mouse movement.
    runShow();
    press(frm.get());
    EXPECT_EQ(terminations, 1);
    press(child("ImageArea"));
    EXPECT_EQ(shell.opened, QStringList{"http://ad.example/"});
    EXPECT_FALSE(frm->isVisible());
    cursor = {10, 20};
    time.advance(60000);
    EXPECT_EQ(terminations, 1) << "the mouse moved during the period";
    time.advance(60000);
    EXPECT_EQ(terminations, 2);

    state().CamAd = false;
    state().ShowingAd = true;
    display("ok/jpeg_baseline_256x192.jpg");
    EXPECT_EQ(dialogs.beeps, 1);
    settings.showAdsOnly = true;
    display("ok/jpeg_baseline_256x192.jpg");
    EXPECT_EQ(dialogs.beeps, 1);

    state().ShowingAd = false;
    display("ok/jpeg_baseline_256x192.jpg");
    time.advance(1000);
    EXPECT_FALSE(child("lblClickNow1")->isVisible()) << "blinking stops with the advertisement";
    EXPECT_FALSE(child("AdUrl")->isVisible());
}

// Which moves count is ImageWindowRules' rows; here the window arms them
// 5 s after a picture or a toggle, and acts on what they decide.
TEST_F(ImageWindow, MouseMovementTogglesTheHoldOrEndsTheScreenSaver)
{
    start();
    settings.swToOneCamOnMouseMove = true;
    display("ok/jpeg_baseline_256x192.jpg");
    runShow();
    moveTo({100, 100});
    time.advance(4999);
    moveTo({300, 400});
    EXPECT_FALSE(held) << "moves within the first 5 s";
    time.advance(1);
    moveTo({10, 10});  // only recorded, however far
    moveTo({20, 20});
    EXPECT_TRUE(held);
    moveTo({200, 200});
    EXPECT_TRUE(held) << "ignored within 5 s of a toggle";
    time.advance(5000);
    moveTo({300, 300});
    EXPECT_FALSE(held);
    key(Qt::Key_Alt, Qt::AltModifier);
    EXPECT_TRUE(held) << "Alt holds too";

    // Without toggling a move ends the show; a new picture of another size
    // makes the next move only record again.
    settings.swToOneCamOnMouseMove = false;
    time.advance(5000);
    display("ok/jpeg_arithmetic_sof9_48x32.jpg");
    moveTo({600, 600});
    EXPECT_EQ(terminations, 0);
    moveTo({603, 597});
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(aborts, 1);
    EXPECT_TRUE(frm->close()) << "the application quitting closes every window";
}

TEST_F(ImageWindow, KeyReturnsToTheMainWindow)
{
    start("");
    state().CurrentCam = 7;
    display("ok/jpeg_baseline_256x192.jpg");
    runShow();
    time.advance(3000);
    EXPECT_EQ(frm->CountdownSeconds(), 3);
    mainWindow.showMinimized();
    key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_FALSE(frm->isVisible());
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_FALSE(mainWindow.isMinimized());
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(terminations, 0);
    EXPECT_EQ(ReadRegInteger(LumettaKey, "LastCam", -1), 7);
}

// A window for each monitor the first does not cover, a clone's once.
TEST(ShowWindowsRule, OtherMonitors)
{
    const QRect left(0, 0, 1024, 768), right(1024, 0, 1024, 768), below(0, 768, 1920, 1080);
    const struct { QList<QRect> monitors; QRect first; QList<QRect> others; } rows[] = {
        {{left}, left, {}},
        {{left, right}, left, {right}},
        {{left, right, right}, left, {right}},          // a clone shares its twin's window
        {{left, right, below}, right, {left, below}},  // the first on another monitor
        {{left, QRect()}, left, {}},                   // a monitor switched off
        {{left, right}, QRect(10, 10, 400, 300), {right}},  // the first not yet full screen
    };
    for (const auto &r : rows)
        EXPECT_EQ(OtherMonitors(r.monitors, r.first), r.others) << r.monitors.size() << " " << r.first.x();
}

// The other monitors show what the first shows, a monitor plugged in later
// too; a key on any window closes them all.
TEST_F(ImageWindow, EveryMonitorShowsTheShowAndAKeyOnAnyClosesAll)
{
    start("");
    QList<QRect> monitors{settings.monitor, QRect(1024, 0, 1024, 768)};
    std::vector<TfrmImage *> made;
    ShowWindows windows(
        *run, *frm,
        [&](const QRect &monitor) {
            auto window = std::make_unique<TfrmImage>(
                *run, ImageWindowServices{dialogs, shell, time, [this] { return settings; }, &mainWindow, "",
                                          std::nullopt, {}, [this] { return cursor; }, nullptr, monitor});
            made.push_back(window.get());
            return window;
        },
        [this] { return settings.differentPerMonitor; }, [&] { return monitors; });
    const QString path = env.path() + "/cam.jpg";
    ASSERT_TRUE(QFile::copy(QStringLiteral(LUMETTA_TEST_DATA "/ok/jpeg_baseline_256x192.jpg"), path));
    windows.setCaption(Markup);
    windows.setWebcamNumber(" 8 ");
    windows.DisplayImage(path);
    ASSERT_EQ(windows.windowCount(), 2);
    const auto shows = [](TfrmImage *w) {
        return w->isVisible() && w->shownPictureHeight() > 0
               && ShowsLiterally(w->findChild<QLabel *>("ImageCaption"), Markup)
               && w->findChild<QLabel *>("lblWebcam")->text() == " 8 ";
    };
    EXPECT_TRUE(shows(made.back()));

    monitors = {settings.monitor};
    windows.followMonitors();
    EXPECT_EQ(windows.windowCount(), 1);
    monitors << QRect(0, 768, 1024, 768);
    windows.followMonitors();
    ASSERT_EQ(windows.windowCount(), 2);
    EXPECT_TRUE(shows(made.back())) << "a monitor plugged in shows the picture at once";

    // A webcam for each monitor: each tick's picture and labels go to the next monitor in turn.
    settings.differentPerMonitor = true;
    windows.beginTick();
    windows.setCaption("Pier");
    windows.DisplayImage(path);
    EXPECT_TRUE(shows(frm.get()));
    EXPECT_EQ(made.back()->findChild<QLabel *>("ImageCaption")->text(), "Pier");
    windows.beginTick();
    windows.setCaption("Bay");
    EXPECT_EQ(frm->findChild<QLabel *>("ImageCaption")->text(), "Bay");
    EXPECT_EQ(made.back()->findChild<QLabel *>("ImageCaption")->text(), "Pier");

    runShow();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b");
    QCoreApplication::sendEvent(made.back(), &escape);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(windows.windowCount(), 1);
    EXPECT_TRUE(mainWindow.isVisible());
}

} // namespace
