#pragma once
// The full-screen show on every monitor: the first image window shows it
// as ever, and each other monitor gets a window that shows the same
// picture, captions and status. The windows follow monitors plugged in or
// out during the show. Under a screen-saver daemon each monitor has a
// process of its own, so there the first window alone is used.
#include "slideshow/ShowDisplay.h"

#include <QObject>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

namespace lumetta {

struct ShowRun;
class TfrmImage;

// The monitors that need a window besides the first's: each distinct one
// once (a cloned monitor shares its twin's window).
[[nodiscard]] QList<QRect> OtherMonitors(const QList<QRect> &monitors, const QRect &first);

class ShowWindows : public QObject, public ShowDisplay {
    Q_OBJECT
public:
    // A window covering that monitor, made like the first.
    using MakeWindow = std::function<std::unique_ptr<TfrmImage>(const QRect &monitor)>;
    // differentWebcams: each monitor in turn takes the next webcam, read at
    // each tick. monitors: the screens now; QGuiApplication's when empty.
    ShowWindows(const ShowRun &run, TfrmImage &first, MakeWindow makeWindow,
                std::function<bool()> differentWebcams, std::function<QList<QRect>()> monitors = {},
                QObject *parent = nullptr);
    ~ShowWindows() override;

    QString DisplayImage(const QString &file) override;
    void clearAdLabels() override;
    void setAdText(const QString &message, const QString &link) override;
    int shownPictureHeight() const override;
    void setCountdownColour(const QColor &colour) override;
    void resetCountdown() override;
    void setMode(const QString &letter, const QColor &colour) override;
    void setWebcamNumber(const QString &text) override;
    void setBackground(const QColor &colour) override;
    void setCaption(const QString &text) override;
    void hideDisplay() override;
    void setCaptionPointSize(int points) override;
    void setPictureTime(TDateTime pictureTime, TDateTime interval) override;
    void showNoPicture(const QString &line) override;
    void beginTick() override;

    // Monitors came or went: windows are made or closed to match, a new
    // one showing what the others show.
    void followMonitors();
    int windowCount() const;

signals:
    void holdToggled();
    void inputEndedShow();
    void advertisementHeld();

private:
    struct Other;
    // What the windows show now, for a window that joins later.
    struct Shown;
    void forEach(const std::function<void(ShowDisplay &)> &apply);
    // What the tick shows goes to every window, or to the one whose turn it is.
    void forShown(const std::function<void(ShowDisplay &)> &apply);
    TfrmImage &turnWindow() const;
    void bring(TfrmImage &window);
    void watch(TfrmImage &window);
    QList<QRect> monitors() const;
    QRect firstMonitor() const;

    const ShowRun &m_run;
    TfrmImage &m_first;
    MakeWindow m_makeWindow;
    std::function<bool()> m_differentWebcams;
    std::function<QList<QRect>()> m_monitors;
    bool m_takingTurns = false;
    int m_turn = 0;  // 0: the first window
    std::vector<Other> m_others;
    std::unique_ptr<Shown> m_shown;
};

} // namespace lumetta
