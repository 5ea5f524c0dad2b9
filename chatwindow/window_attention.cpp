#include "chatwindow/window_attention.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// Asks the window manager to add _NET_WM_STATE_DEMANDS_ATTENTION to the window, which it
// removes once the window is activated. Qt 6.4's alert sets no such state on X11.
void demandAttention(xcb_connection_t* connection, xcb_window_t window)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = internAtom(connection, "_NET_WM_STATE");
    event.data.data32[0] = 1; // add
    event.data.data32[1] = internAtom(connection, "_NET_WM_STATE_DEMANDS_ATTENTION");
    event.data.data32[3] = 1; // asked by an application
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

} // namespace

void askForAttention(QWidget& window)
{
    if (!window.isVisible())
        return;
    QApplication::alert(&window);
    // Other platforms may answer for X11 too (offscreen does), without a connection.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection())
        demandAttention(x11->connection(), static_cast<xcb_window_t>(window.winId()));
}
