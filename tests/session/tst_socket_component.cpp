#include "session/socket_component.h"
#include "support/loopback_server.h"

#include <QCoreApplication>
#include <QNetworkInterface>
#include <QProcess>
#include <QtTest>

#include <QSocketNotifier>

#include <cstring>
#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Records the socket's notifications in order, reading the data as it arrives.
struct Recorder
{
    explicit Recorder(SocketComponent& socket)
    {
        QObject::connect(&socket, &SocketComponent::connected, [this] { events << "connected"; });
        QObject::connect(&socket, &SocketComponent::dataArrived, [this, &socket](int count) {
            QVERIFY(count > 0 && count <= SocketComponent::kMaxNotificationBytes);
            sizes << count;
            data += socket.read(count);
            events << "data";
        });
        QObject::connect(&socket, &SocketComponent::errorOccurred,
                         [this](int code, const QString& description) {
                             events << "error";
                             codes << code;
                             descriptions << description;
                         });
        QObject::connect(&socket, &SocketComponent::closed, [this] { events << "closed"; });
    }

    QStringList events;
    QList<int> sizes;
    QList<int> codes;
    QStringList descriptions;
    QByteArray data;
};

constexpr char kNamespaceChild[] = "ORVEX_SOCKET_TEST_IN_NETNS";

void dial(SocketComponent& socket, const QString& host, qint16 port)
{
    socket.setRemoteHost(host);
    socket.setRemotePort(port);
    socket.connectToServer();
}

