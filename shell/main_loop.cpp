#include "shell/main_loop.h"

#include "chatwindow/frm_main.h"
#include "login/frm_connect.h"
#include "shell/base/session_state.h"
#include "shell/chat_window_keeper.h"
#include "shell/window_handover.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// True while Main runs the event loop.
bool inEventLoop = false;

// The toolkit ends the process itself, from inside the event loop, when the connection
// to the display breaks; the user is told so in the program's own words.
void reportEndFromInsideLoop()
{
    if (inEventLoop)
        std::fprintf(stderr, "%s: lost its connection to the display; the program ends.\n",
                     Declares::kAppTitle);
}

} // namespace

int Main()
{
    static const bool reportRegistered = std::atexit(reportEndFromInsideLoop) == 0;
    Q_UNUSED(reportRegistered);
    joinWindows();
    frmConnect::instance().show();
    Declares::running = true;
    // The loop blocks until clearRunning() asks it to end; an exit() requested before
    // exec() would be lost, hence the test.
    inEventLoop = true;
    if (Declares::running)
        QApplication::exec();
    inEventLoop = false;
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
