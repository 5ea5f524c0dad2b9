#include "shell/base/session_state.h"

#include <QCoreApplication>

namespace Declares {

QString userName;
QString password;
QString arenaName;
QString serverIP;
qint16 port = 0;
qint16 currentFreq = 0;
QString typedLine;
QString AppDir;
bool running = false;

void clearRunning()
{
    running = false;
    // exit() rather than quit(): quit() does not end a loop blocked under a modal box.
    QCoreApplication::exit(0);
}

void reset()
{
    userName.clear();
    password.clear();
    arenaName.clear();
    serverIP.clear();
    port = 0;
    currentFreq = 0;
    typedLine.clear();
    AppDir.clear();
    running = false;
}

} // namespace Declares
