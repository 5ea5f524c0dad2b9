// Server lines through DispatchLine: what the chat window is asked to show, the user
// list, the session state, and the reply or disconnect a real server sees.
#include "session/chat_view.h"
#include "session/dispatch_line.h"
#include "session/receive_step.h"
#include "session/send_line.h"
#include "session/socket_component.h"
#include "shell/base/session_state.h"
#include "support/connect_socket.h"
#include "support/loopback_server.h"
#include "support/recording_view.h"

#include <QtTest>

namespace {

// Each kind's colour as red~green~blue.
const QString kGreen = QStringLiteral("107~222~90");
const QString kLilac = QStringLiteral("181~181~255");
const QString kRed = QStringLiteral("222~49~8");
const QString kAmber = QStringLiteral("255~189~41");
const QString kGrey = QStringLiteral("189~181~181");
const QString kViolet = QStringLiteral("181~132~239");
const QString kPink = QStringLiteral("255~140~156");

// What the window is asked to show for text in a colour, neither bold nor italic.
QString shown(const QString& text, const QString& colour)
{
    return QStringLiteral("show %1 %2~0~0").arg(text, colour);
}

} // namespace

class DispatchLineTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Declares::reset(); }

    void shownLines_data();
    void shownLines();
    void literalTextAndTrailingCr();
    void inArenaSetsSessionThenEmptiesList();
    void userListLines_data();
    void userListLines();
    void linesThatLeaveNoTrace_data();
    void linesThatLeaveNoTrace();
    void crLfLinesReadAsLfLines_data();
    void crLfLinesReadAsLfLines();
    void loginOkAnswersWithGo();
    void loginOkWithoutArenaSendsNothing();
    void loginBadClosesTheConnection();
};

