#include "shell/window_handover.h"

#include "chatwindow/frm_main.h"
#include "login/frm_connect.h"
#include "shell/finish_connect.h"

namespace {

void joinDialog(frmConnect& dialog)
{
    QObject::connect(
        &dialog, &frmConnect::connectRequested, &dialog,
        [](const QString& host, qint16 port) { frmMain::instance().startConnect(host, port); });
}

void joinChatWindow(frmMain& window)
{
    QObject::connect(&window, &frmMain::loginSent, &window, FinishConnect);
    QObject::connect(&window, &frmMain::connectFailed, &window, [] {
        // Back to idle: the next Connect starts a new attempt. Once the chat is under
        // way the dialog is gone, and is not loaded again for this.
        if (frmConnect* dialog = frmConnect::ifLoaded())
            dialog->setMousePointer(Qt::ArrowCursor);
    });
}

} // namespace

void joinWindows()
{
    frmConnect::joinEachLoadedWith(joinDialog);
    frmMain::joinEachLoadedWith(joinChatWindow);
}
