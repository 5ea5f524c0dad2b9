#pragma once

#include <QString>

class ChatView;
class SocketComponent;

namespace TCP {

// Acts on one complete server line: shows it in view, keeps the user list, answers the
// login.
void DispatchLine(const QString& line, ChatView& view, SocketComponent& socket);

} // namespace TCP
