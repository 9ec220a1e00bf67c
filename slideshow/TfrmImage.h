#pragma once
// The full-screen image window: the picture laid out by the user's rules
// with its caption, the advertisement labels, the status strip, and the
// input that ends or holds the show. The decisions are plain functions
// (ImageLayout, ImageWindowRules, MeasureImage); this class applies them.
#include "slideshow/ShowRun.h"
#include "slideshow/DisplaySettings.h"
#include "slideshow/ShowDisplay.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QWindow;

namespace lumetta {

class Clock;
class Dialogs;
struct MeasuredImage;
class AdOverlay;
class PictureView;
class RaisedLabel;
class StatusOverlay;
class SystemShell;

struct ImageWindowServices {
    Dialogs &dialogs;
    SystemShell &shell;
    TimeSource &time;
    // The main window's options at the moment they are needed.
    std::function<DisplaySettings()> settings;
    // Shown again, in normal state, when a show run from it ends.
    QWidget *mainWindow = nullptr;
    // The first command-line argument; "ss" keeps mouse movement from
    // ending the screen saver.
    QString firstArgument;
    // A screen-saver daemon's window to draw into instead of a screen.
    std::optional<quintptr> embedInto;
    // Ends the application; QCoreApplication::quit when empty.
    std::function<void()> terminate;
    // The cursor's screen position; QCursor::pos when empty.
    std::function<QPoint()> cursorPos;
    // "Now" for the picture's age; the system clock when null.
    const Clock *clock = nullptr;
    // The monitor this window covers; when invalid, the one the settings
    // name, else the primary screen.
    QRect monitor;
};

class TfrmImage : public QWidget, public ShowDisplay {
    Q_OBJECT
public:
    TfrmImage(const ShowRun &run, ImageWindowServices services, QWidget *parent = nullptr);
    ~TfrmImage() override;

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
    void showNoPicture(const QString &line) override;
    void hideDisplay() override { hide(); }
    void setCaptionPointSize(int points) override;
    void setPictureTime(TDateTime pictureTime, TDateTime interval) override;

    int CountdownSeconds() const;
    bool MouseMoveArmed() const { return m_mouseMoveArmed; }
    // The picture as painted: decoded and scaled once to the panel's size.
    const QPixmap &shownPicture() const;

signals:
    // A key or a mouse move holds the webcam shown, or lets it go.
    void holdToggled();
    // Input ended the show: no tick may follow, and the request in
    // progress must end.
    void inputEndedShow();
    // The mouse moved over an advertisement: it stays a minute more.
    void advertisementHeld();
    // A show run from the main window closed here: every window goes.
    void showClosed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void watchInput(QWidget *widget);
    QRect monitorRect(const DisplaySettings &s) const;
    void showMeasured(const MeasuredImage &measured, const DisplaySettings &s,
                      const std::function<void(const QString &)> &step);
    void applyCaptionStyle(const DisplaySettings &s);
    void applyWindowMode(bool playMode, const QRect &monitor, QSize client);
    void layoutAdvertisement(QSize panel, bool adShown);
    void placeCaptions(const DisplaySettings &s, QSize monitor, bool playMode);
    void showWindow(bool playMode);
    bool adShown() const;

    // The window's event handlers, by their design names.
    void FormActivate();
    void FormKeyDown(QKeyEvent *event);
    void FormKeyPress(QKeyEvent *event);
    void FormMouseDown();
    void ImageAreaMouseDown();
    void ImageAreaMouseMove(QPoint screenPos);
    void MouseMoveTimerTimer();
    void AppEndTimerTimer();

    void stopShow();
    void closeShow();
    void terminate();
    QPoint cursorPos() const;

    const ShowRun &m_run;
    ImageWindowServices m_services;
    QWindow *m_embedParent = nullptr;

    QLabel *ImageCaption2 = nullptr;
    QWidget *Panel1 = nullptr;
    PictureView *ImageArea = nullptr;
    QLabel *ImageCaption = nullptr;
    // Over the picture, each with its own timer: a second window's would
    // otherwise take the first one's.
    AdOverlay *m_ad = nullptr;
    StatusOverlay *m_status = nullptr;

    Timer MouseMoveTimer;
    Timer AppEndTimer;

    bool m_mouseMoveArmed = false;
    QPoint m_lastMouse{-1, -1};  // LastMouseX, LastMouseY; -1, -1 = none yet
    QPoint m_lastCursorPos;
};

} // namespace lumetta
