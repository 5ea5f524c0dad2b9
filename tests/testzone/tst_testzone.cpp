#include "zone_test_support.h"

#include <QSet>
#include <QTimer>
#include <QtTest>

namespace {

// "PLAYER:name:ship:freq" or "ENTERING:name:ship:freq" without the keyword.
QByteArray fieldsAfterKeyword(const QByteArray& line)
{
    return line.mid(line.indexOf(':') + 1);
}

bool isValidShip(const QByteArray& playerLine)
{
    bool ok = false;
    const int ship = playerLine.split(':').value(2).toInt(&ok);
    return ok && ship >= 0 && ship <= 8;
}

// The text of a message line after its named fields, or nothing when the fields
// are not in place: PUB, FREQ and PRIV name a sender, CHAT a channel and then a
// text that begins with "sender> ", SQUAD a squad and a sender. ARENA and SYSOP
// hold text only. Every sender must be one of the given ones.
QByteArray messageText(const QList<QByteArray>& fields, const QSet<QByteArray>& senders)
{
    const QByteArray kind = fields.value(1);
    if (kind == "ARENA" || kind == "SYSOP")
        return fields.mid(2).join(':');
    if (kind == "PUB" || kind == "FREQ" || kind == "PRIV")
        return senders.contains(fields.value(2)) ? fields.mid(3).join(':') : QByteArray();
    if (kind == "SQUAD" && !fields.value(2).isEmpty() && senders.contains(fields.value(3)))
        return fields.mid(4).join(':');
    if (kind == "CHAT" && !fields.value(2).isEmpty()) {
        const QByteArray text = fields.mid(3).join(':');
        for (const QByteArray& sender : senders) {
            if (text.startsWith(sender + "> "))
                return text.mid(sender.size() + 2);
        }
    }
    return QByteArray();
}

} // namespace

class TestZone : public QObject
{
    Q_OBJECT

private slots:
    void readyLineAndBadOptions();
    void acceptsLogin();
    void refusesLogin_data();
    void refusesLogin();
    void entersArenasWithPlayerLists();
    void routesChat();
    void changesFreq();
    void dropsOverlongLines();
    void endsLinesWithCrLfWhenAsked();
    void dropsIdleClients();
    void dropsClientsThatStopReading();
    void servesManyClients();
    void botsProduceEveryKindOfLine();
    void botsUseEveryShip();
};

void TestZone::readyLineAndBadOptions()
{
    ZoneProcess zone;
    QVERIFY(zone.start());
    QVERIFY(ZoneClient(zone.port()).isConnected());
    // A free port the client can name: its port is a signed 16-bit number.
    QVERIFY(zone.port() > 0 && zone.port() <= 32767);

    for (const QStringList& options :
         {QStringList{"--port", "70000"}, QStringList{"--listen", "not-an-address"},
          QStringList{"--bots", "-1"}, QStringList{"--idle-timeout", "soon"},
          QStringList{"--line-end", "cr"}, QStringList{"--echo", "yes"},
          QStringList{"--frobnicate", "1"}}) {
        QProcess bad;
        bad.start(QStringLiteral(TESTZONE_PATH), options);
        QVERIFY(bad.waitForFinished(5000));
        QCOMPARE(bad.exitStatus(), QProcess::NormalExit);
        QCOMPARE(bad.exitCode(), 2);
        QVERIFY2(bad.readAllStandardOutput().isEmpty(), qPrintable(options.join(' ')));
    }

    // SIGTERM ends it.
    zone.process().terminate();
    QVERIFY(zone.process().waitForFinished(5000));
}