void DispatchLineTest::shownLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("colour");

    QTest::newRow("login ok") << "LOGINOK:bob"
                              << "Logged in: bob" << kGreen;
    QTest::newRow("login ok, no text") << "LOGINOK:"
                                       << "Logged in: " << kGreen;
    QTest::newRow("login ok, colons") << "LOGINOK:Welcome: it is 10:30"
                                      << "Logged in: Welcome: it is 10:30" << kGreen;
    QTest::newRow("login bad") << "LOGINBAD:wrong password"
                               << "Login bad: wrong password" << kRed;
    QTest::newRow("login bad, colons") << "LOGINBAD:Banned: cheating"
                                       << "Login bad: Banned: cheating" << kRed;
    QTest::newRow("in arena, no freq") << "INARENA:pub"
                                       << "You have joined arena: pub on freq: 0" << kAmber;
    QTest::newRow("in arena, freq") << "INARENA:duel:3"
                                    << "You have joined arena: duel on freq: 3" << kAmber;
    QTest::newRow("in arena, 7.5") << "INARENA:pub:7.5"
                                   << "You have joined arena: pub on freq: 8" << kAmber;
    QTest::newRow("in arena, 8.5") << "INARENA:pub:8.5"
                                   << "You have joined arena: pub on freq: 8" << kAmber;
    QTest::newRow("in arena, negative") << "INARENA:pub:-12"
                                        << "You have joined arena: pub on freq: -12" << kAmber;
    QTest::newRow("in arena, blanks and letters")
        << "INARENA:pub: 1 2x"
        << "You have joined arena: pub on freq: 12" << kAmber;
    QTest::newRow("in arena, huge freq") << "INARENA:pub:123456"
                                         << "You have joined arena: pub on freq: 32767" << kAmber;
    QTest::newRow("in arena, empty") << "INARENA:"
                                     << "You have joined arena:  on freq: 0" << kAmber;
    // The arena's name ends at a colon, and the freq is the field after it.
    QTest::newRow("in arena, colons") << "INARENA:pub:4:extra:9"
                                      << "You have joined arena: pub on freq: 4" << kAmber;

    // Names end at the first colon after the keyword; the text runs to the end.
    QTest::newRow("public") << "MSG:PUB:bob:hi"
                            << "bob> hi" << kLilac;
    QTest::newRow("public, colons") << "MSG:PUB:bob:hi: there"
                                    << "bob> hi: there" << kLilac;
    QTest::newRow("public, time") << "MSG:PUB:bob:note: see you at 10:30"
                                  << "bob> note: see you at 10:30" << kLilac;
    QTest::newRow("public, address and smiley") << "MSG:PUB:bob:http://example.org :)"
                                                << "bob> http://example.org :)" << kLilac;
    QTest::newRow("public, text of colons") << "MSG:PUB:bob:::"
                                            << "bob> ::" << kLilac;
    QTest::newRow("public, empty text") << "MSG:PUB:bob:"
                                        << "bob> " << kLilac;
    QTest::newRow("public, no text") << "MSG:PUB:bob"
                                     << "bob> " << kLilac;
    QTest::newRow("public, no name") << "MSG:PUB:"
                                     << "> " << kLilac;
    QTest::newRow("private") << "MSG:PRIV:ann:psst"
                             << "ann> psst" << kGreen;
    QTest::newRow("private, colons") << "MSG:PRIV:ann:at 9:15: ok?"
                                     << "ann> at 9:15: ok?" << kGreen;
    QTest::newRow("freq") << "MSG:FREQ:ann:go left"
                          << "ann> go left" << kAmber;
    QTest::newRow("freq, colons") << "MSG:FREQ:ann:base: now :-)"
                                  << "ann> base: now :-)" << kAmber;
    QTest::newRow("moderator") << "MSG:MOD:ann:calm"
                               << "Mod Chat: ann> calm" << kGreen;
    QTest::newRow("moderator, colons") << "MSG:MOD:ann:rule 3: be kind"
                                       << "Mod Chat: ann> rule 3: be kind" << kGreen;
    QTest::newRow("moderator, no text") << "MSG:MOD:ann"
                                        << "Mod Chat: ann> " << kGreen;
    QTest::newRow("arena") << "MSG:ARENA:Time: 5"
                           << "Arena Message: Time: 5" << kGreen;
    QTest::newRow("arena, two colons") << "MSG:ARENA:a:b:c"
                                       << "Arena Message: a:b:c" << kGreen;
    QTest::newRow("arena, no text") << "MSG:ARENA:"
                                    << "Arena Message: " << kGreen;
    QTest::newRow("command") << "MSG:CMD:done"
                             << "Command Message: done" << kGreen;
    QTest::newRow("command, colons") << "MSG:CMD:a:b"
                                     << "Command Message: a:b" << kGreen;
    QTest::newRow("command, build time")
        << "MSG:CMD:built on Dec 7 2026 09:34:07"
        << "Command Message: built on Dec 7 2026 09:34:07" << kGreen;

    // The zone's other kinds, each in a look of its own.
    QTest::newRow("sysop") << "MSG:SYSOP:the server restarts in 5 minutes"
                           << "Sysop Message: the server restarts in 5 minutes" << kPink;
    QTest::newRow("sysop, colons") << "MSG:SYSOP:restart at 10:30: save now"
                                   << "Sysop Message: restart at 10:30: save now" << kPink;
    QTest::newRow("sysop, no text") << "MSG:SYSOP:"
                                    << "Sysop Message: " << kPink;
    QTest::newRow("chat") << "MSG:CHAT:1:bob> hi all"
                          << "Chat 1: bob> hi all" << kGrey;
    QTest::newRow("chat, colons") << "MSG:CHAT:duel:ann> http://x.org at 8:00"
                                  << "Chat duel: ann> http://x.org at 8:00" << kGrey;
    QTest::newRow("chat, no text") << "MSG:CHAT:2"
                                   << "Chat 2: " << kGrey;
    QTest::newRow("squad") << "MSG:SQUAD:wolves:bob:hi"
                           << "(wolves) bob> hi" << kViolet;
    QTest::newRow("squad, colons") << "MSG:SQUAD:wolves:bob:meet at 10:30: :)"
                                   << "(wolves) bob> meet at 10:30: :)" << kViolet;
    QTest::newRow("squad, no text") << "MSG:SQUAD:wolves:bob"
                                    << "(wolves) bob> " << kViolet;
    QTest::newRow("squad, squad only") << "MSG:SQUAD:wolves"
                                       << "(wolves) > " << kViolet;
}

// Each shown line is one message in its own colour, neither bold nor italic.
void DispatchLineTest::shownLines()
{
    QFETCH(QString, line);
    QFETCH(QString, shown);
    QFETCH(QString, colour);

    RecordingView view;
    SocketComponent socket;
    TCP::DispatchLine(line, view, socket);
    // What else a line changes (the user list) is in the tables below.
    QCOMPARE(view.calls.first(), ::shown(shown, colour));
    for (const QString& call : view.calls.sliced(1))
        QVERIFY2(!call.startsWith(u"show "), qPrintable(call));
}

// Server text is shown as it came: markup stays text, a CR stays in the text.
void DispatchLineTest::literalTextAndTrailingCr()
{
    RecordingView view;
    SocketComponent socket;
    for (const char* line :
         {"MSG:PUB:eve:<b>bold</b> &amp; <img src=x>", "MSG:FREQ:bob:hi\r", "MSG:PUB:ann:next"})
        TCP::DispatchLine(QString::fromLatin1(line), view, socket);
    QCOMPARE(view.calls,
             (QStringList{shown(QStringLiteral("eve> <b>bold</b> &amp; <img src=x>"), kLilac),
                          shown(QStringLiteral("bob> hi\r"), kAmber),
                          shown(QStringLiteral("ann> next"), kLilac)}));
}

