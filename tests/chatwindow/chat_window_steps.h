#pragma once

#include "chatwindow/frm_main.h"
#include "session/dispatch_line.h"

#include <QString>

// The chat window shown and active, as after a login.
inline frmMain& shownWindow()
{
    frmMain& window = frmMain::instance();
    window.show();
    window.activateWindow();
    return window;
}

// A server line handed to the chat window as if it had arrived.
inline void dispatch(const QString& line)
{
    frmMain& window = frmMain::instance();
    TCP::DispatchLine(line, window, *window.Socket1);
}