void TestZone::acceptsLogin()
{
    ZoneProcess zone;
    QVERIFY(zone.start());

    // Anything before the login is ignored, and a CR before the LF is not part
    // of the line.
    auto client = std::make_unique<ZoneClient>(zone.port());
    client->send("GO:elim");
    client->send("SEND:PUB:too early");
    client->sendRaw("LOGIN:1:Bob Smith\r\n"); // no password field: the name ends the line
    QCOMPARE(client->nextLine(), QByteArray("LOGINOK:Bob Smith"));
    // A second login on the same connection, keep-alives and unknown lines
    // change nothing and get no answer.
    QCOMPARE(client->exchange("LOGIN:1:Other:pw"), QList<QByteArray>());
    QCOMPARE(client->exchange("NOOP"), QList<QByteArray>());
    QCOMPARE(client->exchange("WHATEVER:1:2"), QList<QByteArray>());
    QVERIFY(client->isConnected());

    // The refused duplicate does not disturb the holder of the name, and the
    // ignored second login did not take "Other".
    ZoneClient duplicate(zone.port());
    duplicate.send("LOGIN:1:Bob Smith:pw");
    QVERIFY(duplicate.nextLine().startsWith("LOGINBAD:"));
    QCOMPARE(client->exchange("NOOP"), QList<QByteArray>());
    QVERIFY(loggedInClient(zone.port(), "Other"));

    // Once its holder has gone, the name may be used again.
    const auto watcher = loggedInClient(zone.port(), "watcher", "0");
    QVERIFY(watcher);
    QVERIFY(client->exchange("GO:0").value(0).startsWith("INARENA:"));
    QVERIFY(watcher->nextLine().startsWith("ENTERING:Bob Smith:"));
    client.reset();
    QCOMPARE(watcher->nextLine(), QByteArray("LEAVING:Bob Smith"));
    QVERIFY(loggedInClient(zone.port(), "Bob Smith"));
}

void TestZone::refusesLogin_data()
{
    QTest::addColumn<QByteArray>("login");
    QTest::newRow("empty name") << QByteArray("LOGIN:1::pw");
    QTest::newRow("no name at all") << QByteArray("LOGIN:1");
    QTest::newRow("other version") << QByteArray("LOGIN:2:carol:pw");
    QTest::newRow("version with a blank") << QByteArray("LOGIN: 1:carol:pw");
    QTest::newRow("name in use") << QByteArray("LOGIN:1:bob:other");
}

void TestZone::refusesLogin()
{
    QFETCH(QByteArray, login);
    ZoneProcess zone;
    QVERIFY(zone.start());
    const auto bob = loggedInClient(zone.port(), "bob", "");
    QVERIFY(bob);

    ZoneClient client(zone.port());
    client.send(login);
    const QByteArray answer = client.nextLine();
    QVERIFY2(answer.startsWith("LOGINBAD:"), answer.constData());
    // The client shows only the first field after the keyword: the reason must
    // be there, whole.
    const QList<QByteArray> fields = answer.split(':');
    QCOMPARE(fields.size(), 2);
    QVERIFY(!fields[1].isEmpty());
    QVERIFY(client.waitClosed());

    // The refused client never appeared in the zone.
    QCOMPARE(bob->drain(), QList<QByteArray>());
    QVERIFY(bob->isConnected());
}

void TestZone::entersArenasWithPlayerLists()
{
    ZoneProcess zone;
    QVERIFY(zone.start());
    const auto ann = loggedInClient(zone.port(), "ann");
    auto ben = loggedInClient(zone.port(), "ben");
    QVERIFY(ann && ben);

    // An empty arena name is the default public arena "0".
    const QList<QByteArray> annEnters = ann->exchange("GO:");
    QCOMPARE(annEnters.size(), 2);
    QCOMPARE(annEnters[0], QByteArray("INARENA:0:0"));
    QVERIFY(annEnters[1].startsWith("PLAYER:ann:"));
    QVERIFY(isValidShip(annEnters[1]));

    const QList<QByteArray> benEnters = ben->exchange("GO:0");
    QCOMPARE(benEnters.size(), 3);
    QCOMPARE(benEnters[0], QByteArray("INARENA:0:0"));
    QCOMPARE(benEnters[1], annEnters[1]);
    QVERIFY(benEnters[2].startsWith("PLAYER:ben:"));
    QVERIFY(isValidShip(benEnters[2]));
    QCOMPARE(ann->nextLine(), "ENTERING:" + fieldsAfterKeyword(benEnters[2]));

    // Moving on: the arena left hears of it, the new one lists only its players.
    QCOMPARE(ben->exchange("GO:elim"), (QList<QByteArray>{"INARENA:elim:0", benEnters[2]}));
    QCOMPARE(ann->nextLine(), QByteArray("LEAVING:ben"));

    // Entering the same arena again is a leave and an entry for the others.
    const auto cat = loggedInClient(zone.port(), "cat", "elim");
    QVERIFY(cat);
    QVERIFY(ben->nextLine().startsWith("ENTERING:cat:"));
    const QList<QByteArray> catAgain = cat->exchange("GO:elim");
    QCOMPARE(catAgain.size(), 3);
    QCOMPARE(ben->nextLine(), QByteArray("LEAVING:cat"));
    QVERIFY(ben->nextLine().startsWith("ENTERING:cat:"));

    // A closed connection leaves its arena; other arenas do not hear of it.
    ben.reset();
    QCOMPARE(cat->nextLine(), QByteArray("LEAVING:ben"));
    QCOMPARE(ann->drain(), QList<QByteArray>());
}

