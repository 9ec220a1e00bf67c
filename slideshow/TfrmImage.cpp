#include "slideshow/TfrmImage.h"

#include "common/Subs.h"
#include "download/DebugLog.h"
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
#include "slideshow/ImageWindowRules.h"
#include "slideshow/MeasureImage.h"
#include "slideshow/RaisedLabel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace lumetta {

namespace {

const QColor Aqua(0, 255, 255);

QFont BoldFont(const char *family, int pixelSize)
{
    QFont f(QString::fromLatin1(family));
    f.setBold(true);
    f.setPixelSize(pixelSize);
    return f;
}

void SetTextColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

void SetBackgroundColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

void SetPointSize(QWidget *w, int points)
{
    QFont f = w->font();
    f.setPointSize(points);
    w->setFont(f);
}

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

// Paints the picture it is given; DisplayImage scales it to this size
// once, so a repaint copies pixels and never filters.
class TfrmImage::PictureArea : public QWidget {
public:
    PictureArea(const QPixmap &picture, QWidget *parent) : QWidget(parent), m_picture(picture) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_picture.isNull())
            return;
        QPainter p(this);
        if (m_picture.deviceIndependentSize().toSize() == size())
            p.drawPixmap(0, 0, m_picture);
        else  // only a picture beyond the decode limits is stretched here
            p.drawPixmap(rect(), m_picture);
    }

private:
    const QPixmap &m_picture;
};

