#include "slideshow/ShowWindows.h"

#include "slideshow/ShowRun.h"
#include "slideshow/TfrmImage.h"

#include <QGuiApplication>
#include <QScreen>

namespace lumetta {

QList<QRect> OtherMonitors(const QList<QRect> &monitors, const QRect &first)
{
    QList<QRect> others;
    for (const QRect &monitor : monitors) {
        if (monitor.isEmpty() || monitor.contains(first.center()) || others.contains(monitor))
            continue;
        others << monitor;
    }
    return others;
}

namespace {
// A window may be the one whose input led here (a key that closed the
// show): it goes once its handler has returned.
void Retire(std::unique_ptr<TfrmImage> &window)
{
    window->hide();
    window.release()->deleteLater();
}
} // namespace

struct ShowWindows::Other {
    QRect monitor;
    std::unique_ptr<TfrmImage> window;
};

struct ShowWindows::Shown {
    bool visible = false;
    QString file;           // the picture on screen
    QString noPictureLine;  // or this line, on black
    QString caption, webcam, mode;
    QColor modeColour = Qt::red, countdownColour = Qt::white;
    std::optional<QColor> background;
    QString adMessage, adLink;
    TDateTime pictureTime = 0, interval = 0;
    int captionPoints = 0;
};

ShowWindows::ShowWindows(const ShowRun &run, TfrmImage &first, MakeWindow makeWindow,
                         std::function<bool()> differentWebcams, std::function<QList<QRect>()> monitors,
                         QObject *parent)
    : QObject(parent), m_run(run), m_first(first), m_makeWindow(std::move(makeWindow)),
      m_differentWebcams(std::move(differentWebcams)), m_monitors(std::move(monitors)),
      m_shown(std::make_unique<Shown>())
{
    watch(m_first);
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::screenAdded, this, &ShowWindows::followMonitors);
        connect(app, &QGuiApplication::screenRemoved, this, &ShowWindows::followMonitors);
    }
}

ShowWindows::~ShowWindows() = default;

int ShowWindows::windowCount() const
{
    return 1 + int(m_others.size());
}

void ShowWindows::watch(TfrmImage &window)
{
    connect(&window, &TfrmImage::holdToggled, this, &ShowWindows::holdToggled);
    connect(&window, &TfrmImage::inputEndedShow, this, &ShowWindows::inputEndedShow);
    connect(&window, &TfrmImage::advertisementHeld, this, &ShowWindows::advertisementHeld);
    connect(&window, &TfrmImage::showClosed, this, &ShowWindows::hideDisplay);
}

QList<QRect> ShowWindows::monitors() const
{
    if (m_monitors)
        return m_monitors();
    QList<QRect> rects;
    for (const QScreen *screen : QGuiApplication::screens())
        rects << screen->geometry();
    return rects;
}

void ShowWindows::followMonitors()
{
    // A Play preview is a window of its own size on one monitor.
    const bool showing = m_shown->visible && m_first.isVisible() && !m_run.state().PlayMode;
    const QList<QRect> wanted = showing ? OtherMonitors(monitors(), m_first.geometry()) : QList<QRect>();
    for (Other &other : m_others) {
        if (!wanted.contains(other.monitor))
            Retire(other.window);
    }
    std::erase_if(m_others, [](const Other &other) { return !other.window; });
    for (const QRect &monitor : wanted) {
        const bool present = std::any_of(m_others.begin(), m_others.end(),
                                         [&monitor](const Other &other) { return other.monitor == monitor; });
        if (present)
            continue;
        Other other{monitor, m_makeWindow(monitor)};
        watch(*other.window);
        bring(*other.window);
        m_others.push_back(std::move(other));
    }
}

// A window that joins shows what the others show.
void ShowWindows::bring(TfrmImage &window)
{
    const Shown &s = *m_shown;
    if (s.captionPoints > 0)
        window.setCaptionPointSize(s.captionPoints);
    if (s.background)
        window.setBackground(*s.background);
    window.setCountdownColour(s.countdownColour);
    if (!s.mode.isEmpty())
        window.setMode(s.mode, s.modeColour);
    if (!s.webcam.isEmpty())
        window.setWebcamNumber(s.webcam);
    window.setAdText(s.adMessage, s.adLink);
    window.setCaption(s.caption);
    window.setPictureTime(s.pictureTime, s.interval);
    if (!s.file.isEmpty())
        window.DisplayImage(s.file);
    else if (!s.noPictureLine.isEmpty())
        window.showNoPicture(s.noPictureLine);
}

