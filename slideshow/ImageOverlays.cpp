#include "slideshow/ImageOverlays.h"

#include "platform/Clock.h"
#include "slideshow/ImageLayout.h"
#include "slideshow/ImageWindowRules.h"
#include "slideshow/RaisedLabel.h"

#include <QLabel>
#include <QCoreApplication>

namespace lumetta {

namespace {
const QColor Aqua(0, 255, 255);
} // namespace

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

// --- the status strip ---------------------------------------------------------

StatusOverlay::StatusOverlay(QWidget *panel, TimeSource &time, const Clock &clock, std::function<bool()> showAge)
    : QObject(panel),
      m_countdown(new RaisedLabel(QStringLiteral("60"), Qt::red, panel)),
      m_mode(new RaisedLabel(QStringLiteral("-"), Qt::red, panel)),
      m_webcam(new RaisedLabel(QStringLiteral("Cam"), Qt::red, panel)),
      m_age(new RaisedLabel(QString(), Qt::black, panel)),
      m_timer(time, this),
      m_clock(clock),
      m_showAge(std::move(showAge))
{
    m_countdown->setObjectName(QStringLiteral("lblCountdown"));
    m_mode->setObjectName(QStringLiteral("lblMode"));
    m_webcam->setObjectName(QStringLiteral("lblWebcam"));
    m_countdown->setTextColour(Qt::white);
    m_mode->setTextColour(Qt::black);
    m_webcam->setTextColour(Qt::black);
    int x = 4;
    for (RaisedLabel *status : {m_countdown, m_mode, m_webcam}) {
        status->setFont(BoldFont("Arial", 27));
        status->setMinimumWidth(status == m_countdown ? 64 : 40);
        status->adjustSize();
        status->move(x, 24);
        x += status->width() + 4;
    }
    m_age->setObjectName(QStringLiteral("lblAge"));
    m_age->setAccessibleName(QCoreApplication::translate("ImageOverlays", "Picture age"));
    m_age->setFont(BoldFont("Arial", 18));
    m_age->hide();

    m_timer.setObjectName(QStringLiteral("CoundownTimer"));
    m_timer.OnTimer = [this] { tick(); };
    m_timer.setInterval(1000);
}

void StatusOverlay::setCountdownShown(bool shown)
{
    for (RaisedLabel *label : {m_countdown, m_mode, m_webcam})
        label->setVisible(shown);
}

void StatusOverlay::setCountdownColour(const QColor &colour)
{
    m_countdown->setTextColour(colour);
}

void StatusOverlay::setMode(const QString &letter, const QColor &colour)
{
    m_mode->setText(letter);
    m_mode->setTextColour(colour);
}

void StatusOverlay::setWebcamNumber(const QString &text)
{
    m_webcam->setText(text);
    m_webcam->adjustSize();
}

void StatusOverlay::setPictureTime(TDateTime pictureTime, TDateTime interval)
{
    m_pictureTime = pictureTime;
    m_interval = interval;
    updateAgeBadge();
}

void StatusOverlay::tick()
{
    ++m_seconds;
    m_countdown->setText(QString::number(m_seconds));
    updateAgeBadge();
}

// Beside the countdown's labels when they show, top left otherwise.
void StatusOverlay::updateAgeBadge()
{
    const bool shown = m_pictureTime > 0 && m_showAge();
    m_age->setVisible(shown);
    if (!shown)
        return;
    const AgeBadge badge = PictureAgeBadge(m_clock.now() - m_pictureTime, m_interval);
    m_age->setText(badge.text);
    m_age->setTextColour(PictureAgeColour(badge.age));
    m_age->adjustSize();
    const int x = m_webcam->isVisible() ? m_webcam->geometry().right() + 4 : 4;
    m_age->move(x, 24 + (m_webcam->height() - m_age->height()) / 2);
    m_age->raise();
}

// --- the advertisement --------------------------------------------------------

AdOverlay::AdOverlay(QWidget *panel, TimeSource &time)
    : QObject(panel), m_message(new QLabel(panel)), m_link(new QLabel(panel)), m_timer(time, this)
{
    m_message->setObjectName(QStringLiteral("AdMsg"));
    m_link->setObjectName(QStringLiteral("AdUrl"));
    for (QLabel *ad : {m_message, m_link}) {
        ad->setFont(BoldFont("Comic Sans MS", 15));  // untranslated: a font family
        SetTextColour(ad, Aqua);
        ad->hide();
    }
    for (int i = 0; i < 4; ++i) {
        m_clickNow[i] =
            new RaisedLabel(QCoreApplication::translate("ImageOverlays", "Click Now"), QColor(128, 0, 0), panel);
        m_clickNow[i]->setObjectName(QStringLiteral("lblClickNow%1").arg(i + 1));
        m_clickNow[i]->setFont(BoldFont("Comic Sans MS", 15));  // untranslated: a font family
        m_clickNow[i]->setTextColour(Qt::red);
        m_clickNow[i]->hide();
    }
    m_timer.setObjectName(QStringLiteral("ClickNowTimer"));
    m_timer.OnTimer = [this] { blink(); };
}

void AdOverlay::clear()
{
    m_message->clear();
    m_link->clear();
}

void AdOverlay::setText(const QString &message, const QString &link)
{
    m_message->setText(message);
    m_link->setText(AdLinkText(link));
}

void AdOverlay::layout(QSize panel, bool shown)
{
    if (!shown) {
        m_message->hide();
        m_link->hide();
        setBlinking(false);
        return;
    }
    SetPointSize(m_message, 11);
    SetPointSize(m_link, 13);
    m_message->adjustSize();
    m_link->adjustSize();
    const AdPlaces places = PlaceAdLabels(panel, m_link->size(), m_message->size());
    for (int i = 0; i < 4; ++i) {
        SetPointSize(m_clickNow[i], 11);
        m_clickNow[i]->setGeometry(places.clickNow[i]);
    }
    m_link->move(places.adUrl);
    m_message->move(places.adMsg);
    m_message->show();
    m_link->show();
    setBlinking(true);
}

void AdOverlay::setBlinking(bool on)
{
    if (on) {
        // Already blinking: a new interval would restart the count.
        if (!m_timer.isActive()) {
            m_timer.setEnabled(true);
            m_timer.setInterval(1000);
        }
        return;
    }
    m_timer.setInterval(0);
    for (RaisedLabel *label : m_clickNow)
        label->hide();
}

void AdOverlay::blink()
{
    const bool show = m_clickNow[0]->isHidden();
    for (RaisedLabel *label : m_clickNow)
        label->setVisible(show);
}

} // namespace lumetta