void TestZone::routesChat()
{
    ZoneProcess zone;
    QVERIFY(zone.start());
    const auto ann = loggedInClient(zone.port(), "ann", "0");
    const auto ben = loggedInClient(zone.port(), "ben", "0");
    const auto cat = loggedInClient(zone.port(), "cat", "elim");
    const auto dan = loggedInClient(zone.port(), "dan"); // in no arena
    QVERIFY(ann && ben && cat && dan);
    QVERIFY(ann->lineStartingWith("ENTERING:ben:").startsWith("ENTERING:"));

    // Public: to everyone in the arena only, the sender too, colons and all.
    QCOMPARE(ann->exchange("SEND:PUB:hi: there"), QList<QByteArray>{"MSG:PUB:ann:hi: there"});
    QCOMPARE(ben->nextLine(), QByteArray("MSG:PUB:ann:hi: there"));
    QCOMPARE(cat->drain(), QList<QByteArray>());
    QCOMPARE(dan->drain(), QList<QByteArray>());
    QCOMPARE(ann->exchange("SEND:PUB:"), QList<QByteArray>{"MSG:PUB:ann:"});
    QCOMPARE(ben->nextLine(), QByteArray("MSG:PUB:ann:"));

    // Private: to one player anywhere in the zone, not back to the sender.
    QCOMPARE(ann->exchange("SEND:PRIV:cat:psst: a secret"), QList<QByteArray>());
    QCOMPARE(cat->nextLine(), QByteArray("MSG:PRIV:ann:psst: a secret"));
    QCOMPARE(dan->exchange("SEND:PRIV:ben:from nowhere"), QList<QByteArray>());
    QCOMPARE(ben->nextLine(), QByteArray("MSG:PRIV:dan:from nowhere"));
    QCOMPARE(ann->drain(), QList<QByteArray>());
    // Names match exactly.
    QCOMPARE(ann->exchange("SEND:PRIV:Cat:hello"),
             QList<QByteArray>{"MSG:ARENA:No such player: Cat"});
    QCOMPARE(ann->exchange("SEND:PRIV: cat:hello"),
             QList<QByteArray>{"MSG:ARENA:No such player:  cat"});
    QCOMPARE(cat->drain(), QList<QByteArray>());

    // Freq: to those in the same arena on the same freq, the sender too.
    QCOMPARE(ann->exchange("SEND:FREQ:team talk"), QList<QByteArray>{"MSG:FREQ:ann:team talk"});
    QCOMPARE(ben->nextLine(), QByteArray("MSG:FREQ:ann:team talk"));
    QCOMPARE(cat->drain(), QList<QByteArray>());

    // Without an arena there is no one to hear public or freq chat.
    const QList<QByteArray> lonely = dan->exchange("SEND:PUB:hello?");
    QCOMPARE(lonely.size(), 1);
    QVERIFY(lonely[0].startsWith("MSG:ARENA:"));
    QCOMPARE(ann->drain(), QList<QByteArray>());

    // Keywords are case-sensitive.
    QCOMPARE(ann->exchange("send:pub:quiet"), QList<QByteArray>());
    QCOMPARE(ben->drain(), QList<QByteArray>());
}

