#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <chrono>

class Zone;

// Accepts clients and gives each one a connection and a player session.
class ZoneServer : public QObject
{
public:
    ZoneServer(Zone& zone, std::chrono::milliseconds idleLimit, const QByteArray& lineEnd,
               QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port);
    QString errorString() const { return server_.errorString(); }
    QHostAddress address() const { return server_.serverAddress(); }
    quint16 port() const { return server_.serverPort(); }

private:
    void acceptPending();

    Zone& zone_;
    std::chrono::milliseconds idleLimit_;
    QByteArray lineEnd_;
    QTcpServer server_;
};
