#pragma once

class SocketComponent;

namespace TCP {

// Sends "LOGIN:" with the protocol version, the user name and the password.
void SendLogin(SocketComponent& socket);

} // namespace TCP