void TestZone::changesFreq()
{
    // Without the echo, as on zones that send nobody their own messages.
    ZoneProcess zone;
    QVERIFY(zone.start({"--echo", "off"}));
    const auto ann = loggedInClient(zone.port(), "ann", "0");
    const auto ben = loggedInClient(zone.port(), "ben", "0");
    const auto cyd = loggedInClient(zone.port(), "cyd", "0");
    QVERIFY(ann && ben && cyd);
    ann->drain();
    ben->drain();

    QCOMPARE(ben->exchange("CHANGEFREQ:1"), QList<QByteArray>{"MSG:ARENA:You are now on freq 1"});
    QCOMPARE(ann->exchange("SEND:FREQ:zero team"), QList<QByteArray>());
    QCOMPARE(cyd->nextLine(), QByteArray("MSG:FREQ:ann:zero team"));
    QCOMPARE(ben->drain(), QList<QByteArray>());

    QCOMPARE(cyd->exchange("CHANGEFREQ: 1"), QList<QByteArray>{"MSG:ARENA:You are now on freq 1"});
    QCOMPARE(ben->exchange("SEND:FREQ:one team"), QList<QByteArray>());
    QCOMPARE(cyd->nextLine(), QByteArray("MSG:FREQ:ben:one team"));
    QCOMPARE(ann->drain(), QList<QByteArray>());
    // Public chat still reaches every freq.
    QCOMPARE(ben->exchange("SEND:PUB:all"), QList<QByteArray>());
    QCOMPARE(ann->nextLine(), QByteArray("MSG:PUB:ben:all"));
    QCOMPARE(cyd->nextLine(), QByteArray("MSG:PUB:ben:all"));

    // A freq that is not a number is refused and changes nothing.
    for (const QByteArray& bad : {QByteArray("abc"), QByteArray(""), QByteArray("-1"),
                                  QByteArray("1.5"), QByteArray("12345")}) {
        const QList<QByteArray> answer = ben->exchange("CHANGEFREQ:" + bad);
        QCOMPARE(answer.size(), 1);
        QVERIFY(answer[0].startsWith("MSG:ARENA:"));
        QVERIFY2(!answer[0].contains("now on freq"), answer[0].constData());
    }
    QCOMPARE(ben->exchange("SEND:FREQ:still one"), QList<QByteArray>());
    QCOMPARE(cyd->nextLine(), QByteArray("MSG:FREQ:ben:still one"));

    // The freq shows in the player lines of later arrivals, and an arena
    // change starts again on the assigned freq.
    const auto dee = std::make_unique<ZoneClient>(zone.port());
    dee->send("LOGIN:1:dee:pw");
    QCOMPARE(dee->nextLine(), QByteArray("LOGINOK:dee"));
    const QList<QByteArray> list = dee->exchange("GO:0");
    QCOMPARE(list.size(), 5);
    QVERIFY(list[1].startsWith("PLAYER:ann:") && list[1].endsWith(":0"));
    QVERIFY(list[2].startsWith("PLAYER:ben:") && list[2].endsWith(":1"));
    QVERIFY(ben->nextLine().startsWith("ENTERING:dee:"));
    const QList<QByteArray> again = ben->exchange("GO:0");
    QCOMPARE(again.value(0), QByteArray("INARENA:0:0"));
    QVERIFY(again.last().startsWith("PLAYER:ben:") && again.last().endsWith(":0"));
}

void TestZone::dropsOverlongLines()
{
    ZoneProcess zone;
    QVERIFY(zone.start({"--echo", "off"}));
    const auto ann = loggedInClient(zone.port(), "ann", "0");
    const auto ben = loggedInClient(zone.port(), "ben", "0");
    QVERIFY(ann && ben);
    ann->drain();

    // 1,024 bytes are allowed, with or without a CR before the LF.
    const QByteArray longest = "SEND:PUB:" + QByteArray(1024 - 9, 'x');
    QCOMPARE(ben->exchange(longest), QList<QByteArray>());
    QCOMPARE(ann->nextLine(), "MSG:PUB:ben:" + longest.mid(9));
    ben->sendRaw(longest + "\r\n");
    QCOMPARE(ann->nextLine(), "MSG:PUB:ben:" + longest.mid(9));

    // One more byte ends the connection, and the arena hears that ben left.
    ben->send(longest + 'x');
    QVERIFY(ben->waitClosed());
    QCOMPARE(ann->nextLine(), QByteArray("LEAVING:ben"));

    // So does an unterminated line that grows past the limit.
    ZoneClient flood(zone.port());
    flood.sendRaw(QByteArray(4000, 'y'));
    QVERIFY(flood.waitClosed());
    QVERIFY(ann->isConnected());
}

// Every line the zone sends ends with CR LF; what it receives may end either way.
void TestZone::endsLinesWithCrLfWhenAsked()
{
    ZoneProcess zone;
    QVERIFY(zone.start({"--line-end", "crlf"}));
    const auto ann = loggedInClient(zone.port(), "ann", "0");
    QVERIFY(ann);
    QTcpSocket ben;
    ben.connectToHost(QHostAddress::LocalHost, zone.port());
    QVERIFY(ben.waitForConnected(ZoneClient::kWaitMs));
    ben.write("LOGIN:1:ben:pw\r\nGO:0\nSEND:PUB:hi\r\n");

    QByteArray received;
    QVERIFY(QTest::qWaitFor(
        [&] {
            received += ben.readAll();
            return received.count('\n') == 5;
        },
        ZoneClient::kWaitMs));
    QCOMPARE(received.count("\r\n"), 5);
    const QList<QByteArray> lines = received.split('\n');
    QCOMPARE(lines.value(0), QByteArray("LOGINOK:ben\r"));
    QCOMPARE(lines.value(1), QByteArray("INARENA:0:0\r"));
    QVERIFY(lines.value(2).startsWith("PLAYER:ann:"));
    QVERIFY(lines.value(3).startsWith("PLAYER:ben:"));
    QCOMPARE(ann->nextLine(), "ENTERING:" + lines.value(3).mid(7).chopped(1));
    QCOMPARE(ann->nextLine(), QByteArray("MSG:PUB:ben:hi"));
    QCOMPARE(lines.value(4), QByteArray("MSG:PUB:ben:hi\r"));
}

