#include "shell/finish_connect.h"

#include "chatwindow/frm_main.h"
#include "login/frm_connect.h"
#include "login/settings.h"
#include "shell/base/session_state.h"
#include "shell/chat_window_keeper.h"

#include <QCheckBox>
#include <QTimer>

void FinishConnect()
{
    // A dialog that is no longer loaded would come back with its box unticked.
    const frmConnect* dialog = frmConnect::ifLoaded();
    if (!dialog || dialog->SavePassChk->checkState() == Qt::Unchecked)
        Declares::password.clear();
    SaveSettings();
    frmConnect::unload();
    frmMain& window = frmMain::instance();
    openChatWindowAsLeft(window);
    window.show();
    window.TmrKeepAlive->start();
}
