#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>

class QTcpSocket;

// One client's socket: cuts the incoming bytes into LF-terminated lines, writes
// outgoing lines, and enforces the zone's limits (line length, idle time).
class ClientConnection : public QObject
{
    Q_OBJECT
public:
    // Longest line a client may send, without its LF and an optional CR.
    static constexpr qsizetype kMaxLineLength = 1024;
    // A client that stops reading is dropped before its unsent lines pile up.
    static constexpr qint64 kMaxUnsentBytes = 1024 * 1024;

    ClientConnection(QTcpSocket* socket, std::chrono::milliseconds idleLimit,
                     const QByteArray& lineEnd, QObject* parent);

    // Sends the line with the zone's line end.
    void sendLine(const QByteArray& line);
    // Stops reading and closes once everything already written has gone out.
    void closeAfterFlush();

signals:
    void lineReceived(const QByteArray& line);
    // Emitted once, when the connection is gone for whatever reason.
    void closed();

private:
    void onReadyRead();
    void onGone();

    QTcpSocket* socket_;
    QByteArray lineEnd_;
    QTimer idleTimer_;
    QByteArray pending_;
    bool closing_ = false;
    bool gone_ = false;
};