void TestZone::dropsIdleClients()
{
    ZoneProcess zone;
    QVERIFY(zone.start({"--idle-timeout", "1"}));
    const auto busy = loggedInClient(zone.port(), "busy", "0");
    const auto idle = loggedInClient(zone.port(), "idle", "0");
    QVERIFY(busy && idle);
    busy->drain();

    // The busy client keeps itself alive with keep-alive lines only.
    QTimer keepAlive;
    QObject::connect(&keepAlive, &QTimer::timeout, [&] { busy->send("NOOP"); });
    keepAlive.start(200);

    QVERIFY(idle->waitClosed(10000));
    QCOMPARE(busy->nextLine(), QByteArray("LEAVING:idle"));
    QVERIFY(busy->isConnected());

    // A connection that never logs in is dropped as well.
    ZoneClient silent(zone.port());
    QVERIFY(silent.waitClosed(10000));
    QVERIFY(busy->isConnected());
}

void TestZone::dropsClientsThatStopReading()
{
    // The talker, who does read, hears no echo of its own flood.
    ZoneProcess zone;
    QVERIFY(zone.start({"--echo", "off"}));
    const auto talker = loggedInClient(zone.port(), "talker", "0");
    QVERIFY(talker);

    // A raw socket that logs in and then reads no more than one byte at a time
    // into a buffer nobody empties: the chat for it piles up at the zone.
    QTcpSocket sink;
    sink.setReadBufferSize(1);
    sink.connectToHost(QHostAddress::LocalHost, zone.port());
    QVERIFY(sink.waitForConnected(5000));
    sink.write("LOGIN:1:sink:pw\nGO:0\n");
    QVERIFY(talker->nextLine().startsWith("ENTERING:sink:"));

    const QByteArray chatter = "SEND:PUB:" + QByteArray(1000, 'z');
    QByteArray leaving;
    for (int round = 0; round < 500 && leaving.isEmpty(); ++round) {
        for (int i = 0; i < 100; ++i)
            talker->send(chatter);
        leaving = talker->nextLine(50);
        if (leaving == "<nothing>")
            leaving.clear();
    }
    QCOMPARE(leaving, QByteArray("LEAVING:sink"));
    QVERIFY(talker->isConnected());
}

void TestZone::servesManyClients()
{
    ZoneProcess zone;
    QVERIFY(zone.start());
    constexpr int kClients = 40;
    std::vector<std::unique_ptr<ZoneClient>> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(loggedInClient(zone.port(), "p" + QByteArray::number(i), "crowd"));
        QVERIFY(clients.back());
    }
    const QList<QByteArray> first = clients.front()->drain();
    QCOMPARE(first.size(), kClients - 1);
    for (const QByteArray& line : first)
        QVERIFY(line.startsWith("ENTERING:p"));

    const auto late = loggedInClient(zone.port(), "late");
    QVERIFY(late);
    QCOMPARE(late->exchange("GO:crowd").size(), 1 + kClients + 1);

    clients.back()->send("SEND:PUB:hello crowd");
    for (int i = 0; i + 1 < kClients; ++i)
        QCOMPARE(clients[i]->lineStartingWith("MSG:PUB:"), QByteArray("MSG:PUB:p39:hello crowd"));
}

