#include "zone_server.h"

#include "client_connection.h"
#include "player_session.h"
#include "zone.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTcpSocket>

ZoneServer::ZoneServer(Zone& zone, std::chrono::milliseconds idleLimit, const QByteArray& lineEnd,
                       QObject* parent)
    : QObject(parent), zone_(zone), idleLimit_(idleLimit), lineEnd_(lineEnd)
{
    connect(&server_, &QTcpServer::newConnection, this, &ZoneServer::acceptPending);
}

bool ZoneServer::listen(const QHostAddress& address, quint16 port)
{
    // Any number of clients: no backlog cap beyond the system's own.
    server_.setMaxPendingConnections(1024);
    if (port != 0)
        return server_.listen(address, port);
    // "Any free port" means one the client can name: its port is a signed 16-bit
    // number, and the system's own ephemeral ports lie above 32767.
    QRandomGenerator random(static_cast<quint32>(QCoreApplication::applicationPid()));
    for (int attempt = 0; attempt < 4000; ++attempt) {
        if (server_.listen(address, static_cast<quint16>(20000 + random.bounded(12768))))
            return true;
    }
    return false;
}

void ZoneServer::acceptPending()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        auto* connection = new ClientConnection(socket, idleLimit_, lineEnd_, this);
        auto* session = new PlayerSession(
            zone_, [connection](const QByteArray& line) { connection->sendLine(line); },
            connection);
        connect(connection, &ClientConnection::lineReceived, session,
                [connection, session](const QByteArray& line) {
                    if (session->handleLine(line) == PlayerSession::Outcome::Close)
                        connection->closeAfterFlush();
                });
        // Queued, so that a connection that closes while a line is being
        // routed is taken out of the zone only after that routing is done.
        connect(
            connection, &ClientConnection::closed, this,
            [connection, session] {
                session->end();
                connection->deleteLater();
            },
            Qt::QueuedConnection);
    }
}
