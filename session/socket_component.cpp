#include "session/socket_component.h"

#include <QHostInfo>
#include <QSocketNotifier>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int codeForErrno(int error)
{
    switch (error) {
    case ECONNREFUSED:
        return SocketComponent::kConnectionRefused;
    case EHOSTDOWN:
        return SocketComponent::kHostDown;
    case EHOSTUNREACH:
        return SocketComponent::kHostUnreachable;
    case ETIMEDOUT:
        return SocketComponent::kTimedOut;
    case ENETDOWN:
        return 24050;
    case ENETUNREACH:
        return 24051;
    case ECONNRESET:
        return 24054;
    case EADDRNOTAVAIL:
        return 24049;
    default:
        return SocketComponent::kOtherFailure;
    }
}

// The interface index a link-local address is bound to: "fe80::1%lo" names it, and
// "fe80::1%1" numbers it. An unknown name gives 0, which the connect then refuses.
quint32 scopeIndex(const QString& scope)
{
    bool numeric = false;
    const quint32 index = scope.toUInt(&numeric);
    if (numeric || scope.isEmpty())
        return index;
    return ::if_nametoindex(scope.toLocal8Bit().constData());
}

} // namespace

SocketComponent::SocketComponent(QObject* parent) : QObject(parent)
{
    connectTimer_.setSingleShot(true);
    connectTimer_.setInterval(kConnectTimeoutMs);
    connect(&connectTimer_, &QTimer::timeout, this, [this] {
        fail(kTimedOut, QStringLiteral("The connection to %1 timed out after %2 seconds.")
                            .arg(endpoint())
                            .arg(connectTimer_.interval() / 1000.0));
    });
}

SocketComponent::~SocketComponent()
{
    stopConnecting();
}

QString SocketComponent::endpoint() const
{
    return QStringLiteral("%1:%2").arg(host_).arg(port_);
}

bool SocketComponent::isConnected() const
{
    return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void SocketComponent::connectToServer()
{
    if (connecting_ || isConnected())
        return;
    connecting_ = true;
    lastError_ = 0;
    addresses_.clear();
    nextAddress_ = 0;
    connectTimer_.start();
    // Even an immediate failure is reported later, from the event loop, so that the
    // caller never sees a notification from inside this call.
    QMetaObject::invokeMethod(this, &SocketComponent::resolve, Qt::QueuedConnection);
}

void SocketComponent::resolve()
{
    if (!connecting_)
        return;
    if (port_ <= 0) {
        fail(kOtherFailure,
             QStringLiteral(
                 "The port %1 is not a valid port number for %2: usable ports are 1 to 32767.")
                 .arg(port_)
                 .arg(host_));
        return;
    }
    QHostAddress literal;
    if (literal.setAddress(host_)) {
        addresses_ = {literal};
        tryNextAddress();
        return;
    }
    lookupId_ = QHostInfo::lookupHost(host_, this, [this](const QHostInfo& info) {
        lookupId_ = -1;
        if (!connecting_)
            return;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            fail(kHostNotFound,
                 QStringLiteral("The server name \"%1\" could not be found.").arg(host_));
            return;
        }
        addresses_ = info.addresses();
        tryNextAddress();
    });
}

void SocketComponent::tryNextAddress()
{
    while (nextAddress_ < addresses_.size()) {
        const QHostAddress address = addresses_.at(nextAddress_++);
        sockaddr_storage storage{};
        socklen_t length = 0;
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            auto* in = reinterpret_cast<sockaddr_in*>(&storage);
            in->sin_family = AF_INET;
            in->sin_port = htons(static_cast<quint16>(port_));
            in->sin_addr.s_addr = htonl(address.toIPv4Address());
            length = sizeof(sockaddr_in);
        } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
            in6->sin6_family = AF_INET6;
            in6->sin6_port = htons(static_cast<quint16>(port_));
            const Q_IPV6ADDR bytes = address.toIPv6Address();
            std::memcpy(&in6->sin6_addr, bytes.c, sizeof(bytes.c));
            in6->sin6_scope_id = scopeIndex(address.scopeId());
            length = sizeof(sockaddr_in6);
        } else {
            continue;
        }
        fd_ = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            lastError_ = errno;
            continue;
        }
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&storage), length) == 0) {
            const int fd = fd_;
            fd_ = -1;
            handOver(fd);
            return;
        }
        if (errno == EINPROGRESS) {
            notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Write, this);
            connect(notifier_, &QSocketNotifier::activated, this, &SocketComponent::onWritable);
            return;
        }
        attemptFailed(errno);
        return;
    }
    attemptFailed(lastError_ ? lastError_ : EADDRNOTAVAIL);
}

