#pragma once

#include "session/socket_component.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

// Runs the event loop until done() holds or timeoutMs passes; false on time-out.
inline bool runUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

// The longest time the event loop could not answer while the probe runs: a
// zero-interval timer ticks once per pass of the loop, and the longest gap between two
// ticks is the figure.
class LoopGapProbe
{
public:
    LoopGapProbe()
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longestMs_ = std::max(longestMs_, sinceTick_.nsecsElapsed() / 1e6);
            sinceTick_.start();
        });
    }
    void start()
    {
        sinceTick_.start();
        timer_.start();
    }
    void stop() { timer_.stop(); }
    double longestMs() const { return longestMs_; }

private:
    QTimer timer_;
    QElapsedTimer sinceTick_;
    double longestMs_ = 0;
};

// The server end of one loopback connection, on a port the client can name (<= 32767).
class LoopbackPeer
{
public:
    LoopbackPeer()
    {
        for (quint16 port = 21000; port < 32767 && !server_.isListening(); ++port)
            server_.listen(QHostAddress::LocalHost, port);
        QObject::connect(&server_, &QTcpServer::newConnection,
                         [this] { client_ = server_.nextPendingConnection(); });
    }
    qint16 port() const { return static_cast<qint16>(server_.serverPort()); }
    bool waitForClient()
    {
        return runUntil([this] { return !client_.isNull(); }, 5000);
    }
    QTcpSocket* client() const { return client_; }

private:
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
};

// Connects socket to peer on 127.0.0.1 and waits until both ends see the connection;
// a benchmark without one has nothing to measure.
inline void connectToPeer(SocketComponent& socket, LoopbackPeer& peer)
{
    socket.setRemoteHost(QStringLiteral("127.0.0.1"));
    socket.setRemotePort(peer.port());
    socket.connectToServer();
    if (!peer.waitForClient() || !runUntil([&] { return socket.isConnected(); }, 5000))
        qFatal("no connection");
}
