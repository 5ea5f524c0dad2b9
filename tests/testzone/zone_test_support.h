#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTcpSocket>

#include <memory>

// The real testzone process on a free port of 127.0.0.1.
class ZoneProcess
{
public:
    ~ZoneProcess();
    // Starts it with the given options plus "--port 0" and waits for its ready line.
    bool start(const QStringList& options = {});
    quint16 port() const { return port_; }
    QProcess& process() { return process_; }

private:
    QProcess process_;
    quint16 port_ = 0;
};

// A bare client of the zone: sends lines, collects the lines it receives (without their
// line ends, LF or CR LF).
class ZoneClient
{
public:
    static constexpr int kWaitMs = 5000;

    explicit ZoneClient(quint16 port);

    bool isConnected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void send(const QByteArray& line) { sendRaw(line + '\n'); }
    void sendRaw(const QByteArray& bytes);

    // The next received line, or "<nothing>" when none arrives in time.
    QByteArray nextLine(int timeoutMs = kWaitMs);
    // Skips lines until one starts with the prefix; "<nothing>" on time-out.
    QByteArray lineStartingWith(const QByteArray& prefix, int timeoutMs = kWaitMs);
    // Sends a line, then a probe whose answer marks the end of what the zone
    // said in reply; returns everything received before that answer.
    QList<QByteArray> exchange(const QByteArray& line);
    // Everything received so far and before the zone has answered a probe.
    QList<QByteArray> drain() { return exchange(QByteArray()); }
    bool waitClosed(int timeoutMs = kWaitMs);

private:
    void onReadyRead();

    QTcpSocket socket_;
    QByteArray pending_;
    QList<QByteArray> lines_;
};

// Logs a client in (and sends it into an arena unless the arena is null).
std::unique_ptr<ZoneClient> loggedInClient(quint16 port, const QByteArray& name,
                                           const QByteArray& arena = QByteArray());
