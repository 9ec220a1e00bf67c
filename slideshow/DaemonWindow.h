#pragma once
// A window another program gave us to draw into (a screen-saver daemon's).
// Qt knows no size for a foreign window, so the window system is asked.
#include <QSize>
#include <QtGlobal>

namespace lumetta {

// Invalid when the window system cannot say.
QSize DaemonWindowSize(quintptr id);

} // namespace lumetta