quint16 checksum(const unsigned char* bytes, int length)
{
    quint32 sum = 0;
    for (int i = 0; i + 1 < length; i += 2)
        sum += static_cast<quint32>(bytes[i] << 8 | bytes[i + 1]);
    if (length % 2)
        sum += static_cast<quint32>(bytes[length - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<quint16>(~sum);
}

// A test host behind a tun device, inside the private namespace, that answers every
// connection attempt with an ICMP "destination unreachable" of the given code, or
// with silence when the code is negative.
class IcmpAnsweringHost
{
public:
    explicit IcmpAnsweringHost(int icmpCode) : code_(icmpCode)
    {
        fd_ = ::open("/dev/net/tun", O_RDWR | O_NONBLOCK);
        if (fd_ < 0)
            return;
        ifreq request{};
        request.ifr_flags = IFF_TUN | IFF_NO_PI;
        std::strncpy(request.ifr_name, "orvex0", IFNAMSIZ - 1);
        if (::ioctl(fd_, TUNSETIFF, &request) != 0)
            return;
        ready_ = QProcess::execute("ip", {"addr", "add", "192.0.2.1/24", "dev", "orvex0"}) == 0 &&
                 QProcess::execute("ip", {"link", "set", "orvex0", "up"}) == 0;
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { answer(); });
    }
    ~IcmpAnsweringHost()
    {
        notifier_.reset();
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isReady() const { return ready_; }

private:
    void answer()
    {
        unsigned char in[2048];
        const auto length = ::read(fd_, in, sizeof in);
        if (code_ < 0 || length < 28 || (in[0] >> 4) != 4 || in[9] != 6) // IPv4 TCP only
            return;
        const int headerLength = (in[0] & 0x0F) * 4;
        const int quoted = headerLength + 8;
        unsigned char out[20 + 8 + 60 + 8] = {};
        const int total = 20 + 8 + quoted;
        out[0] = 0x45;
        out[2] = static_cast<unsigned char>(total >> 8);
        out[3] = static_cast<unsigned char>(total);
        out[8] = 64;
        out[9] = 1;                        // ICMP
        std::memcpy(out + 12, in + 16, 4); // from the host that was asked for
        std::memcpy(out + 16, in + 12, 4); // to the one that asked
        const quint16 ipSum = checksum(out, 20);
        out[10] = static_cast<unsigned char>(ipSum >> 8);
        out[11] = static_cast<unsigned char>(ipSum);
        out[20] = 3; // destination unreachable
        out[21] = static_cast<unsigned char>(code_);
        std::memcpy(out + 28, in, static_cast<size_t>(quoted));
        const quint16 icmpSum = checksum(out + 20, 8 + quoted);
        out[22] = static_cast<unsigned char>(icmpSum >> 8);
        out[23] = static_cast<unsigned char>(icmpSum);
        [[maybe_unused]] const auto written = ::write(fd_, out, static_cast<size_t>(total));
    }

    int code_;
    int fd_ = -1;
    bool ready_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Runs the named test function of this program again inside a private network
// namespace; false when no namespace can be made here.
bool runInPrivateNamespace(const char* testFunction, QByteArray* failure)
{
    if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
        return false;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kNamespaceChild, QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("unshare"),
                {"-n", QCoreApplication::applicationFilePath(), QString::fromLatin1(testFunction)});
    if (!child.waitForFinished(60000)) {
        *failure = "the namespaced run did not finish";
        return true;
    }
    const QByteArray output = child.readAll();
    if (output.contains("unshare failed") || output.contains("SKIP"))
        return false;
    if (child.exitCode() != 0)
        *failure = output;
    return true;
}

} // namespace

// Outside the namespace: runs the test function inside one and reports its outcome.
// Inside: falls through to the test's own body.
#define RUN_INSIDE_PRIVATE_NAMESPACE(testFunction)                                                 \
    if (!qEnvironmentVariableIsSet(kNamespaceChild)) {                                             \
        QByteArray failure;                                                                        \
        if (!runInPrivateNamespace(testFunction, &failure))                                        \
            QSKIP("a private network namespace cannot be made here");                              \
        QVERIFY2(failure.isEmpty(), failure.constData());                                          \
        return;                                                                                    \
    }

// The connection component against real sockets on 127.0.0.1.
class TestSocketComponent : public QObject
{
    Q_OBJECT

private slots:

    void connectsAndCarriesDataInOrder()
    {
        LoopbackServer server;
        SocketComponent socket;
        Recorder record(socket);
        dial(socket, QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(record.events.isEmpty()); // never from inside the call
        QTRY_COMPARE_WITH_TIMEOUT(record.events.value(0), QStringLiteral("connected"), 5000);
        QVERIFY(socket.isConnected());
        QVERIFY(server.waitForClient());

        server.send("first ");
        QTRY_COMPARE(record.data, QByteArray("first "));
        server.send("second ");
        server.send("third\n");
        QTRY_COMPARE(record.data, QByteArray("first second third\n"));

        socket.write("hello\n");
        QVERIFY(server.waitForText("hello\n"));
    }

    // A flood arrives in bounded notifications, with the event loop running between them.
    void floodComesInBoundedNotifications()
    {
        LoopbackServer server;
        SocketComponent socket;
        Recorder record(socket);
        int timerTicksBetween = 0;
        int notificationsSeenByTimer = 0;
        QObject::connect(&socket, &SocketComponent::dataArrived, [&] {
            const int seen = record.sizes.size();
            QTimer::singleShot(0, [&, seen] {
                ++timerTicksBetween;
                notificationsSeenByTimer = seen;
            });
        });
        dial(socket, QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(server.waitForClient());
        QByteArray flood;
        for (int i = 0; i < 300 * 1024; ++i)
            flood.append(static_cast<char>('a' + i % 26));
        server.send(flood);
        QTRY_COMPARE_WITH_TIMEOUT(record.data.size(), flood.size(), 10000);
        QCOMPARE(record.data, flood);
        QVERIFY(record.sizes.size() >= flood.size() / SocketComponent::kMaxNotificationBytes);
        QVERIFY(timerTicksBetween >= record.sizes.size() - 1);
        QVERIFY(notificationsSeenByTimer > 0);
    }

    void refusedPortGivesItsCodeAndNoClose()
    {
        SocketComponent socket;
        Recorder record(socket);
        dial(socket, QStringLiteral("127.0.0.1"), closedLoopbackPort());
        QTRY_COMPARE(record.events, QStringList{"error"});
        QVERIFY2(record.codes.value(0) == SocketComponent::kConnectionRefused,
                 qPrintable(record.descriptions.value(0)));
        QVERIFY(!socket.isConnecting());
        QTest::qWait(100);
        QCOMPARE(record.events, QStringList{"error"});

        // The same component can try again after a failure.
        LoopbackServer server;
        socket.setRemotePort(server.port());
        socket.connectToServer();
        QTRY_COMPARE(record.events, (QStringList{"error", "connected"}));
    }

    void unknownHostNamesTheHost()
    {
        SocketComponent socket;
        Recorder record(socket);
        dial(socket, QStringLiteral("no-such-zone.invalid"), 7706);
        QTRY_COMPARE_WITH_TIMEOUT(record.events, QStringList{"error"}, 10000);
        QVERIFY(record.codes.value(0) != SocketComponent::kConnectionRefused);
        QVERIFY2(record.descriptions.value(0).contains(QStringLiteral("no-such-zone.invalid")),
                 qPrintable(record.descriptions.value(0)));
    }

    void portOutsideTheUsableRangeIsAnError()
    {
        SocketComponent socket;
        Recorder record(socket);
        dial(socket, QStringLiteral("127.0.0.1"), -5);
        QTRY_COMPARE(record.events, QStringList{"error"});
        QVERIFY(record.descriptions.value(0).contains(QStringLiteral("-5")));
    }

    // When the server closes, the data it sent first still arrives, then one closed.
    void peerCloseGivesDataThenExactlyOneClosed()
    {
        LoopbackServer server;
        SocketComponent socket;
        Recorder record(socket);
        dial(socket, QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(server.waitForClient());
        QTRY_COMPARE(record.events, QStringList{"connected"});
        server.send("last words\n");
        server.closeClient();
        QTRY_COMPARE(record.events.value(record.events.size() - 1), QStringLiteral("closed"));
        QCOMPARE(record.data, QByteArray("last words\n"));
        QTest::qWait(100);
        QCOMPARE(record.events.count(QStringLiteral("closed")), 1);
        QCOMPARE(record.events.count(QStringLiteral("error")), 0);
    }

    void ownDisconnectClosesQuietly()
    {
        LoopbackServer server;
        SocketComponent socket;
        Recorder record(socket);
        dial(socket, QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(server.waitForClient());
        QTRY_COMPARE(record.events, QStringList{"connected"});
        socket.disconnectFromServer();
        QVERIFY(!socket.isConnected());
        QTRY_VERIFY(server.client()->state() != QAbstractSocket::ConnectedState);
        QTest::qWait(100);
        QCOMPARE(record.events, QStringList{"connected"});
        socket.write("ignored\n"); // no connection: nothing happens
    }

    // Host unreachable and host down need a network that answers so; a private network
    // namespace gives one without touching any real network. Each test re-runs itself
    // inside one.
    void unreachableHostGivesItsCode()
    {
        RUN_INSIDE_PRIVATE_NAMESPACE("unreachableHostGivesItsCode");
        QCOMPARE(QProcess::execute("ip", {"link", "set", "lo", "up"}), 0);
        QCOMPARE(QProcess::execute(
                     "ip", {"route", "add", "unreachable", "127.77.0.0/16", "table", "local"}),
                 0);
        SocketComponent socket;
        Recorder record(socket);
        dial(socket, QStringLiteral("127.77.1.1"), 7706);
        QTRY_COMPARE(record.events, QStringList{"error"});
        QCOMPARE(record.codes.value(0), SocketComponent::kHostUnreachable);
    }

    // A link-local address names the interface it lies on, by name or by number.
    void linkLocalAddressWithInterface()
    {
        RUN_INSIDE_PRIVATE_NAMESPACE("linkLocalAddressWithInterface");
        QCOMPARE(QProcess::execute("ip", {"link", "set", "lo", "up"}), 0);
        QCOMPARE(QProcess::execute("ip", {"-6", "addr", "add", "fe80::1/64", "dev", "lo", "nodad"}),
                 0);
        // On a busy machine the address's route can come a moment after the address.
        QTRY_COMPARE_WITH_TIMEOUT(
            QProcess::execute("ip", {"-6", "route", "get", "fe80::1", "oif", "lo"}), 0, 5000);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress(QStringLiteral("fe80::1%lo")), 7706));
        const QString byNumber =
            QStringLiteral("fe80::1%%1").arg(QNetworkInterface::interfaceIndexFromName("lo"));
        const struct
        {
            QString host;
            bool connects;
        } cases[] = {{QStringLiteral("fe80::1%lo"), true},
                     {byNumber, true},
                     {QStringLiteral("fe80::1%nosuch0"), false}};
        for (const auto& c : cases) {
            SocketComponent socket;
            Recorder record(socket);
            dial(socket, c.host, 7706);
            QTRY_COMPARE_WITH_TIMEOUT(record.events.size(), 1, 5000);
            const QString outcome = record.events.value(0) + u' ' + record.descriptions.value(0);
            if (c.connects) {
                QVERIFY2(record.events == QStringList{"connected"}, qPrintable(c.host + outcome));
                QTRY_VERIFY(server.hasPendingConnections());
                delete server.nextPendingConnection();
            } else {
                QVERIFY2(record.events == QStringList{"error"}, qPrintable(c.host + outcome));
                QVERIFY2(record.descriptions.value(0).contains(c.host), qPrintable(outcome));
            }
        }
    }

    void hostDownAndUnreachableAnswersGiveTheirCodes_data()
    {
        QTest::addColumn<int>("icmpCode");
        QTest::addColumn<int>("expected");
        QTest::newRow("host unreachable") << 1 << SocketComponent::kHostUnreachable;
        QTest::newRow("host unknown: down") << 7 << SocketComponent::kHostDown;
        QTest::newRow("no answer: timed out") << -1 << SocketComponent::kTimedOut;
    }

    void hostDownAndUnreachableAnswersGiveTheirCodes()
    {
        RUN_INSIDE_PRIVATE_NAMESPACE("hostDownAndUnreachableAnswersGiveTheirCodes");
        QFETCH(int, icmpCode);
        QFETCH(int, expected);
        QProcess::execute("ip", {"link", "set", "lo", "up"});
        IcmpAnsweringHost host(icmpCode);
        if (!host.isReady())
            QSKIP("no tun device here");
        SocketComponent socket;
        Recorder record(socket);
        socket.setConnectTimeout(500);
        dial(socket, QStringLiteral("192.0.2.2"), 7706);
        QTRY_COMPARE_WITH_TIMEOUT(record.events, QStringList{"error"}, 10000);
        QCOMPARE(record.codes.value(0), expected);
        QVERIFY(!record.descriptions.value(0).isEmpty());
        QVERIFY(!socket.isConnecting());
    }
};

QTEST_GUILESS_MAIN(TestSocketComponent)
#include "tst_socket_component.moc"
