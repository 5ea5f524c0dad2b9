#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QSocketNotifier;
class QTcpSocket;

// The chat window's one TCP connection (Socket1): an asynchronous client whose
// notifications all arrive on the UI thread through the event loop.
//
// The connect is our own (non-blocking connect, a notifier and SO_ERROR) so that a
// refused, down or unreachable server can be told apart; the connected descriptor is
// then handed to QTcpSocket for reading and writing.
class SocketComponent : public QObject
{
    Q_OBJECT

public:
    static constexpr int kConnectionRefused = 24061;
    static constexpr int kHostDown = 24064;
    static constexpr int kHostUnreachable = 24065;
    static constexpr int kTimedOut = 24060;
    static constexpr int kHostNotFound = 25001;
    static constexpr int kOtherFailure = 24000;

    static constexpr int kMaxNotificationBytes = 32767;
    static constexpr int kConnectTimeoutMs = 30000;
    // What Qt may read ahead of us; beyond it the server waits (TCP flow control),
    // so a flood cannot fill memory faster than the window shows it.
    static constexpr qint64 kReadAheadBytes = 256 * 1024;

    explicit SocketComponent(QObject* parent = nullptr);
    ~SocketComponent() override;

    void setRemoteHost(const QString& host) { host_ = host; }
    void setRemotePort(qint16 port) { port_ = port; }
    // How long a connect may take before it is reported as failed (30 s unless set).
    void setConnectTimeout(int milliseconds) { connectTimer_.setInterval(milliseconds); }

    // Starts connecting and returns at once; connected() or errorOccurred() follows,
    // never from inside this call.
    void connectToServer();
    bool isConnecting() const { return connecting_; }
    bool isConnected() const;

    // Queues the bytes for sending; does nothing without a connection.
    void write(const QByteArray& bytes);
    // Takes up to count received bytes, in arrival order.
    QByteArray read(int count);
    // Closes the connection; our own close raises disconnected(), not closed().
    void disconnectFromServer();

signals:
    void connected();
    // At most kMaxNotificationBytes each; the next one comes after a return to the event loop.
    void dataArrived(int bytesTotal);
    void errorOccurred(int code, const QString& description);
    // The connection ended from the other side; raised once, after the last data.
    void closed();
    // The connection that stood was closed by disconnectFromServer().
    void disconnected();

private:
    void resolve();
    void tryNextAddress();
    void onWritable();
    void attemptFailed(int error);
    void fail(int code, const QString& description);
    void stopConnecting();
    void handOver(int fd);
    void scheduleDelivery();
    void deliver();
    void onDisconnected();
    QString endpoint() const;

    QString host_;
    qint16 port_ = 0;

    bool connecting_ = false;
    int lookupId_ = -1;
    QList<QHostAddress> addresses_;
    qsizetype nextAddress_ = 0;
    int fd_ = -1;
    int lastError_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    QTimer connectTimer_;

    QPointer<QTcpSocket> socket_;
    bool deliveryScheduled_ = false;
    bool peerClosed_ = false;
    bool closedReported_ = false;
};
