#include "session/receive_step.h"

#include "session/dispatch_line.h"
#include "session/wire_codec.h"

QList<QByteArray> ReceiveStep::take(const QByteArray& bytes, ChatView& view,
                                    SocketComponent& socket)
{
    QList<QByteArray> lines = framer_.feed(bytes);
    for (const QByteArray& line : std::as_const(lines))
        TCP::DispatchLine(fromWire(line), view, socket);
    return lines;
}
