#include "session/chat_view.h"
#include "session/socket_component.h"
#include "session/tcp.h"

namespace TCP {

void DispatchLine(const QString& line, ChatView& view, SocketComponent& socket)
{
    Q_UNUSED(line);
    Q_UNUSED(view);
    Q_UNUSED(socket);
}

} // namespace TCP
