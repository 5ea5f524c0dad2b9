#include "session/socket_component.h"
#include "session/tcp.h"
#include "session/wire_codec.h"
#include "shell/session_state.h"

namespace TCP {

void SendLine(SocketComponent& socket, const QString& line)
{
    const QChar delimiter(Declares::kLineDelimiter);
    if (line.size() + 1 > kMaxFramedLine)
        return;
    // A delimiter inside the line would make the server read what follows it as a line
    // of its own (an arena name pasted with a line break, say): it goes out as a blank.
    QString text = line;
    text.replace(delimiter, u' ');
    socket.write(toWire(text + delimiter));
}

void SendLogin(SocketComponent& socket)
{
    SendLine(socket, QStringLiteral("LOGIN:") + QString::number(Declares::kProtocolVersion) + u':' +
                         Declares::userName + u':' + Declares::password);
}

} // namespace TCP