void SocketComponent::onWritable()
{
    delete notifier_;
    notifier_ = nullptr;
    int error = 0;
    socklen_t length = sizeof(error);
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error == 0) {
        const int fd = fd_;
        fd_ = -1;
        handOver(fd);
        return;
    }
    attemptFailed(error);
}

// One address failed: try the next one the name resolved to, or report this failure.
void SocketComponent::attemptFailed(int error)
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    lastError_ = error;
    if (nextAddress_ < addresses_.size()) {
        tryNextAddress();
        return;
    }
    fail(codeForErrno(error), QStringLiteral("Could not connect to %1: %2.")
                                  .arg(endpoint(), QString::fromLocal8Bit(std::strerror(error))));
}

void SocketComponent::fail(int code, const QString& description)
{
    stopConnecting();
    emit errorOccurred(code, description);
}

void SocketComponent::stopConnecting()
{
    connecting_ = false;
    connectTimer_.stop();
    if (lookupId_ >= 0) {
        QHostInfo::abortHostLookup(lookupId_);
        lookupId_ = -1;
    }
    delete notifier_;
    notifier_ = nullptr;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void SocketComponent::handOver(int fd)
{
    stopConnecting();
    peerClosed_ = false;
    closedReported_ = false;
    socket_ = new QTcpSocket(this);
    socket_->setReadBufferSize(kReadAheadBytes);
    if (!socket_->setSocketDescriptor(fd)) {
        const QString reason = socket_->errorString();
        ::close(fd);
        delete socket_;
        emit errorOccurred(
            kOtherFailure,
            QStringLiteral("Could not use the connection to %1: %2.").arg(endpoint(), reason));
        return;
    }
    connect(socket_, &QTcpSocket::readyRead, this, &SocketComponent::scheduleDelivery);
    connect(socket_, &QTcpSocket::disconnected, this, &SocketComponent::onDisconnected);
    // A connection in use ends with disconnected(); its errors (the peer closing or
    // resetting) are that same end, reported once as closed().
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit connected();
            scheduleDelivery();
        },
        Qt::QueuedConnection);
}

void SocketComponent::write(const QByteArray& bytes)
{
    if (isConnected())
        socket_->write(bytes);
}

QByteArray SocketComponent::read(int count)
{
    if (!socket_ || count <= 0)
        return {};
    return socket_->read(count);
}

void SocketComponent::disconnectFromServer()
{
    stopConnecting();
    if (!socket_)
        return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    emit disconnected();
}

void SocketComponent::scheduleDelivery()
{
    if (deliveryScheduled_ || !socket_)
        return;
    deliveryScheduled_ = true;
    QMetaObject::invokeMethod(this, &SocketComponent::deliver, Qt::QueuedConnection);
}

void SocketComponent::deliver()
{
    deliveryScheduled_ = false;
    if (!socket_)
        return;
    const qint64 available = socket_->bytesAvailable();
    if (available > 0) {
        emit dataArrived(static_cast<int>(qMin<qint64>(available, kMaxNotificationBytes)));
        if (!socket_)
            return;
        if (socket_->bytesAvailable() > 0) {
            scheduleDelivery();
            return;
        }
    }
    if (peerClosed_ && !closedReported_) {
        closedReported_ = true;
        emit closed();
    }
}

void SocketComponent::onDisconnected()
{
    peerClosed_ = true;
    // Data still waiting is delivered first; deliver() then reports the close.
    if (!deliveryScheduled_)
        scheduleDelivery();
}
