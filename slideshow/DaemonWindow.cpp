#include "slideshow/DaemonWindow.h"

#include <QGuiApplication>

#ifdef LUMETTA_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <xcb/xcb.h>
#endif

namespace lumetta {

QSize DaemonWindowSize(quintptr id)
{
#ifdef LUMETTA_HAVE_XCB
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return {};
    xcb_connection_t *connection = x11->connection();
    xcb_get_geometry_reply_t *reply =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, xcb_drawable_t(id)), nullptr);
    if (!reply)
        return {};
    const QSize size(reply->width, reply->height);
    std::free(reply);
    return size;
#else
    Q_UNUSED(id);
    return {};
#endif
}

} // namespace lumetta