void DispatchLineTest::inArenaSetsSessionThenEmptiesList()
{
    RecordingView view;
    SocketComponent socket;
    Declares::arenaName = QStringLiteral("typed");

    TCP::DispatchLine(QStringLiteral("INARENA:duel:-4:extra"), view, socket);
    QCOMPARE(Declares::arenaName, QStringLiteral("duel"));
    QCOMPARE(Declares::currentFreq, qint16(-4));
    QCOMPARE(view.calls, (QStringList{
                             QStringLiteral("show You have joined arena: duel on freq: -4 "
                                            "255~189~41~0~0"),
                             QStringLiteral("clear"),
                         }));

    view.calls.clear();
    TCP::DispatchLine(QStringLiteral("INARENA:"), view, socket);
    QCOMPARE(Declares::arenaName, QString());
    QCOMPARE(Declares::currentFreq, qint16(0));
    QCOMPARE(view.calls.last(), QStringLiteral("clear"));
}

void DispatchLineTest::userListLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("added");

    // A player who arrives later is listed as those listed on entering the arena.
    QTest::newRow("entering") << "ENTERING:bob:2:0"
                              << "add bob 3";
    QTest::newRow("entering, pod") << "ENTERING:pod:8:1"
                                   << "add pod 9";
    QTest::newRow("entering, no freq") << "ENTERING:c:4"
                                       << "add c 5";
    QTest::newRow("entering, not a number") << "ENTERING:g:x:0"
                                            << "add g 0";
    QTest::newRow("entering, no icon") << "ENTERING:k"
                                       << "add k 0";
    QTest::newRow("leaving") << "LEAVING:bob"
                             << "remove bob";
    QTest::newRow("leaving, extra field") << "LEAVING:bob:x"
                                          << "remove bob";
    QTest::newRow("leaving, blank name") << "LEAVING: "
                                         << "remove  ";

    QTest::newRow("first picture") << "PLAYER:a:0:0"
                                   << "add a 1";
    QTest::newRow("third picture") << "PLAYER:bob:2:0"
                                   << "add bob 3";
    QTest::newRow("last picture") << "PLAYER:b:8:0"
                                  << "add b 9";
    QTest::newRow("no third value") << "PLAYER:c:4"
                                    << "add c 5";
    QTest::newRow("fraction rounds to even") << "PLAYER:d:2.5:0"
                                             << "add d 3";
    QTest::newRow("beyond the pictures") << "PLAYER:e:9:0"
                                         << "add e 0";
    QTest::newRow("negative") << "PLAYER:f:-1:0"
                              << "add f 0";
    QTest::newRow("not a number") << "PLAYER:g:x:0"
                                  << "add g 0";
    QTest::newRow("blank before number") << "PLAYER:h: 2:0"
                                         << "add h 0";
    QTest::newRow("trailing CR") << "PLAYER:i:3\r"
                                 << "add i 0";
    QTest::newRow("huge") << "PLAYER:j:1e400:0"
                          << "add j 0";
    QTest::newRow("no icon") << "PLAYER:k"
                             << "add k 0";
    QTest::newRow("empty name") << "PLAYER::4:0"
                                << "add  5";
}

void DispatchLineTest::userListLines()
{
    QFETCH(QString, line);
    QFETCH(QString, added);
    RecordingView view;
    SocketComponent socket;
    TCP::DispatchLine(line, view, socket);
    QCOMPARE(view.calls, QStringList{added});
}

void DispatchLineTest::linesThatLeaveNoTrace_data()
{
    QTest::addColumn<QString>("line");
    for (const char* line : {"",
                             "loginok:bob",
                             "LOGINOK",
                             " LOGINOK:bob",
                             "INARENA",
                             "PLAYERS:bob:0:0",
                             "ENTERING",
                             "entering:bob:0:0",
                             "LEAVING",
                             "LEAVING:",
                             "LEAVING::x",
                             "MSG:",
                             "MSG",
                             "MSG:PUBM:bob:hi",
                             "MSG:pub:bob:hi",
                             "MSG:PUB",
                             "MSG:CHAT",
                             "MSG:SYSOP",
                             "MSG:SQUAD",
                             "MSG:SYSOPX:x",
                             "msg:sysop:x",
                             "MSG:sysop:x",
                             "MSG:Chat:1:hi",
                             "MSG: SQUAD:w:b:t",
                             "MSG:CHATS:1:hi",
                             "MSG:OTHER:x",
                             "HELLO:x"})
        QTest::newRow(line) << QString::fromLatin1(line);
}

