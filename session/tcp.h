#pragma once

#include <QString>

class ChatView;
class SocketComponent;

// The protocol procedures: everything the client sends goes through SendLine, and
// every complete line the server sends goes through DispatchLine.
namespace TCP {

// A framed line (text plus delimiter) longer than this is not sent at all.
inline constexpr int kMaxFramedLine = 300;

// Frames the line with the delimiter and writes it; a line too long is dropped silently.
void SendLine(SocketComponent& socket, const QString& line);

// Acts on one server line: shows it in view, keeps the user list, answers the login.
void DispatchLine(const QString& line, ChatView& view, SocketComponent& socket);

// Sends "LOGIN:" with the protocol version, the user name and the password.
void SendLogin(SocketComponent& socket);

} // namespace TCP
