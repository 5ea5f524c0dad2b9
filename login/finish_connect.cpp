#include "login/finish_connect.h"

#include "chatwindow/frm_main.h"
#include "login/frm_connect.h"

#include <QTimer>

void FinishConnect()
{
    frmConnect::unload();
    frmMain& window = frmMain::instance();
    window.show();
    window.TmrKeepAlive->start();
}
