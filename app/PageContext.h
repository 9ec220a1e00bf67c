#pragma once
// What every page of the main window works with: the one form, the window
// that holds it, the run's shared state and the services.
#include "platform/Guarded.h"

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <utility>

class QWidget;

namespace Ui {
class TfrmMain;
}

namespace lumetta {

struct RunState;
class Catalogue;
class Clock;
class Dialogs;
class SystemShell;
class TimeSource;

struct PageContext {
    Ui::TfrmMain *ui;
    QWidget *window;
    RunState &run;
    Catalogue &cat;
    Dialogs &dialogs;
    SystemShell &shell;
    const Clock &clock;
    TimeSource &time;
};

// A page of the main window: it connects its controls to its handlers, and
// the connections end with the page.
class Page : public QObject {
    // The pages' texts are translated with the form's own.
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)

protected:
    explicit Page(const PageContext &c)
        : m_ui(c.ui), m_window(c.window), m_run(c.run), m_cat(c.cat), m_dialogs(c.dialogs), m_shell(c.shell),
          m_clock(c.clock), m_time(c.time)
    {
    }

    template <typename Sender, typename Signal, typename Handler>
    void on(Sender *sender, Signal signal, Handler handler)
    {
        connect(sender, signal, this, Guarded(std::move(handler)));
    }

    Ui::TfrmMain *const m_ui;
    QWidget *const m_window;
    RunState &m_run;
    Catalogue &m_cat;
    Dialogs &m_dialogs;
    SystemShell &m_shell;
    const Clock &m_clock;
    TimeSource &m_time;
};

// Object and setting names are plain ASCII.
inline QString S(const char *text)
{
    return QString::fromLatin1(text);
}

} // namespace lumetta
