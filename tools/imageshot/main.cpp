// Shows one picture in the full-screen image window, laid out by the
// options given, and saves a grab of the whole screen: what a user sees,
// without a slide show behind it.
//   imageshot [options] picture output.png
//     --screen-percent N   "As percentage of screen size" (default 100)
//     --actual-percent N   "As percentage of actual size"
//     --caption TEXT       the caption; --top puts it at the top
//     --ad MESSAGE LINK    an advertisement with its labels
//     --embed              into a 640 x 400 window, as a screen-saver daemon gives one
//     --every-monitor      a window on each monitor, and a grab of them all
//     --wait MS            how long after showing to grab (default 1500)
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"
#include "slideshow/SlideShow.h"
#include "slideshow/ShowWindows.h"
#include "slideshow/TfrmImage.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QScreen>
#include <QTimer>
#include <cstdio>

using namespace lumetta;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    DisplaySettings settings;
    QString caption, adMessage, adLink;
    bool embed = false, everyMonitor = false;
    int wait = 1500;
    auto take = [&args](int at) { return args.value(at + 1); };
    for (int i = 0; i < args.size();) {
        const QString a = args.at(i);
        if (a == "--screen-percent") {
            settings.size.ssImageSize = 0;
            settings.size.imageSizePercent = take(i).toInt();
            args.remove(i, 2);
        } else if (a == "--actual-percent") {
            settings.size.ssImageSize = 1;
            settings.size.timesActualSizePercent = take(i).toInt();
            args.remove(i, 2);
        } else if (a == "--caption") {
            caption = take(i);
            args.remove(i, 2);
        } else if (a == "--top") {
            settings.captionPositionAtTop = true;
            args.remove(i);
        } else if (a == "--ad") {
            adMessage = take(i);
            adLink = args.value(i + 2);
            args.remove(i, 3);
        } else if (a == "--every-monitor") {
            everyMonitor = true;
            args.removeAt(i);
        } else if (a == "--embed") {
            embed = true;
            args.remove(i);
        } else if (a == "--wait") {
            wait = take(i).toInt();
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: imageshot [options] picture output.png\n");
        return 2;
    }
    settings.showCaption = !caption.isEmpty();

    // The window may move a GIF to a new name: it works on a copy.
    QTemporaryDir dir;
    const QString picture = dir.filePath(QFileInfo(args.at(0)).fileName());
    if (!QFile::copy(args.at(0), picture)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(0)));
        return 1;
    }

    // A stand-in for the daemon's window: a plain native window of its own.
    QWidget daemon;
    if (embed) {
        daemon.setWindowTitle("Screen-saver daemon");
        daemon.setGeometry(100, 100, 640, 400);
        daemon.show();
    }

    ShowRun run(/*screenSaver=*/true, /*admin=*/false, RealTimeSource());
    run.AppPath = dir.path() + "/";
    QtDialogs dialogs;
    const std::unique_ptr<SystemShell> shell = MakeSystemShell();
    TfrmImage frmImage(run, ImageWindowServices{dialogs, *shell, RealTimeSource(),
                                                [&settings] { return settings; }, nullptr, QString(),
                                                embed ? std::optional<quintptr>(daemon.winId()) : std::nullopt,
                                                [] {}, {}, nullptr, {}});
    ShowWindows windows(
        run, frmImage,
        [&](const QRect &monitor) {
            return std::make_unique<TfrmImage>(run, ImageWindowServices{dialogs, *shell, RealTimeSource(),
                                                                        [&settings] { return settings; }, nullptr,
                                                                        QString(), std::nullopt, [] {}, {},
                                                                        nullptr, monitor});
        },
        [] { return false; });
    ShowDisplay &display = everyMonitor ? static_cast<ShowDisplay &>(windows) : frmImage;
    display.setCaption(caption);
    display.setAdText(adMessage, adLink);
    // An advertisement is shown as "Show Last Ad" shows it.
    SlideShow show(run, display, {}, DefaultClock());
    if (!show.showAdvertisement(picture, adLink, !adLink.isEmpty()))
        display.DisplayImage(picture);

    const QString output = args.at(1);
    int status = 0;
    QTimer::singleShot(wait, [&] {
        QScreen *screen = QGuiApplication::primaryScreen();
        const QRect all = everyMonitor ? screen->virtualGeometry() : QRect(0, 0, -1, -1);
        const QPixmap grab = screen->grabWindow(0, all.x(), all.y(), all.width(), all.height());
        if (!grab.save(output)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
            status = 1;
        }
        app.quit();
    });
    app.exec();
    return status;
}