void DispatchLineTest::linesThatLeaveNoTrace()
{
    QFETCH(QString, line);
    RecordingView view;
    SocketComponent socket;
    Declares::arenaName = QStringLiteral("kept");
    Declares::currentFreq = 5;

    TCP::DispatchLine(line, view, socket);
    QCOMPARE(view.calls, QStringList());
    QCOMPARE(Declares::arenaName, QStringLiteral("kept"));
    QCOMPARE(Declares::currentFreq, qint16(5));
}

// A server that ends its lines with CR LF sends the same lines as one that ends them
// with LF: a departure names the player its arrival listed, and a message's text ends
// where the server's text ends. A CR inside a line is the server's own text.
void DispatchLineTest::crLfLinesReadAsLfLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("listed, then leaves") << QByteArray("PLAYER:bob:0:0\r\nLEAVING:bob\r\n")
                                         << QStringList{"add bob 1", "remove bob"};
    QTest::newRow("arrives, then leaves") << QByteArray("ENTERING:ann:2\r\nLEAVING:ann\r\n")
                                          << QStringList{"add ann 3", "remove ann"};
    QTest::newRow("public message") << QByteArray("MSG:PUB:bob:hi there\r\n")
                                    << QStringList{"show bob> hi there 181~181~255~0~0"};
    QTest::newRow("arena message") << QByteArray("MSG:ARENA:Time: 5\r\n")
                                   << QStringList{"show Arena Message: Time: 5 107~222~90~0~0"};
    QTest::newRow("login refused")
        << QByteArray("LOGINBAD:banned\r\n") << QStringList{"show Login bad: banned 222~49~8~0~0"};
    QTest::newRow("CR inside the text")
        << QByteArray("MSG:PUB:bob:a\rb\r\r\n") << QStringList{"show bob> a\rb\r 181~181~255~0~0"};
}

void DispatchLineTest::crLfLinesReadAsLfLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, calls);
    RecordingView view;
    SocketComponent socket;
    ReceiveStep receive;
    receive.take(bytes, view, socket);
    QCOMPARE(view.calls, calls);
}

void DispatchLineTest::loginOkAnswersWithGo()
{
    LoopbackServer server;
    SocketComponent socket;
    QVERIFY(connectSocketTo(server, socket));
    RecordingView view;
    Declares::arenaName = QStringLiteral("pub");

    TCP::DispatchLine(QStringLiteral("LOGINOK:bob"), view, socket);
    QVERIFY(server.waitForText("GO:pub\n"));
    QCOMPARE(server.received(), QByteArray("GO:pub\n"));
    QCOMPARE(view.calls, QStringList{shown(QStringLiteral("Logged in: bob"), kGreen)});
}

void DispatchLineTest::loginOkWithoutArenaSendsNothing()
{
    LoopbackServer server;
    SocketComponent socket;
    QVERIFY(connectSocketTo(server, socket));
    RecordingView view;

    TCP::DispatchLine(QStringLiteral("LOGINOK:bob"), view, socket);
    QCOMPARE(view.calls, QStringList{shown(QStringLiteral("Logged in: bob"), kGreen)});
    // Whatever the client sent before this marker would arrive ahead of it.
    TCP::SendLine(socket, QStringLiteral("NOOP"));
    QVERIFY(server.waitForText("NOOP\n"));
    QCOMPARE(server.received(), QByteArray("NOOP\n"));
}

void DispatchLineTest::loginBadClosesTheConnection()
{
    LoopbackServer server;
    SocketComponent socket;
    QVERIFY(connectSocketTo(server, socket));
    RecordingView view;
    Declares::arenaName = QStringLiteral("pub");
    QSignalSpy serverSideClosed(server.client(), &QTcpSocket::disconnected);
    QSignalSpy ownDisconnect(&socket, &SocketComponent::disconnected);

    TCP::DispatchLine(QStringLiteral("LOGINBAD:Banned: no such user"), view, socket);
    QVERIFY(serverSideClosed.wait(5000));
    QVERIFY(!socket.isConnected());
    QCOMPARE(ownDisconnect.size(), 1);
    QCOMPARE(view.calls,
             QStringList{shown(QStringLiteral("Login bad: Banned: no such user"), kRed)});
    QCOMPARE(server.received(), QByteArray());
    QCOMPARE(Declares::arenaName, QStringLiteral("pub"));
}

QTEST_GUILESS_MAIN(DispatchLineTest)
#include "tst_dispatch_line.moc"
