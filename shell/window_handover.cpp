#include "shell/window_handover.h"

#include "chatwindow/frm_main.h"
#include "login/frm_connect.h"
#include "session/socket_component.h"
#include "shell/finish_connect.h"

void JoinWindows()
{
    frmConnect::chatSocket = []() -> SocketComponent& { return *frmMain::instance().Socket1; };
    frmMain::connectFinished = FinishConnect;
    frmMain::connectFailed = [] {
        // Back to idle: the next Connect starts a new attempt. Once the chat is under
        // way the dialog is gone, and is not loaded again for this.
        if (frmConnect* dialog = frmConnect::ifLoaded())
            dialog->setMousePointer(Qt::ArrowCursor);
    };
}
