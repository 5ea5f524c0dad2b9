#include "session/send_line.h"

#include "session/protocol.h"
#include "session/socket_component.h"
#include "session/wire_codec.h"

namespace TCP {

void SendLine(SocketComponent& socket, const QString& line)
{
    const QChar delimiter(Protocol::kLineDelimiter);
    if (line.size() + 1 > Protocol::kMaxFramedLine)
        return;
    // A delimiter inside the line would make the server read what follows it as a line
    // of its own (an arena name pasted with a line break, say): it goes out as a blank.
    QString text = line;
    text.replace(delimiter, u' ');
    socket.write(toWire(text + delimiter));
}

} // namespace TCP