void TestZone::botsProduceEveryKindOfLine()
{
    ZoneProcess zone;
    QVERIFY(zone.start({"--bots", "2", "--bot-interval", "30", "--seed", "7"}));
    const auto ann = loggedInClient(zone.port(), "ann");
    const auto loner = loggedInClient(zone.port(), "loner"); // in no arena
    QVERIFY(ann && loner);
    ann->send("GO:");
    QCOMPARE(ann->nextLine(), QByteArray("INARENA:0:0"));
    // The permanent robots entered first; a visitor may have come in after them.
    QSet<QByteArray> bots;
    for (int i = 0; i < 2; ++i) {
        const QByteArray player = ann->nextLine();
        QVERIFY2(player.startsWith("PLAYER:") && isValidShip(player), player.constData());
        bots.insert(player.split(':')[1]);
    }
    QByteArray own = ann->nextLine();
    if (own.startsWith("PLAYER:") && !own.startsWith("PLAYER:ann:"))
        own = ann->nextLine();
    QVERIFY2(own.startsWith("PLAYER:ann:"), own.constData());

    // Every kind of line turns up, each with its fields in place and a text;
    // chatter from bots in "elim" does not. A visitor enters and leaves, and the
    // permanent robots stay. Each kind of robot text holds a colon now and
    // then, kept whole.
    const QSet<QByteArray> robotKinds = {"PUB", "FREQ", "PRIV", "CHAT", "SQUAD"};
    const QSet<QByteArray> everyKind = robotKinds + QSet<QByteArray>{"ARENA", "SYSOP"};
    QSet<QByteArray> kinds;
    QSet<QByteArray> entered;
    QByteArray leaving;
    QByteArray departed;
    QSet<QByteArray> kindsWithColon;
    QDeadlineTimer deadline(20000);
    const auto allSeen = [&] {
        return kinds.contains(everyKind) && !departed.isEmpty() &&
               kindsWithColon.contains(robotKinds);
    };
    while (!allSeen() && !deadline.hasExpired()) {
        const QByteArray line = ann->nextLine(static_cast<int>(deadline.remainingTime()));
        const QList<QByteArray> fields = line.split(':');
        if (line.startsWith("ENTERING:")) {
            QVERIFY2(isValidShip(line) && !bots.contains(fields.value(1)), line.constData());
            entered.insert(fields.value(1));
            if (fields[1] == leaving)
                leaving.clear(); // only moved within the arena
        } else if (line.startsWith("LEAVING:")) {
            QVERIFY2(fields.size() == 2 && !bots.contains(fields[1]), line.constData());
            if (entered.contains(fields[1]))
                leaving = fields[1];
        } else if (line.startsWith("MSG:")) {
            // A visitor that left stays away while the others talk.
            if (!leaving.isEmpty())
                departed = leaving;
            kinds.insert(fields.value(1));
            const QByteArray text = messageText(fields, bots);
            QVERIFY2(!text.isEmpty(), line.constData());
            if (text.contains(':'))
                kindsWithColon.insert(fields[1]);
        } else if (line == "<nothing>") {
            break; // the checks below tell what is missing
        } else {
            QFAIL(line.constData());
        }
    }
    QCOMPARE(kinds, everyKind);
    QVERIFY2(
        !departed.isEmpty(),
        ("entered: " + QList<QByteArray>(entered.begin(), entered.end()).join(' ')).constData());
    QCOMPARE(kindsWithColon & robotKinds, robotKinds);

    // Sysop warnings reach the whole zone, even a player in no arena, who
    // hears nothing else.
    const QByteArray warning = loner->nextLine(20000);
    QVERIFY2(warning.startsWith("MSG:SYSOP:") && warning.size() > 10, warning.constData());

    // A bot answers a private message, in private.
    const QByteArray bot = *bots.begin();
    ann->send("SEND:PRIV:" + bot + ":hello robot");
    const QByteArray reply = ann->lineStartingWith("MSG:PRIV:" + bot + ":", 20000);
    QVERIFY2(reply.contains("robot"), reply.constData());
}

void TestZone::botsUseEveryShip()
{
    ZoneProcess zone;
    QVERIFY(zone.start({"--bots", "5", "--bot-interval", "100000"}));
    const auto ann = loggedInClient(zone.port(), "ann");
    QVERIFY(ann);
    QSet<QByteArray> names;
    QSet<int> ships;
    for (const QByteArray& arena : {QByteArray("0"), QByteArray("elim")}) {
        const QList<QByteArray> lines = ann->exchange("GO:" + arena);
        QCOMPARE(lines.size(), 1 + 5 + 1);
        QCOMPARE(lines[0], "INARENA:" + arena + ":0");
        for (const QByteArray& line : lines.mid(1, 5)) {
            QVERIFY(isValidShip(line));
            names.insert(line.split(':')[1]);
            ships.insert(line.split(':')[2].toInt());
        }
    }
    QCOMPARE(names.size(), 10);
    QCOMPARE(ships.size(), 9);
}

QTEST_GUILESS_MAIN(TestZone)
#include "tst_testzone.moc"
