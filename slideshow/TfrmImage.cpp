#include "slideshow/TfrmImage.h"

#include "common/Subs.h"
#include "download/DebugLog.h"
#include "imaging/DecodeWorker.h"
#include "imaging/Picture.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Guarded.h"
#include "platform/PlainText.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "slideshow/DaemonWindow.h"
#include "slideshow/ImageLayout.h"
#include "slideshow/ImageOverlays.h"
#include "slideshow/ImageWindowRules.h"
#include "slideshow/MeasureImage.h"
#include "slideshow/PictureView.h"
#include "slideshow/RaisedLabel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace lumetta {

namespace {

// Qt closes every visible window before it quits, and refuses to close one
// inside a foreign window, which would refuse the quit: such a window
// hides first.
class HideBeforeQuit : public QObject {
public:
    explicit HideBeforeQuit(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
            m_window->hide();
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

TfrmImage::TfrmImage(const ShowRun &run, ImageWindowServices services, QWidget *parent)
    : QWidget(parent),
      m_run(run),
      m_services(std::move(services)),
      MouseMoveTimer(m_services.time, this),
      AppEndTimer(m_services.time, this)
{
    setObjectName(QStringLiteral("frmImage"));
    setWindowTitle(tr("Screensaver Image"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    SetBackgroundColour(this, Qt::black);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->size());
    createControls();

    MouseMoveTimer.setObjectName(QStringLiteral("MouseMoveTimer"));
    AppEndTimer.setObjectName(QStringLiteral("AppEndTimer"));
    MouseMoveTimer.OnTimer = [this] { MouseMoveTimerTimer(); };
    AppEndTimer.OnTimer = [this] { AppEndTimerTimer(); };

    // FormCreate
    m_mouseMoveArmed = false;
    MouseMoveTimer.setInterval(5000);
    bool countdown = false;
    RunGuarded([&] { countdown = ReadSetting(Setting::Countdown); });
    m_status->setCountdownShown(countdown);

    if (m_services.embedInto) {
        // Lives as long as the process: deleting it would take our window along.
        m_embedParent = QWindow::fromWinId(WId(*m_services.embedInto));
        if (m_embedParent) {
            setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
            winId();
            windowHandle()->setParent(m_embedParent);
            QCoreApplication::instance()->installEventFilter(new HideBeforeQuit(this));
        }
    }
}

TfrmImage::~TfrmImage() = default;

void TfrmImage::createControls()
{
    // First, so the panel paints over it: it shows only beside the picture.
    ImageCaption2 = new QLabel(this);
    Panel1 = new QWidget(this);
    ImageArea = new PictureView(Panel1);
    ImageCaption = new QLabel(Panel1);
    ImageCaption2->setObjectName(QStringLiteral("ImageCaption2"));
    Panel1->setObjectName(QStringLiteral("Panel1"));
    ImageArea->setObjectName(QStringLiteral("ImageArea"));
    ImageCaption->setObjectName(QStringLiteral("ImageCaption"));

    SetBackgroundColour(Panel1, Qt::black);
    Panel1->setAutoFillBackground(true);

    for (QLabel *caption : {ImageCaption, ImageCaption2}) {
        caption->setFont(BoldFont("Arial", 37));
        caption->setAlignment(Qt::AlignCenter);
        SetTextColour(caption, Qt::red);
        caption->hide();
    }
    m_ad = new AdOverlay(Panel1, m_services.time);
    m_status = new StatusOverlay(Panel1, m_services.time, m_services.clock ? *m_services.clock : DefaultClock(),
                                 [this] { return m_services.settings().showPictureAge; });

    // Captions and messages come from servers and the catalogue: never markup.
    MakeLabelsPlain(this);
    watchInput(this);
    for (QWidget *child : findChildren<QWidget *>())
        watchInput(child);
}

// Movement anywhere on the window counts, and a click goes to the
// picture or the border by where it lands.
void TfrmImage::watchInput(QWidget *widget)
{
    widget->installEventFilter(this);
    widget->setMouseTracking(true);
}

bool TfrmImage::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched == this || watched == ImageCaption2)
            FormMouseDown();
        else
            ImageAreaMouseDown();
        return true;
    case QEvent::MouseMove:
        // Screen positions: crossing from the border onto the picture is
        // no movement.
        ImageAreaMouseMove(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    case QEvent::Resize:
        if (watched == Panel1) {
            ImageArea->setGeometry(Panel1->rect());
            FormActivate();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// --- the picture ------------------------------------------------------------

bool TfrmImage::adShown() const
{
    return m_run.state().ShowingAd || m_run.state().CamAd || m_run.state().CamAdultAd;
}

QRect TfrmImage::monitorRect(const DisplaySettings &s) const
{
    if (m_embedParent)
        return QRect(QPoint(0, 0), DaemonWindowSize(*m_services.embedInto));
    if (m_services.monitor.isValid())
        return m_services.monitor;
    if (s.monitor.isValid())
        return s.monitor;
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QString TfrmImage::DisplayImage(const QString &file)
{
    const DisplaySettings s = m_services.settings();
    const DebugLog log([debug = s.debugMode] { return debug; }, m_run.AppPath);
    const auto step = [&log](const QString &text) { log.step(text); };

    const std::optional<MeasuredImage> measured = MeasureImageFile(file, step);
    if (!measured)
        return file;
    showMeasured(*measured, s, step);
    return measured->file;
}

void TfrmImage::showMeasured(const MeasuredImage &measured, const DisplaySettings &s,
                             const std::function<void(const QString &)> &step)
{
    const bool play = m_run.state().PlayMode;
    const QRect monitor = monitorRect(s);
    const ImageLayout layout = LayoutImage(measured.size, monitor.size(), monitor.size(), s.size, play);
    if (!layout.shown)
        return;
    step(QStringLiteral("11 - display image"));

    applyCaptionStyle(s);
    applyWindowMode(play, monitor, layout.client);
    if (play) {
        ImageCaption->hide();
        ImageCaption2->hide();
    }
    Panel1->setGeometry(layout.panel);
    if (play) {
        unsetCursor();
        ImageArea->unsetCursor();
    } else {
        setCursor(Qt::BlankCursor);
        ImageArea->setCursor(Qt::BlankCursor);
    }
    layoutAdvertisement(layout.panel.size(), adShown());
    placeCaptions(s, monitor.size(), play);

    // Scaled once, here; beyond the decode limits the full picture is
    // kept and stretched when painted.
    const qreal ratio = devicePixelRatioF();
    const QSize shown = DevicePixelSize(layout.panel.size(), ratio);
    const DecodedPicture picture =
        PreparePicture(measured.file, measured.format,
                       WithinPictureLimits(shown.width(), shown.height()) ? shown : QSize());
    // Said once, and only to a log that is kept.
    if (s.debugMode)
        if (const QString notice = TakeDecodeNotice(); !notice.isEmpty())
            step(notice);
    if (!picture.ok()) {
        ImageArea->setPicture(QImage());
        return;
    }
    ImageArea->setPicture(picture.image, ratio);

    if (!play) {
        const bool captions = s.showCaption && !adShown();
        ImageCaption->setVisible(captions);
        ImageCaption2->setVisible(captions);
    }
    if (m_run.state().ShowingAd && !s.showAdsOnly)
        m_services.dialogs.beep();
    if (!isActiveWindow())
        showWindow(play);
}

void TfrmImage::setCaptionPointSize(int points)
{
    SetPointSize(ImageCaption, points);
}

void TfrmImage::applyCaptionStyle(const DisplaySettings &s)
{
    for (QLabel *caption : {ImageCaption, ImageCaption2})
        caption->setAutoFillBackground(!s.transparentCaption);
    if (!s.showCaption)
        return;
    SetPointSize(ImageCaption, s.captionFontSize);
    SetTextColour(ImageCaption, s.captionColor);
    SetBackgroundColour(ImageCaption, s.captionBackground);
    ImageCaption2->setFont(ImageCaption->font());
    ImageCaption2->setPalette(ImageCaption->palette());
    ImageCaption2->setText(ImageCaption->text());
}

// A Play preview is a bordered window of the picture's size; the show is
// borderless over the whole monitor; a daemon's window is simply filled.
void TfrmImage::applyWindowMode(bool playMode, const QRect &monitor, QSize client)
{
    if (m_embedParent) {
        setGeometry(QRect(QPoint(0, 0), monitor.size()));
        return;
    }
    const Qt::WindowFlags flags =
        playMode ? Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint
                 : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
    if (windowFlags() != flags)
        setWindowFlags(flags);  // hides the window; DisplayImage shows it again
    if (playMode) {
        setWindowState(Qt::WindowNoState);
        resize(client);
    } else if (geometry() != monitor) {
        setGeometry(monitor);
    }
}

void TfrmImage::layoutAdvertisement(QSize panel, bool shown)
{
    m_ad->layout(panel, shown);
    if (!shown)
        return;
    ImageArea->setCursor(Qt::PointingHandCursor);
    setCursor(Qt::ArrowCursor);
}

void TfrmImage::placeCaptions(const DisplaySettings &s, QSize monitor, bool playMode)
{
    ImageCaption->adjustSize();
    ImageCaption2->adjustSize();
    const CaptionPlace place =
        PlaceCaption(monitor, ImageCaption->size(), s.captionPositionAtTop, Panel1->pos());
    ImageCaption2->move(place.onWindow);
    ImageCaption->move(place.onPanel);
    ImageCaption->raise();
    if (!playMode)
        ImageCaption->show();
}

void TfrmImage::showWindow(bool playMode)
{
    if (m_embedParent)
        show();
    else if (playMode)
        showNormal();
    else
        showFullScreen();
    raise();
    activateWindow();
}

// --- what the slide show sets -------------------------------------------------

void TfrmImage::clearAdLabels()
{
    m_ad->clear();
}

void TfrmImage::setAdText(const QString &message, const QString &link)
{
    m_ad->setText(message, link);
}

const QPixmap &TfrmImage::shownPicture() const
{
    return ImageArea->picture();
}

int TfrmImage::shownPictureHeight() const
{
    return ImageArea->picture().isNull() ? 0 : ImageArea->picture().height();
}

void TfrmImage::setCountdownColour(const QColor &colour)
{
    m_status->setCountdownColour(colour);
}

void TfrmImage::resetCountdown()
{
    m_status->resetCountdown();
}

int TfrmImage::CountdownSeconds() const
{
    return m_status->countdownSeconds();
}

void TfrmImage::setMode(const QString &letter, const QColor &colour)
{
    m_status->setMode(letter, colour);
}

void TfrmImage::setWebcamNumber(const QString &text)
{
    m_status->setWebcamNumber(text);
}

void TfrmImage::setBackground(const QColor &colour)
{
    SetBackgroundColour(this, colour);
}

void TfrmImage::setCaption(const QString &text)
{
    setWindowTitle(text);
    ImageCaption->setText(text);
}

void TfrmImage::showNoPicture(const QString &line)
{
    const DisplaySettings s = m_services.settings();
    const QRect monitor = monitorRect(s);
    applyCaptionStyle(s);
    applyWindowMode(false, monitor, monitor.size());
    Panel1->setGeometry(QRect(QPoint(), monitor.size()));
    ImageArea->setPicture(QImage());
    setCursor(Qt::BlankCursor);
    ImageArea->setCursor(Qt::BlankCursor);
    layoutAdvertisement(monitor.size(), false);
    for (QLabel *caption : {ImageCaption, ImageCaption2})
        caption->setText(line);
    placeCaptions(s, monitor.size(), false);
    ImageCaption2->show();
    if (!isVisible() || !isActiveWindow())
        showWindow(false);
}

// --- window events ------------------------------------------------------------

void TfrmImage::keyPressEvent(QKeyEvent *event)
{
    FormKeyDown(event);
    FormKeyPress(event);
}

void TfrmImage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous() || !m_run.AdminMode)
        return;
    m_status->setCountdownShown(m_services.settings().showCountdown);
}

void TfrmImage::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // An event handler may not throw: a full store is said once, not fatal.
    if (!event->spontaneous())
        (void)TryWriteSetting(Setting::LastCam, m_run.state().CurrentCam);
}

void TfrmImage::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

// Closed by the window manager: as a click outside the picture. The
// application's own close, when it quits, must go through, or the quit
// would be refused.
void TfrmImage::closeEvent(QCloseEvent *event)
{
    if (!event->spontaneous())
        return QWidget::closeEvent(event);
    event->ignore();
    FormMouseDown();
}

void TfrmImage::FormActivate()
{
    m_lastMouse = NoMousePosition;
    m_lastCursorPos = cursorPos();
}

void TfrmImage::FormKeyDown(QKeyEvent *event)
{
    if (!event->isAutoRepeat() && KeyTogglesHold(event->key(), event->modifiers()))
        emit holdToggled();
}

void TfrmImage::FormKeyPress(QKeyEvent *event)
{
    if (KeyEndsShow(event->text(), event->modifiers()))
        ImageAreaMouseDown();
}

// A key or a click on the picture: an advertisement opens its page first.
void TfrmImage::ImageAreaMouseDown()
{
    stopShow();
    // A link that is no web page is ignored: the show ends as without one.
    if (adShown() && WebLink(m_run.state().AdLink)) {
        // A browser that does not start is not reported.
        (void)OpenWebLink(m_services.shell, m_run.state().AdLink);
        if (m_run.ScreenSaverMode) {
            hide();
            AppEndTimer.setInterval(ReadSetting(Setting::ScreenSaveTimeOut) * 1000);
            return;
        }
    }
    closeShow();
}

void TfrmImage::FormMouseDown()
{
    stopShow();
    closeShow();
}

void TfrmImage::ImageAreaMouseMove(QPoint screenPos)
{
    const DisplaySettings s = m_services.settings();
    MouseMoveContext context;
    context.firstArgument = m_services.firstArgument;
    context.screenSaverMode = m_run.ScreenSaverMode;
    context.detectionDisabled = s.disableMouseMoveDetect;
    context.armed = m_mouseMoveArmed;
    context.toggleMode = s.swToOneCamOnMouseMove;
    context.adShown = adShown();
    const MouseMoveAction action = DecideMouseMove(context, m_lastMouse, screenPos);
    if (action == MouseMoveAction::None)
        return;
    m_lastMouse = screenPos;
    switch (action) {
    case MouseMoveAction::None:
    case MouseMoveAction::Record:
        break;
    case MouseMoveAction::ToggleHold:
        emit holdToggled();
        m_mouseMoveArmed = false;
        MouseMoveTimer.setEnabled(true);
        MouseMoveTimer.setInterval(5000);
        break;
    case MouseMoveAction::KeepAdShown:
        emit advertisementHeld();
        break;
    case MouseMoveAction::End:
        emit inputEndedShow();
        terminate();
        break;
    }
}

void TfrmImage::MouseMoveTimerTimer()
{
    m_mouseMoveArmed = true;
    MouseMoveTimer.setEnabled(false);
}

void TfrmImage::setPictureTime(TDateTime pictureTime, TDateTime interval)
{
    m_status->setPictureTime(pictureTime, interval);
}

// After an advertisement click the hidden screen saver ends at the first
// time-out period without mouse movement.
void TfrmImage::AppEndTimerTimer()
{
    const QPoint pos = cursorPos();
    if (pos == m_lastCursorPos)
        terminate();
    m_lastCursorPos = pos;
}

// --- leaving --------------------------------------------------------------------

// Input can arrive while the tick waits for a download: the tick must not
// go on, and the request must end.
void TfrmImage::stopShow()
{
    emit inputEndedShow();
}

// A screen saver ends; a show started from the main window returns to it.
void TfrmImage::closeShow()
{
    if (m_run.ScreenSaverMode) {
        terminate();
        return;
    }
    hide();
    emit showClosed();
    if (QWidget *main = m_services.mainWindow) {
        main->showNormal();
        main->raise();
        main->activateWindow();
    }
}

void TfrmImage::terminate()
{
    if (m_services.terminate)
        m_services.terminate();
    else
        QCoreApplication::quit();
}

QPoint TfrmImage::cursorPos() const
{
    return m_services.cursorPos ? m_services.cursorPos() : QCursor::pos();
}

} // namespace lumetta
