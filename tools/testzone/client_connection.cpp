#include "client_connection.h"

#include <QTcpSocket>

ClientConnection::ClientConnection(QTcpSocket* socket, std::chrono::milliseconds idleLimit,
                                   const QByteArray& lineEnd, QObject* parent)
    : QObject(parent), socket_(socket), lineEnd_(lineEnd)
{
    socket_->setParent(this);
    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(idleLimit);
    connect(&idleTimer_, &QTimer::timeout, this, &ClientConnection::closeAfterFlush);
    connect(socket_, &QTcpSocket::readyRead, this, &ClientConnection::onReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &ClientConnection::onGone);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (socket_->state() == QAbstractSocket::UnconnectedState)
            onGone();
    });
    idleTimer_.start();
}

void ClientConnection::sendLine(const QByteArray& line)
{
    if (closing_ || gone_)
        return;
    socket_->write(line + lineEnd_);
    if (socket_->bytesToWrite() > kMaxUnsentBytes) {
        closing_ = true;
        socket_->abort();
        onGone(); // abort() may stay silent when the socket reports no change
    }
}

void ClientConnection::closeAfterFlush()
{
    if (closing_ || gone_)
        return;
    closing_ = true;
    idleTimer_.stop();
    pending_.clear();
    socket_->disconnectFromHost();
}

void ClientConnection::onReadyRead()
{
    if (closing_ || gone_) {
        socket_->readAll();
        return;
    }
    idleTimer_.start();
    pending_ += socket_->readAll();

    qsizetype start = 0;
    while (!closing_) {
        const qsizetype lf = pending_.indexOf('\n', start);
        if (lf < 0)
            break;
        QByteArray line = pending_.mid(start, lf - start);
        start = lf + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() > kMaxLineLength) {
            closeAfterFlush();
            return;
        }
        emit lineReceived(line);
    }
    if (closing_)
        return;
    pending_.remove(0, start);
    // An unterminated line may still end in a CR that will be stripped.
    if (pending_.size() > kMaxLineLength + 1)
        closeAfterFlush();
}

void ClientConnection::onGone()
{
    if (gone_)
        return;
    gone_ = true;
    idleTimer_.stop();
    emit closed();
}
