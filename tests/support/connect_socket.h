#pragma once

#include "session/socket_component.h"
#include "support/loopback_server.h"

#include <QSignalSpy>

// Connects socket to the server on 127.0.0.1 and waits until both ends see the
// connection; false after the bound.
inline bool connectSocketTo(LoopbackServer& server, SocketComponent& socket)
{
    QSignalSpy connected(&socket, &SocketComponent::connected);
    socket.setRemoteHost(QStringLiteral("127.0.0.1"));
    socket.setRemotePort(server.port());
    socket.connectToServer();
    return connected.wait(5000) && server.waitForClient();
}
