#include "session/send_login.h"

#include "session/protocol.h"
#include "session/send_line.h"
#include "shell/base/session_state.h"

namespace TCP {

void SendLogin(SocketComponent& socket)
{
    SendLine(socket, QStringLiteral("LOGIN:") + QString::number(Protocol::kProtocolVersion) + u':' +
                         Declares::userName + u':' + Declares::password);
}

} // namespace TCP