TfrmImage::TfrmImage(ShowRun &run, ImageWindowServices services, QWidget *parent)
    : QWidget(parent),
      m_run(run),
      m_services(std::move(services)),
      MouseMoveTimer(m_services.time, this),
      CoundownTimer(m_services.time, this),
      AppEndTimer(m_services.time, this),
      ClickNowTimer(m_services.time, this)
{
    setObjectName(QStringLiteral("frmImage"));
    setWindowTitle(QStringLiteral("Screensaver Image"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    SetBackgroundColour(this, Qt::black);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->size());
    createControls();

    MouseMoveTimer.setObjectName(QStringLiteral("MouseMoveTimer"));
    CoundownTimer.setObjectName(QStringLiteral("CoundownTimer"));
    AppEndTimer.setObjectName(QStringLiteral("AppEndTimer"));
    MouseMoveTimer.OnTimer = [this] { MouseMoveTimerTimer(); };
    CoundownTimer.OnTimer = [this] { CoundownTimerTimer(); };
    AppEndTimer.OnTimer = [this] { AppEndTimerTimer(); };
    ClickNowTimer.setObjectName(QStringLiteral("ClickNowTimer"));
    ClickNowTimer.OnTimer = [this] { ClickNowTimerTimer(); };

    // FormCreate
    m_mouseMoveArmed = false;
    MouseMoveTimer.setInterval(5000);
    CoundownTimer.setInterval(1000);
    bool countdown = false;
    RunGuarded([&] { countdown = ReadSetting(Setting::Countdown); });
    for (QWidget *label : {static_cast<QWidget *>(lblCountdown), static_cast<QWidget *>(lblMode),
                           static_cast<QWidget *>(lblWebcam)})
        label->setVisible(countdown);

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
    ImageArea = new PictureArea(m_picture, Panel1);
    ImageCaption = new QLabel(Panel1);
    AdMsg = new QLabel(Panel1);
    AdUrl = new QLabel(Panel1);
    ImageCaption2->setObjectName(QStringLiteral("ImageCaption2"));
    Panel1->setObjectName(QStringLiteral("Panel1"));
    ImageArea->setObjectName(QStringLiteral("ImageArea"));
    ImageCaption->setObjectName(QStringLiteral("ImageCaption"));
    AdMsg->setObjectName(QStringLiteral("AdMsg"));
    AdUrl->setObjectName(QStringLiteral("AdUrl"));

    SetBackgroundColour(Panel1, Qt::black);
    Panel1->setAutoFillBackground(true);

    for (QLabel *caption : {ImageCaption, ImageCaption2}) {
        caption->setFont(BoldFont("Arial", 37));
        caption->setAlignment(Qt::AlignCenter);
        SetTextColour(caption, Qt::red);
        caption->hide();
    }
    for (QLabel *ad : {AdMsg, AdUrl}) {
        ad->setFont(BoldFont("Comic Sans MS", 15));
        SetTextColour(ad, Aqua);
        ad->hide();
    }
    for (int i = 0; i < 4; ++i) {
        lblClickNow[i] = new RaisedLabel(QStringLiteral("Click Now"), QColor(128, 0, 0), Panel1);
        lblClickNow[i]->setObjectName(QStringLiteral("lblClickNow%1").arg(i + 1));
        lblClickNow[i]->setFont(BoldFont("Comic Sans MS", 15));
        lblClickNow[i]->setTextColour(Qt::red);
        lblClickNow[i]->hide();
    }

    lblCountdown = new RaisedLabel(QStringLiteral("60"), Qt::red, Panel1);
    lblMode = new RaisedLabel(QStringLiteral("-"), Qt::red, Panel1);
    lblWebcam = new RaisedLabel(QStringLiteral("Cam"), Qt::red, Panel1);
    lblCountdown->setObjectName(QStringLiteral("lblCountdown"));
    lblMode->setObjectName(QStringLiteral("lblMode"));
    lblWebcam->setObjectName(QStringLiteral("lblWebcam"));
    lblCountdown->setTextColour(Qt::white);
    lblMode->setTextColour(Qt::black);
    lblWebcam->setTextColour(Qt::black);
    int x = 4;
    for (RaisedLabel *status : {lblCountdown, lblMode, lblWebcam}) {
        status->setFont(BoldFont("Arial", 27));
        status->setMinimumWidth(status == lblCountdown ? 64 : 40);
        status->adjustSize();
        status->move(x, 24);
        x += status->width() + 4;
    }

    lblAge = new RaisedLabel(QString(), Qt::black, Panel1);
    lblAge->setObjectName(QStringLiteral("lblAge"));
    lblAge->setAccessibleName(QStringLiteral("Picture age"));
    lblAge->setFont(BoldFont("Arial", 18));
    lblAge->hide();

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
    if (!picture.ok()) {
        setPicture(QImage());
        return;
    }
    setPicture(picture.image, ratio);

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
    if (!shown) {
        AdMsg->hide();
        AdUrl->hide();
        setClickNowBlinking(false);
        return;
    }
    ImageArea->setCursor(Qt::PointingHandCursor);
    setCursor(Qt::ArrowCursor);
    SetPointSize(AdMsg, 11);
    SetPointSize(AdUrl, 13);
    AdMsg->adjustSize();
    AdUrl->adjustSize();
    const AdPlaces places = PlaceAdLabels(panel, AdUrl->size(), AdMsg->size());
    for (int i = 0; i < 4; ++i) {
        SetPointSize(lblClickNow[i], 11);
        lblClickNow[i]->setGeometry(places.clickNow[i]);
    }
    AdUrl->move(places.adUrl);
    AdMsg->move(places.adMsg);
    AdMsg->show();
    AdUrl->show();
    setClickNowBlinking(true);
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

void TfrmImage::setPicture(const QImage &image, qreal devicePixelRatio)
{
    m_picture = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    m_picture.setDevicePixelRatio(devicePixelRatio);
    ImageArea->update();
}

// --- what the slide show sets -------------------------------------------------

void TfrmImage::clearAdLabels()
{
    AdMsg->clear();
    AdUrl->clear();
}

void TfrmImage::setAdText(const QString &message, const QString &link)
{
    AdMsg->setText(message);
    AdUrl->setText(AdLinkText(link));
}

int TfrmImage::shownPictureHeight() const
{
    return m_picture.isNull() ? 0 : m_picture.height();
}

void TfrmImage::setCountdownColour(const QColor &colour)
{
    lblCountdown->setTextColour(colour);
}

void TfrmImage::resetCountdown()
{
    m_countdownSeconds = 0;
}

void TfrmImage::setMode(const QString &letter, const QColor &colour)
{
    lblMode->setText(letter);
    lblMode->setTextColour(colour);
}

void TfrmImage::setWebcamNumber(const QString &text)
{
    lblWebcam->setText(text);
    lblWebcam->adjustSize();
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
    setPicture(QImage());
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

void TfrmImage::setClickNowBlinking(bool on)
{
    Timer &timer = ClickNowTimer;
    if (on) {
        // Already blinking: a new interval would restart the count.
        if (!timer.isActive()) {
            timer.setEnabled(true);
            timer.setInterval(1000);
        }
        return;
    }
    timer.setInterval(0);
    for (RaisedLabel *label : lblClickNow)
        label->hide();
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
    const bool countdown = m_services.settings().showCountdown;
    lblCountdown->setVisible(countdown);
    lblMode->setVisible(countdown);
    lblWebcam->setVisible(countdown);
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
        m_run.SSTimer.setInterval(60000);
        break;
    case MouseMoveAction::End:
        m_run.SSTimer.setEnabled(false);
        emit abortRequested();
        terminate();
        break;
    }
}

void TfrmImage::MouseMoveTimerTimer()
{
    m_mouseMoveArmed = true;
    MouseMoveTimer.setEnabled(false);
}

void TfrmImage::CoundownTimerTimer()
{
    ++m_countdownSeconds;
    lblCountdown->setText(QString::number(m_countdownSeconds));
    updateAgeBadge();
}

void TfrmImage::setPictureTime(TDateTime pictureTime, TDateTime interval)
{
    m_pictureTime = pictureTime;
    m_pictureInterval = interval;
    updateAgeBadge();
}

// Beside the countdown's labels when they show, top left otherwise.
void TfrmImage::updateAgeBadge()
{
    const bool shown = m_pictureTime > 0 && m_services.settings().showPictureAge;
    lblAge->setVisible(shown);
    if (!shown)
        return;
    const Clock &clock = m_services.clock ? *m_services.clock : DefaultClock();
    const AgeBadge badge = PictureAgeBadge(clock.now() - m_pictureTime, m_pictureInterval);
    lblAge->setText(badge.text);
    lblAge->setTextColour(PictureAgeColour(badge.age));
    lblAge->adjustSize();
    const int x = lblWebcam->isVisible() ? lblWebcam->geometry().right() + 4 : 4;
    lblAge->move(x, 24 + (lblWebcam->height() - lblAge->height()) / 2);
    lblAge->raise();
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

void TfrmImage::ClickNowTimerTimer()
{
    const bool show = lblClickNow[0]->isHidden();
    for (RaisedLabel *label : lblClickNow)
        label->setVisible(show);
}

// --- leaving --------------------------------------------------------------------

// Input can arrive while the tick waits for a download: the tick must not
// go on, and the request must end.
void TfrmImage::stopShow()
{
    m_run.SSTimer.setEnabled(false);
    emit abortRequested();
}

// A screen saver ends; a show started from the main window returns to it.
void TfrmImage::closeShow()
{
    m_run.SSTimer.setInterval(0);
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
