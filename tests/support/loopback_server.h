#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QHostAddress>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// The client's port is a signed 16-bit number, so a test server must listen at or
// below 32767; the system's own ephemeral ports lie above that.
inline bool listenOnClientPort(QTcpServer& server)
{
    static quint16 next = 20000 + static_cast<quint16>(QCoreApplication::applicationPid() % 5000);
    for (int attempt = 0; attempt < 2000; ++attempt) {
        next = next >= 32767 ? 20000 : next + 1;
        if (server.listen(QHostAddress::LocalHost, next))
            return true;
    }
    return false;
}

// A chat server stand-in on 127.0.0.1 with a free port: accepts one client,
// records every byte it sends and lets the test send bytes back.
class LoopbackServer : public QObject
{
public:
    LoopbackServer()
    {
        listenOnClientPort(server_);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            client_ = server_.nextPendingConnection();
            connect(client_, &QTcpSocket::readyRead, this,
                    [this] { received_.append(client_->readAll()); });
        });
    }

    qint16 port() const { return static_cast<qint16>(server_.serverPort()); }
    bool isListening() const { return server_.isListening(); }

    // Waits until the client has connected; false after timeoutMs.
    bool waitForClient(int timeoutMs = 5000)
    {
        return QTest::qWaitFor([this] { return !client_.isNull(); }, timeoutMs);
    }

    // Waits until the client has sent at least size bytes in all.
    bool waitForBytes(qsizetype size, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([this, size] { return received_.size() >= size; }, timeoutMs);
    }

    // Waits until what the client sent contains text.
    bool waitForText(const QByteArray& text, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([this, &text] { return received_.contains(text); }, timeoutMs);
    }

    void send(const QByteArray& bytes)
    {
        client_->write(bytes);
        client_->flush();
    }

    // Closes the client's connection from the server side.
    void closeClient()
    {
        if (client_)
            client_->disconnectFromHost();
    }

    QTcpSocket* client() const { return client_; }
    QByteArray received() const { return received_; }
    void clearReceived() { received_.clear(); }
    void stopListening() { server_.close(); }

private:
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QByteArray received_;
};

// A port on 127.0.0.1 on which nothing listens: bound, then released.
inline qint16 closedLoopbackPort()
{
    QTcpServer probe;
    listenOnClientPort(probe);
    const auto port = static_cast<qint16>(probe.serverPort());
    probe.close();
    return port;
}
