#include "session/socket_component.h"
#include "shell/application_setup.h"
#include "support/loopback_server.h"

#include <QApplication>
#include <QProcess>
#include <QtTest>

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

} // namespace

// The connection component against real sockets on 127.0.0.1.
class TestSocketComponent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*qApp); }

    void connectsAndCarriesDataInOrder()
    {
        LoopbackServer server;
        SocketComponent socket;
        Recorder record(socket);
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(server.port());
        socket.connectToServer();
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
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(server.port());
        socket.connectToServer();
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
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(closedLoopbackPort());
        socket.connectToServer();
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
        socket.setRemoteHost(QStringLiteral("no-such-zone.invalid"));
        socket.setRemotePort(7706);
        socket.connectToServer();
        QTRY_COMPARE_WITH_TIMEOUT(record.events, QStringList{"error"}, 10000);
        QVERIFY(record.codes.value(0) != SocketComponent::kConnectionRefused);
        QVERIFY2(record.descriptions.value(0).contains(QStringLiteral("no-such-zone.invalid")),
                 qPrintable(record.descriptions.value(0)));
    }

    void portOutsideTheUsableRangeIsAnError()
    {
        SocketComponent socket;
        Recorder record(socket);
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(-5);
        socket.connectToServer();
        QTRY_COMPARE(record.events, QStringList{"error"});
        QVERIFY(record.descriptions.value(0).contains(QStringLiteral("-5")));
    }

    // When the server closes, the data it sent first still arrives, then one closed.
    void peerCloseGivesDataThenExactlyOneClosed()
    {
        LoopbackServer server;
        SocketComponent socket;
        Recorder record(socket);
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(server.port());
        socket.connectToServer();
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
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(server.port());
        socket.connectToServer();
        QVERIFY(server.waitForClient());
        QTRY_COMPARE(record.events, QStringList{"connected"});
        socket.disconnectFromServer();
        QVERIFY(!socket.isConnected());
        QTRY_VERIFY(server.client()->state() != QAbstractSocket::ConnectedState);
        QTest::qWait(100);
        QCOMPARE(record.events, QStringList{"connected"});
        socket.write("ignored\n"); // no connection: nothing happens
    }

    // Host unreachable needs a route of that kind; a private network namespace gives
    // one without touching any real network. The test re-runs itself inside one.
    void unreachableHostGivesItsCode()
    {
        if (qEnvironmentVariableIsSet(kNamespaceChild)) {
            QCOMPARE(QProcess::execute(QStringLiteral("ip"), {"link", "set", "lo", "up"}), 0);
            QCOMPARE(QProcess::execute(QStringLiteral("ip"), {"route", "add", "unreachable",
                                                              "127.77.0.0/16", "table", "local"}),
                     0);
            SocketComponent socket;
            Recorder record(socket);
            socket.setRemoteHost(QStringLiteral("127.77.1.1"));
            socket.setRemotePort(7706);
            socket.connectToServer();
            QTRY_COMPARE(record.events, QStringList{"error"});
            QCOMPARE(record.codes.value(0), SocketComponent::kHostUnreachable);
            return;
        }
        if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
            QSKIP("a private network namespace cannot be made here");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kNamespaceChild, QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QStringLiteral("unshare"),
                    {"-n", QCoreApplication::applicationFilePath(), "unreachableHostGivesItsCode"});
        QVERIFY(child.waitForFinished(30000));
        const QByteArray output = child.readAll();
        if (output.contains("unshare failed"))
            QSKIP("a private network namespace cannot be made here");
        QVERIFY2(child.exitCode() == 0, output.constData());
    }
};

QTEST_MAIN(TestSocketComponent)
#include "tst_socket_component.moc"
