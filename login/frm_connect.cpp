#include "login/frm_connect.h"

#include "shell/session_state.h"
#include "shell/window_slot.h"

#include <QCloseEvent>

namespace {

WindowSlot<frmConnect>& slot()
{
    static WindowSlot<frmConnect> window;
    return window;
}

} // namespace

frmConnect& frmConnect::instance()
{
    return slot().get();
}

frmConnect* frmConnect::ifLoaded()
{
    return slot().ifLoaded();
}

void frmConnect::unload()
{
    slot().unload();
}

frmConnect::frmConnect()
{
    setWindowTitle(QStringLiteral("Connect to Server"));
    Form_Load();
}

frmConnect::~frmConnect() = default;

void frmConnect::Form_Load() {}

void frmConnect::Command1_Click() {}

void frmConnect::Command2_Click()
{
    Declares::clearRunning();
}

void frmConnect::closeEvent(QCloseEvent* event)
{
    // A window-system close while the program runs is the user's Cancel; the program's
    // own unload is not.
    if (Declares::running && !slot().isUnloading())
        Command2_Click();
    event->accept();
}
