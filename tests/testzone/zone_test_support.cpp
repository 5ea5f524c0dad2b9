#include "zone_test_support.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QByteArray kProbeName = "nobody-by-this-name";
const QByteArray kProbeAnswer = "MSG:ARENA:No such player: " + kProbeName;

} // namespace

ZoneProcess::~ZoneProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished(5000);
    }
}

bool ZoneProcess::start(const QStringList& options)
{
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(TESTZONE_PATH), options + QStringList{"--port", "0"});
    if (!process_.waitForStarted(5000))
        return false;
    if (!QTest::qWaitFor([&] { return process_.canReadLine(); }, 10000))
        return false;
    const QString ready = QString::fromLatin1(process_.readLine()).trimmed();
    static const QRegularExpression pattern(
        QStringLiteral("^testzone listening on 127\\.0\\.0\\.1:(\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(ready);
    if (!match.hasMatch())
        return false;
    port_ = static_cast<quint16>(match.captured(1).toUInt());
    return port_ != 0;
}

ZoneClient::ZoneClient(quint16 port)
{
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { onReadyRead(); });
    socket_.connectToHost(QHostAddress::LocalHost, port);
    socket_.waitForConnected(kWaitMs);
}

void ZoneClient::sendRaw(const QByteArray& bytes)
{
    socket_.write(bytes);
    socket_.flush();
}

QByteArray ZoneClient::nextLine(int timeoutMs)
{
    if (!QTest::qWaitFor([&] { return !lines_.isEmpty(); }, timeoutMs))
        return "<nothing>";
    return lines_.takeFirst();
}

QByteArray ZoneClient::lineStartingWith(const QByteArray& prefix, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QByteArray line = nextLine(static_cast<int>(deadline.remainingTime()));
        if (line.startsWith(prefix))
            return line;
    }
    return "<nothing>";
}

QList<QByteArray> ZoneClient::exchange(const QByteArray& line)
{
    if (!line.isNull())
        send(line);
    send("SEND:PRIV:" + kProbeName + ":probe");
    QList<QByteArray> received;
    for (;;) {
        const QByteArray next = nextLine();
        if (next == kProbeAnswer)
            return received;
        received.append(next);
        if (next == "<nothing>")
            return received; // the marker makes any comparison fail
    }
}

bool ZoneClient::waitClosed(int timeoutMs)
{
    return QTest::qWaitFor([&] { return socket_.state() == QAbstractSocket::UnconnectedState; },
                           timeoutMs);
}

void ZoneClient::onReadyRead()
{
    pending_ += socket_.readAll();
    qsizetype lf;
    while ((lf = pending_.indexOf('\n')) >= 0) {
        // A zone may end its lines with CR LF; the CR is not part of the line.
        const bool crLf = lf > 0 && pending_[lf - 1] == '\r';
        lines_.append(pending_.left(crLf ? lf - 1 : lf));
        pending_.remove(0, lf + 1);
    }
}

std::unique_ptr<ZoneClient> loggedInClient(quint16 port, const QByteArray& name,
                                           const QByteArray& arena)
{
    auto client = std::make_unique<ZoneClient>(port);
    client->send("LOGIN:1:" + name + ":secret");
    if (client->nextLine() != "LOGINOK:" + name)
        return nullptr;
    if (!arena.isNull() && !client->exchange("GO:" + arena).value(0).startsWith("INARENA:"))
        return nullptr;
    return client;
}
