#include "shell/main_loop.h"

#include "chatwindow/frm_main.h"
#include "login/frm_connect.h"
#include "shell/base/session_state.h"
#include "shell/chat_window_keeper.h"
#include "shell/window_handover.h"

#include <QApplication>

int Main()
{
    joinWindows();
    frmConnect::instance().show();
    Declares::running = true;
    // The loop blocks until clearRunning() asks it to end; an exit() requested before
    // exec() would be lost, hence the test.
    if (Declares::running)
        QApplication::exec();
    UnloadAll();
    return 0;
}

void UnloadAll()
{
    frmConnect::unload();
    if (const frmMain* window = frmMain::ifLoaded())
        keepChatWindowChoices(*window);
    frmMain::unload();
}
