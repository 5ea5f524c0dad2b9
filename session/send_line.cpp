#include "session/socket_component.h"
#include "session/tcp.h"
#include "session/wire_codec.h"
#include "shell/session_state.h"

namespace TCP {

void SendLine(SocketComponent& socket, const QString& line)
{
    const QString framed = line + Declares::lineDelimiter;
    if (framed.size() > kMaxFramedLine)
        return;
    socket.write(toWire(framed));
}

void SendLogin(SocketComponent& socket)
{
    SendLine(socket, QStringLiteral("LOGIN:") + QString::number(Declares::kProtocolVersion) + u':' +
                         Declares::userName + u':' + Declares::password);
}

} // namespace TCP
