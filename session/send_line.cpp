#include "session/socket_component.h"
#include "session/tcp.h"
#include "session/wire_codec.h"
#include "shell/session_state.h"

namespace TCP {

void SendLine(SocketComponent& socket, const QString& line)
{
    const QString& delimiter = Declares::lineDelimiter;
    if (line.size() + delimiter.size() > kMaxFramedLine)
        return;
    // A delimiter inside the line would make the server read what follows it as a line
    // of its own (an arena name pasted with a line break, say): it goes out as a blank.
    QString text = line;
    if (!delimiter.isEmpty())
        text.replace(delimiter, QStringLiteral(" "));
    socket.write(toWire(text + delimiter));
}

void SendLogin(SocketComponent& socket)
{
    SendLine(socket, QStringLiteral("LOGIN:") + QString::number(Declares::kProtocolVersion) + u':' +
                         Declares::userName + u':' + Declares::password);
}

} // namespace TCP
