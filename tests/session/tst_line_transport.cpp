#include "session/line_framer.h"
#include "session/send_line.h"
#include "session/send_login.h"
#include "session/socket_component.h"
#include "session/wire_codec.h"
#include "shell/base/session_state.h"
#include "support/connect_socket.h"
#include "support/loopback_server.h"

#include <QCoreApplication>
#include <QtTest>

using Chunks = QList<QByteArray>;
using Lines = QList<QByteArray>;

// Framing of the server's stream and of our own lines, and the byte-per-character codec.
class TestLineTransport : public QObject
{
    Q_OBJECT

private slots:
    void init() { Declares::reset(); }

    void framing_data()
    {
        QTest::addColumn<Chunks>("chunks");
        QTest::addColumn<QList<Lines>>("linesPerChunk");
        QTest::addColumn<QByteArray>("pendingAfter");

        QTest::newRow("line split across notifications")
            << Chunks{"MSG:PUB:bo", "b:hi\n"} << QList<Lines>{{}, {"MSG:PUB:bob:hi"}}
            << QByteArray();
        QTest::newRow("several and empty lines in one")
            << Chunks{"A\n\nB\n"} << QList<Lines>{{"A", "", "B"}} << QByteArray();
        QTest::newRow("CR before LF ends the line with it")
            << Chunks{"A\r\n\r\nB\n"} << QList<Lines>{{"A", "", "B"}} << QByteArray();
        QTest::newRow("only one CR belongs to the line end")
            << Chunks{"A\r\r\n"} << QList<Lines>{{"A\r"}} << QByteArray();
        QTest::newRow("CR elsewhere stays in the line")
            << Chunks{"\rA\rB\n\r"} << QList<Lines>{{"\rA\rB"}} << QByteArray("\r");
        QTest::newRow("CR and LF in different notifications")
            << Chunks{"MSG:PUB:bob:hi\r", "\nLEAVING:bob\r", "\n"}
            << QList<Lines>{{}, {"MSG:PUB:bob:hi"}, {"LEAVING:bob"}} << QByteArray();
        QTest::newRow("lone LF is an empty line")
            << Chunks{"\n"} << QList<Lines>{{""}} << QByteArray();
        QTest::newRow("no LF only grows the pending line")
            << Chunks{"abc", "def"} << QList<Lines>{{}, {}} << QByteArray("abcdef");
        QTest::newRow("pending line completed among others")
            << Chunks{"x", "y\nz\nw"} << QList<Lines>{{}, {"xy", "z"}} << QByteArray("w");
        QTest::newRow("LF arriving alone completes the pending line")
            << Chunks{"abc", "\n"} << QList<Lines>{{}, {"abc"}} << QByteArray();
    }

    void framing()
    {
        QFETCH(Chunks, chunks);
        QFETCH(QList<Lines>, linesPerChunk);
        QFETCH(QByteArray, pendingAfter);
        LineFramer framer;
        for (qsizetype i = 0; i < chunks.size(); ++i)
            QCOMPARE(framer.feed(chunks[i]), linesPerChunk[i]);
        QCOMPARE(framer.pending(), pendingAfter);
    }

    // A server that never sends LF cannot make the client hold more than the cap; the
    // overlong line is dropped up to its LF and the stream goes on normally after it.
    void pendingLineIsCapped()
    {
        LineFramer framer;
        const QByteArray block(64 * 1024, 'x');
        for (int i = 0; i < 20; ++i) {
            QVERIFY(framer.feed(block).isEmpty());
            QVERIFY(framer.pending().size() <= Protocol::kMaxPendingBytes);
        }
        QVERIFY(framer.isDiscarding());
        QCOMPARE(framer.feed("tail of the long line\nMSG:PUB:a:b\npart"), Lines{"MSG:PUB:a:b"});
        QCOMPARE(framer.pending(), QByteArray("part"));
        QCOMPARE(framer.feed("ial\n"), Lines{"partial"});
    }

    void lineAtTheCapIsKept()
    {
        LineFramer framer;
        const QByteArray line(Protocol::kMaxPendingBytes, 'y');
        QVERIFY(framer.feed(line).isEmpty());
        QCOMPARE(framer.feed("\n"), Lines{line});
    }

    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        const QString text = fromWire(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(toWire(text), all);
        QCOMPARE(text.at(0x80), QChar(0x20AC)); // the euro sign
        QCOMPARE(text.at(0xE9), QChar(0xE9));
    }

    void charactersOutsideTheCodePageGoOutAsQuestionMarks()
    {
        QCOMPARE(toWire(QStringLiteral("a\u2192b\u00e9\u20ac")), QByteArray("a?b\xe9\x80"));
        QCOMPARE(windows1252Code(QChar(0x2192)), -1);
        QCOMPARE(windows1252Code(QChar(0x0160)), 0x8A);
    }

    void sendLineFramesAndLimits()
    {
        LoopbackServer server;
        SocketComponent socket;
        QVERIFY(connectSocketTo(server, socket));

        const QString longest(299, u'a');
        TCP::SendLine(socket, longest);
        TCP::SendLine(socket, longest + u'b'); // 301 framed: dropped
        TCP::SendLine(socket, QString());
        QByteArray high;
        for (int b = 0x80; b < 0x100; ++b)
            high.append(static_cast<char>(b));
        TCP::SendLine(socket, fromWire(high));
        TCP::SendLine(socket, QStringLiteral("GO:duel\nSEND:PUB:forged\r"));
        TCP::SendLine(socket, QStringLiteral("END"));

        const QByteArray expected =
            toWire(longest) + "\n" + "\n" + high + "\n" + "GO:duel SEND:PUB:forged\r\n" + "END\n";
        QVERIFY(server.waitForText("END\n"));
        QCOMPARE(server.received(), expected);
    }

    void sendLoginCarriesVersionNameAndPassword()
    {
        LoopbackServer server;
        SocketComponent socket;
        QVERIFY(connectSocketTo(server, socket));
        Declares::userName = QString(30, u'n');
        Declares::password = QString(10, u'p');
        TCP::SendLogin(socket);
        const QByteArray line = "LOGIN:1:" + QByteArray(30, 'n') + ":" + QByteArray(10, 'p') + "\n";
        QVERIFY(server.waitForBytes(line.size()));
        QCOMPARE(server.received(), line);
    }
};

QTEST_GUILESS_MAIN(TestLineTransport)
#include "tst_line_transport.moc"