void ShowWindows::forEach(const std::function<void(ShowDisplay &)> &apply)
{
    apply(m_first);
    for (Other &other : m_others)
        apply(*other.window);
}

TfrmImage &ShowWindows::turnWindow() const
{
    const int turn = m_turn % windowCount();
    return turn == 0 ? m_first : *m_others[size_t(turn - 1)].window;
}

void ShowWindows::forShown(const std::function<void(ShowDisplay &)> &apply)
{
    if (m_takingTurns)
        apply(turnWindow());
    else
        forEach(apply);
}

void ShowWindows::beginTick()
{
    m_takingTurns = m_differentWebcams && m_differentWebcams() && !m_run.state().PlayMode;
    if (m_takingTurns)
        ++m_turn;
}

QString ShowWindows::DisplayImage(const QString &file)
{
    const QString shown = (m_takingTurns ? turnWindow() : m_first).DisplayImage(file);
    m_shown->visible = true;
    m_shown->file = shown;
    m_shown->noPictureLine.clear();
    // A monitor that joins shows the picture of the moment: none stays bare.
    followMonitors();
    if (!m_takingTurns) {
        for (Other &other : m_others)
            other.window->DisplayImage(shown);
    }
    return shown;
}

void ShowWindows::showNoPicture(const QString &line)
{
    (m_takingTurns ? turnWindow() : m_first).showNoPicture(line);
    m_shown->visible = true;
    m_shown->file.clear();
    m_shown->noPictureLine = line;
    followMonitors();
    if (!m_takingTurns) {
        for (Other &other : m_others)
            other.window->showNoPicture(line);
    }
}

void ShowWindows::hideDisplay()
{
    m_shown->visible = false;
    forEach([](ShowDisplay &d) { d.hideDisplay(); });
    for (Other &other : m_others)
        Retire(other.window);
    m_others.clear();
}

void ShowWindows::clearAdLabels()
{
    m_shown->adMessage.clear();
    m_shown->adLink.clear();
    forShown([](ShowDisplay &d) { d.clearAdLabels(); });
}

void ShowWindows::setAdText(const QString &message, const QString &link)
{
    m_shown->adMessage = message;
    m_shown->adLink = link;
    forShown([&](ShowDisplay &d) { d.setAdText(message, link); });
}

int ShowWindows::shownPictureHeight() const
{
    return (m_takingTurns ? turnWindow() : m_first).shownPictureHeight();
}

void ShowWindows::setCountdownColour(const QColor &colour)
{
    m_shown->countdownColour = colour;
    forShown([&](ShowDisplay &d) { d.setCountdownColour(colour); });
}

void ShowWindows::resetCountdown()
{
    forShown([](ShowDisplay &d) { d.resetCountdown(); });
}

void ShowWindows::setMode(const QString &letter, const QColor &colour)
{
    m_shown->mode = letter;
    m_shown->modeColour = colour;
    forShown([&](ShowDisplay &d) { d.setMode(letter, colour); });
}

void ShowWindows::setWebcamNumber(const QString &text)
{
    m_shown->webcam = text;
    forShown([&](ShowDisplay &d) { d.setWebcamNumber(text); });
}

void ShowWindows::setBackground(const QColor &colour)
{
    m_shown->background = colour;
    forShown([&](ShowDisplay &d) { d.setBackground(colour); });
}

void ShowWindows::setCaption(const QString &text)
{
    m_shown->caption = text;
    forShown([&](ShowDisplay &d) { d.setCaption(text); });
}

void ShowWindows::setCaptionPointSize(int points)
{
    m_shown->captionPoints = points;
    forEach([&](ShowDisplay &d) { d.setCaptionPointSize(points); });
}

void ShowWindows::setPictureTime(TDateTime pictureTime, TDateTime interval)
{
    m_shown->pictureTime = pictureTime;
    m_shown->interval = interval;
    forShown([&](ShowDisplay &d) { d.setPictureTime(pictureTime, interval); });
}

} // namespace lumetta
