// The chat window against servers that misbehave: an endless line, a flood of lines,
// every byte value in every field, a reset in mid-line and a server that never answers
// the login. The real window, shown, talks through its own connection to a server on
// 127.0.0.1, as while chatting.
#include "chatwindow/append_chat.h"
#include "chatwindow/frm_main.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript_reader.h"
#include "login/frm_connect.h"
#include "session/line_framer.h"
#include "session/socket_component.h"
#include "session/wire_codec.h"
#include "shell/base/session_state.h"
#include "support/loopback_server.h"
#include "support/message_box_closer.h"
#include "support/window_test.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <sys/socket.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kWaitMs = 20000;

template <qsizetype N> QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1); // keeps NULs inside the literal
}

// Resident memory of this process in KiB, or -1 when /proc cannot tell.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Every byte value, ascending, except those in left.
QByteArray everyByteExcept(const QByteArray& left)
{
    QByteArray result;
    for (int b = 0; b < 256; ++b) {
        if (!left.contains(static_cast<char>(b)))
            result.append(static_cast<char>(b));
    }
    return result;
}

QByteArray cycled(const QByteArray& pattern, qsizetype count)
{
    QByteArray result;
    result.reserve(count);
    while (result.size() < count)
        result.append(pattern.left(count - result.size()));
    return result;
}

QStringList paragraphs(const TranscriptView* view)
{
    return linesOf(view);
}

qsizetype messageCount(const frmMain& window)
{
    return window.RecTxt->store().count();
}

// The paragraphs of a transcript in which these texts were shown: it starts with an
// empty paragraph, each text starts a new one, and a CR inside a text starts another.
QStringList paragraphsAfterShowing(const QStringList& texts)
{
    QStringList result{QString()};
    for (const QString& text : texts)
        result.append(text.split(u'\r'));
    return result;
}

// A text full of control characters in a form fit for a failure message.
QString readable(const QString& text, qsizetype limit = 60)
{
    QString out;
    for (const QChar c : text.left(limit)) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            out += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    if (text.size() > limit)
        out += QStringLiteral("... (%1 characters)").arg(text.size());
    return out;
}

// Where two transcripts first differ; empty when they are the same.
QString firstDifference(const QStringList& actual, const QStringList& expected)
{
    for (qsizetype i = 0; i < qMin(actual.size(), expected.size()); ++i) {
        if (actual[i] != expected[i])
            return QStringLiteral("paragraph %1 is \"%2\", expected \"%3\"")
                .arg(i)
                .arg(readable(actual[i]), readable(expected[i]));
    }
    if (actual.size() != expected.size())
        return QStringLiteral("%1 paragraphs, expected %2").arg(actual.size()).arg(expected.size());
    return {};
}

// Types text into the window as a user does, the keys going to the window, and presses Enter.
void typeLine(frmMain& window, const QByteArray& text)
{
    QWindow* handle = window.windowHandle();
    for (const char c : text)
        QTest::keyClick(handle, c);
    QTest::keyClick(handle, Qt::Key_Return);
}

// Connects the window to the server at port as a login does; true once connected,
// shown and with the keep-alive running.
bool connectWindow(frmMain& window, qint16 port)
{
    window.Socket1->setRemoteHost(QStringLiteral("127.0.0.1"));
    window.Socket1->setRemotePort(port);
    window.Socket1->connectToServer();
    return QTest::qWaitFor(
        [&window] {
            return window.Socket1->isConnected() && window.isVisible() &&
                   window.TmrKeepAlive->isActive();
        },
        kWaitMs);
}

// Lets every notification already under way arrive: rounds of the event loop, no delay.
void settle()
{
    for (int round = 0; round < 50; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents();
    }
}

} // namespace

class HostileServerTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();

    void endlessLineKeepsMemoryBoundedAndWindowAnswering();
    void floodIsShownWholeInOrderWhileWindowAnswers();
    void everyByteValueInEveryField();
    void outOfRangeFreqShowsWhatIsKept();
    void resetInMidLineEndsSessionOnce();
    void silentServerLeavesClientWaiting();
    void floodKeepsTheNewestLinesAndTheReadersPlace();
    void userListStopsAtItsBound();
};

void HostileServerTest::init()
{
    WindowTest::init();
    Declares::running = true;
}

void HostileServerTest::endlessLineKeepsMemoryBoundedAndWindowAnswering()
{
    LoopbackServer server;
    QVERIFY(server.isListening());
    frmMain& window = frmMain::instance();
    QVERIFY(connectWindow(window, server.port()));
    QVERIFY(server.waitForClient());
    QVERIFY(server.waitForText("LOGIN:"));

    const qint64 residentBefore = residentKiB();
    QVERIFY(residentBefore > 0);
    qint64 residentPeak = residentBefore;
    qsizetype delivered = 0;
    qsizetype largestPending = 0;
    bool discarded = false;
    const auto watch = connect(window.Socket1, &SocketComponent::dataArrived, this, [&](int count) {
        // Connected after the window's own handler, so this sees the framer after each feed.
        delivered += count;
        largestPending = qMax(largestPending, window.receiveFramer().pending().size());
        discarded = discarded || window.receiveFramer().isDiscarding();
        residentPeak = qMax(residentPeak, residentKiB());
    });
    const auto unwatch = qScopeGuard([watch] { disconnect(watch); });

    constexpr qsizetype kTotal = 5 * 1024 * 1024;
    const QByteArray piece = cycled(everyByteExcept("\n"), 64 * 1024);
    bool typed = false;
    for (qsizetype sent = 0; sent < kTotal; sent += piece.size()) {
        QVERIFY(QTest::qWaitFor(
            [&] { return server.client() && server.client()->bytesToWrite() < piece.size(); },
            kWaitMs));
        server.send(piece);
        if (!typed && sent >= kTotal / 2) {
            typeLine(window, "still here");
            QVERIFY(server.waitForText("SEND:PUB:still here\n", kWaitMs));
            QCOMPARE(window.SendTxt->text(), QString());
            typed = true;
        }
    }
    QVERIFY(typed);
    QVERIFY2(
        QTest::qWaitFor([&] { return delivered == kTotal; }, kWaitMs),
        qPrintable(QStringLiteral("%1 of %2 bytes reached the window").arg(delivered).arg(kTotal)));

    QVERIFY2(largestPending <= Protocol::kMaxPendingBytes,
             qPrintable(QString::number(largestPending)));
    // The partial line really grew to the cap before it was given up.
    QVERIFY(largestPending > Protocol::kMaxPendingBytes - SocketComponent::kMaxNotificationBytes);
    QVERIFY(discarded);
    const qint64 growthKiB = residentPeak - residentBefore;
    constexpr qint64 kGrowthLimitKiB = 64 * 1024; // the data itself is 5 MiB
    QVERIFY2(growthKiB < kGrowthLimitKiB, qPrintable(QStringLiteral("grew %1 KiB").arg(growthKiB)));
    QCOMPARE(paragraphs(window.RecTxt), QStringList{QString()});

    // The LF ends the endless line, which shows nothing; what follows is shown as usual.
    server.send("\nMSG:PUB:after:fine\nMSG:PUB:and:more\n");
    QTRY_COMPARE_WITH_TIMEOUT(
        paragraphs(window.RecTxt),
        (QStringList{QString(), QStringLiteral("after> fine"), QStringLiteral("and> more")}),
        kWaitMs);
    QCOMPARE(window.receiveFramer().pending(), QByteArray());
    QVERIFY(!window.receiveFramer().isDiscarding());
    QVERIFY(Declares::running);
}

void HostileServerTest::floodIsShownWholeInOrderWhileWindowAnswers()
{
    constexpr int kLines = 100000;
    LoopbackServer server;
    frmMain& window = frmMain::instance();
    QVERIFY(connectWindow(window, server.port()));
    QVERIFY(server.waitForClient());
    QVERIFY(server.waitForText("LOGIN:"));

    // How many lines were shown when the typed line reached the server.
    int shownWhenTypedLineArrived = -1;
    connect(server.client(), &QTcpSocket::readyRead, this, [&] {
        if (shownWhenTypedLineArrived < 0 && server.received().contains("SEND:PUB:mid flood\n"))
            shownWhenTypedLineArrived = int(messageCount(window));
    });

    QByteArray flood;
    flood.reserve(kLines * 24);
    for (int i = 0; i < kLines; ++i)
        flood += "MSG:PUB:n" + QByteArray::number(i) + ":t" + QByteArray::number(i) + '\n';
    server.send(flood);

    QVERIFY(QTest::qWaitFor([&] { return messageCount(window) > 1000; }, kWaitMs));
    typeLine(window, "mid flood");
    QVERIFY(QTest::qWaitFor([&] { return shownWhenTypedLineArrived >= 0; }, kWaitMs));
    QVERIFY2(shownWhenTypedLineArrived < kLines,
             qPrintable(QStringLiteral("the typed line went out only after %1 lines were shown")
                            .arg(shownWhenTypedLineArrived)));

    QVERIFY2(QTest::qWaitFor([&] { return messageCount(window) >= kLines; }, 60000),
             qPrintable(QStringLiteral("%1 lines shown").arg(messageCount(window))));
    settle();
    const LineStore& store = window.RecTxt->store();
    QCOMPARE(store.count(), kLines);
    for (int i = 0; i < kLines; ++i) {
        const QString shown = fromWire(store.text(store.firstId() + i));
        const QString expected = QStringLiteral("n%1> t%1").arg(i);
        if (shown != expected)
            QFAIL(qPrintable(QStringLiteral("line %1 shows \"%2\", expected \"%3\"")
                                 .arg(i)
                                 .arg(shown, expected)));
    }
    QCOMPARE(server.received().count("SEND:PUB:mid flood\n"), 1);
}

void HostileServerTest::everyByteValueInEveryField()
{
    LoopbackServer server;
    frmMain& window = frmMain::instance();
    QVERIFY(connectWindow(window, server.port()));
    QVERIFY(server.waitForClient());
    QVERIFY(server.waitForText("LOGIN:1::\n"));
    const qsizetype loginBytes = server.received().size();

    const QByteArray all = everyByteExcept(":\n");
    QByteArray reversed = all;
    std::reverse(reversed.begin(), reversed.end());
    const QString allText = fromWire(all);
    const QString reversedText = fromWire(reversed);

    QByteArray burst;
    QStringList shown;
    const auto showing = [&](const QByteArray& line, const QString& text) {
        burst += line + '\n';
        shown += text;
    };
    const auto silent = [&](const QByteArray& line) { burst += line + '\n'; };

    // Names and texts of every kind of message.
    const QByteArray nameAndText = all + ':' + reversed;
    const QString nameAndTextShown = allText + QStringLiteral("> ") + reversedText;
    showing("MSG:PUB:" + nameAndText, nameAndTextShown);
    showing("MSG:PRIV:" + nameAndText, nameAndTextShown);
    showing("MSG:FREQ:" + nameAndText, nameAndTextShown);
    showing("MSG:MOD:" + nameAndText, QStringLiteral("Mod Chat: ") + nameAndTextShown);
    // The last value runs to the end of the line, colons and all.
    const QString nameColonText = allText + u':' + reversedText;
    showing("MSG:ARENA:" + nameAndText + ':' + all,
            QStringLiteral("Arena Message: ") + nameColonText + u':' + allText);
    showing("MSG:CMD:" + nameAndText, QStringLiteral("Command Message: ") + nameColonText);
    showing("MSG:SYSOP:" + nameAndText, QStringLiteral("Sysop Message: ") + nameColonText);
    showing("MSG:CHAT:" + nameAndText + ':' + all, QStringLiteral("Chat ") + allText +
                                                       QStringLiteral(": ") + reversedText + u':' +
                                                       allText);
    showing("MSG:SQUAD:" + nameAndText + ':' + nameAndText,
            u'(' + allText + QStringLiteral(") ") + reversedText + QStringLiteral("> ") +
                nameColonText);
    // With no arena yet this one sends nothing back.
    showing("LOGINOK:" + reversed + ':' + all,
            QStringLiteral("Logged in: ") + reversedText + u':' + allText);
    showing(bytes("MSG:PUB:a\0b:c\0\0d\0"), QStringLiteral("a") + QChar(0) +
                                                QStringLiteral("b> c") + QChar(0) + QChar(0) +
                                                QStringLiteral("d") + QChar(0));

    // Arena names and freqs.
    const struct
    {
        QByteArray freq;
        int shownFreq;
    } freqs[] = {{"", 0},
                 {bytes("\0\xFF"), 0},
                 {" 1\t2 ", 12},
                 {"7.5", 8},
                 {"8.5", 8},
                 {"-32768", -32768},
                 {"12abc\xFF", 12},
                 {"\xFF"
                  "12",
                  0},
                 {"1e3:" + reversed, 1000}};
    for (const auto& f : freqs)
        showing("INARENA:" + all + ':' + f.freq, QStringLiteral("You have joined arena: ") +
                                                     allText + QStringLiteral(" on freq: ") +
                                                     QString::number(f.shownFreq));
    // Now the arena is every byte: the login answer sends it back exactly.
    showing("LOGINOK:x", QStringLiteral("Logged in: x"));

    // Players with every byte in the name and all sorts of icon fields.
    const struct
    {
        QByteArray icon;
        bool picture;
    } icons[] = {{"0", true},
                 {"8", true},
                 {"1:" + all, true},
                 {"9", false},
                 {"-1", false},
                 {"", false},
                 {"\xFF", false},
                 {bytes("1\0"), false},
                 {"nan", false},
                 {"99999999", false},
                 {"inf", false},
                 {"\x80"
                  "3",
                  false}};
    QList<std::pair<QString, bool>> players;
    for (qsizetype i = 0; i < qsizetype(std::size(icons)); ++i) {
        const QByteArray name = QByteArray::number(i) + (i % 2 ? reversed : all);
        silent("PLAYER:" + name + ':' + icons[i].icon);
        players.append({fromWire(name), icons[i].picture});
    }
    // Arrivals are listed alike; a departure takes the first entry of exactly its name.
    silent("ENTERING:" + all + ":3:" + reversed);
    silent("ENTERING:" + reversed + ':' + all);
    silent("ENTERING:" + all + ":8");
    silent("LEAVING:" + all + ':' + reversed);
    silent("LEAVING:" + all.left(all.size() - 1));
    players.append({reversedText, false});
    players.append({allText, true});

    // Recognised lines that show nothing, whatever they carry.
    for (const char* keyword : {"MSG:", "MSG:PUBX:", "MSG:SYSOPX:", "MSG:CHATS:", "msg:squad:"})
        silent(keyword + nameAndText);
    // Damaged keywords: one byte changed anywhere in the keyword, or something before it.
    for (const QByteArray keyword :
         {"MSG:PUB:", "MSG:PRIV:", "MSG:FREQ:", "MSG:MOD:", "MSG:ARENA:", "MSG:CMD:", "MSG:SYSOP:",
          "MSG:CHAT:", "MSG:SQUAD:", "LOGINOK:", "LOGINBAD:", "INARENA:", "PLAYER:", "ENTERING:",
          "LEAVING:"}) {
        for (qsizetype i = 0; i < keyword.size(); ++i) {
            for (const char replacement :
                 {'\0', '\r', '\xFF', '\x80', static_cast<char>(keyword[i] ^ 0x20)}) {
                QByteArray damaged = keyword;
                damaged[i] = replacement;
                silent(damaged + "x:1:" + all);
            }
        }
        silent(QByteArray(1, '\0') + keyword + "x:1");
        silent("\r" + keyword + "x:1");
        silent(" " + keyword + "x:1");
        silent("\xEF\xBB\xBF" + keyword + "x:1");
    }
    // Lines of only CRs or NULs, and empty lines.
    silent("\r");
    silent(QByteArray(1000, '\r'));
    silent("");
    silent(QByteArray(50, '\0'));

    // Lines of 60,000 bytes.
    const QByteArray longText = cycled(all, 60000);
    showing("MSG:PUB:long:" + longText, QStringLiteral("long> ") + fromWire(longText));
    silent("X" + cycled(everyByteExcept("\n"), 59999));
    silent(QByteArray(60000, '\r'));
    silent(QByteArray(60000, '\0'));
    showing("MSG:PUB:end:end", QStringLiteral("end> end"));

    server.send(burst);
    QVERIFY(
        QTest::qWaitFor([&] { return paragraphs(window.RecTxt).last() == u"end> end"; }, kWaitMs));
    settle();

    const QStringList actual = paragraphs(window.RecTxt);
    const QString difference = firstDifference(actual, paragraphsAfterShowing(shown));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    // The bytes 0x80-0x9F show as Windows-1252 has them, not as Latin-1 control characters.
    const QString transcript = actual.join(u'\n');
    for (const char16_t c : {u'\u20AC', u'\u201A', u'\u0178', u'\u00A0', u'\u00FF'})
        QVERIFY(transcript.contains(QChar(c)));

    QCOMPARE(Declares::arenaName, allText);
    QCOMPARE(Declares::currentFreq, qint16(1000));
    QCOMPARE(server.received().mid(loginBytes), "GO:" + all + '\n');

    QCOMPARE(window.UsrLst->count(), players.size());
    for (int row = 0; row < window.UsrLst->count(); ++row) {
        QCOMPARE(window.UsrLst->item(row)->text(), players[row].first);
        QVERIFY2(window.UsrLst->item(row)->icon().isNull() != players[row].second,
                 qPrintable(QStringLiteral("row %1").arg(row)));
    }
    QVERIFY(Declares::running);
    QVERIFY(window.Socket1->isConnected());
}

void HostileServerTest::outOfRangeFreqShowsWhatIsKept()
{
    LoopbackServer server;
    frmMain& window = frmMain::instance();
    QVERIFY(connectWindow(window, server.port()));
    QVERIFY(server.waitForClient());

    static const QRegularExpression joined(
        QStringLiteral("^You have joined arena: x on freq: (-?[0-9]+)$"));
    // A freq beyond the signed 16-bit range is kept, and shown, as the nearest end of it.
    const struct
    {
        QByteArray sent;
        int kept;
    } freqs[] = {{"99999999", 32767},  {"-99999999", -32768},    {"1e400", 32767},
                 {"-1e400", -32768},   {"1e99999999999", 32767}, {"32767.5", 32767},
                 {"-32768.5", -32768}, {"32766.5", 32766}};
    for (const auto& freq : freqs) {
        const qsizetype before = messageCount(window);
        server.send("INARENA:x:" + freq.sent + '\n');
        QTRY_COMPARE_WITH_TIMEOUT(messageCount(window), before + 1, kWaitMs);
        const QString text = paragraphs(window.RecTxt).last();
        const QRegularExpressionMatch match = joined.match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        QCOMPARE(match.captured(1).toInt(), freq.kept);
        QCOMPARE(int(Declares::currentFreq), freq.kept);
    }
}

void HostileServerTest::resetInMidLineEndsSessionOnce()
{
    QTcpServer server;
    QVERIFY(listenOnClientPort(server));
    MessageBoxCloser boxes;
    frmMain& window = frmMain::instance();
    QSignalSpy closed(window.Socket1, &SocketComponent::closed);
    QSignalSpy errors(window.Socket1, &SocketComponent::errorOccurred);
    QVERIFY(connectWindow(window, static_cast<qint16>(server.serverPort())));
    QVERIFY(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, kWaitMs));
    QTcpSocket* peer = server.nextPendingConnection();

    peer->write("MSG:PUB:a:b\nMSG:PUB:half:li");
    peer->flush();
    QTRY_COMPARE_WITH_TIMEOUT(window.receiveFramer().pending(), QByteArray("MSG:PUB:half:li"),
                              kWaitMs);
    QCOMPARE(paragraphs(window.RecTxt), (QStringList{QString(), QStringLiteral("a> b")}));

    // Closing with a zero linger time sends a reset instead of an orderly end.
    const linger reset{1, 0};
    QCOMPARE(::setsockopt(static_cast<int>(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset,
                          sizeof reset),
             0);
    peer->abort();

    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, kWaitMs);
    settle();
    QCOMPARE(closed.count(), 1);
    QVERIFY(errors.isEmpty());
    QVERIFY(!Declares::running);
    QVERIFY(boxes.texts().isEmpty());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(paragraphs(window.RecTxt), (QStringList{QString(), QStringLiteral("a> b")}));
}

void HostileServerTest::silentServerLeavesClientWaiting()
{
    LoopbackServer server;
    MessageBoxCloser boxes;
    // Loaded before the dialog so that the connect time-out can be made short enough for
    // the test to see that it no longer applies once the connection stands.
    frmMain& window = frmMain::instance();
    constexpr int kConnectTimeoutMs = 300;
    window.Socket1->setConnectTimeout(kConnectTimeoutMs);
    QSignalSpy closed(window.Socket1, &SocketComponent::closed);
    QSignalSpy errors(window.Socket1, &SocketComponent::errorOccurred);

    frmConnect& dialog = frmConnect::instance();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.PortTxt->setText(QString::number(server.port()));
    QTest::mouseClick(dialog.Command1, Qt::LeftButton);

    QVERIFY(server.waitForText("LOGIN:1:Username:password\n", kWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(frmConnect::ifLoaded() == nullptr, kWaitMs);
    QVERIFY(window.isVisible());
    QVERIFY(window.Socket1->isConnected());
    QVERIFY(window.TmrKeepAlive->isActive());
    QCOMPARE(window.TmrKeepAlive->interval(), 60000);

    // No answer ever comes: no error, no box, no time-out, and the connection stays.
    const bool somethingHappened = QTest::qWaitFor(
        [&] {
            return !errors.isEmpty() || !closed.isEmpty() || !boxes.texts().isEmpty() ||
                   !window.Socket1->isConnected() || !Declares::running;
        },
        4 * kConnectTimeoutMs);
    QVERIFY(!somethingHappened);
    QCOMPARE(paragraphs(window.RecTxt), QStringList{QString()});

    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    typeLine(window, "anyone there");
    QVERIFY(server.waitForText("SEND:PUB:anyone there\n", kWaitMs));

    // The keep-alive still goes out: a shorter interval lets its next tick come now.
    server.clearReceived();
    window.TmrKeepAlive->setInterval(50);
    QVERIFY(server.waitForText("NOOP\n", kWaitMs));
    QCOMPARE(server.received().left(5), QByteArray("NOOP\n"));
    QVERIFY(errors.isEmpty());
    QVERIFY(boxes.texts().isEmpty());
}

namespace {

// Where the reader is: the text at the top left of the view, and how far down the view
// the line that holds it stands, in pixels.
std::pair<QString, int> readersPlace(TranscriptView* view)
{
    const TextPos top = view->hitTest(QPointF(5, 5));
    const QString text = fromWire(view->store().text(top.message)).mid(top.offset);
    return {text, qRound(view->placeRect(top).top())};
}

QByteArray numberedLines(int from, int to)
{
    QByteArray lines;
    for (int i = from; i < to; ++i) {
        // Every seventh message spans two lines; every third is a team message.
        const QByteArray kind = i % 3 == 0 ? "MSG:FREQ:" : "MSG:PUB:";
        lines += kind + "p" + QByteArray::number(i) + ":line " + QByteArray::number(i) +
                 (i % 7 == 0 ? "\rcontinued" : "") + '\n';
    }
    return lines;
}

} // namespace

// With the bound lowered to 300 messages: the oldest go as new ones come, the newest
// line stays in view at the bottom, and a reader scrolled back keeps the same lines in
// the same place, with their selection and their looks.
void HostileServerTest::floodKeepsTheNewestLinesAndTheReadersPlace()
{
    LoopbackServer server;
    frmMain& window = frmMain::instance();
    TranscriptView* view = window.RecTxt;
    view->setStoreLimitsForTests({300, LineStore::kMaxTextBytes, LineStore::kMaxRows});
    const LineStore& store = view->store();
    QVERIFY(connectWindow(window, server.port()));
    QVERIFY(server.waitForClient());
    QScrollBar* bar = view->verticalScrollBar();

    // The messages kept after each notification: never more than the bound.
    QList<qsizetype> counts;
    connect(window.Socket1, &SocketComponent::dataArrived, this,
            [&] { counts.append(store.count()); });

    server.send(numberedLines(0, 400));
    QTRY_COMPARE_WITH_TIMEOUT(store.endId(), 400, kWaitMs);
    QCOMPARE(store.count(), 300);
    QCOMPARE(paragraphs(view).mid(0, 2),
             (QStringList{QString(), QStringLiteral("p100> line 100")}));
    // At the bottom, the newest line is the one in view there.
    QTRY_COMPARE(bar->value(), bar->maximum());
    QCOMPARE(view->hitTest(QPointF(5, view->viewport()->height() - 3)).message, 399);

    // The reader scrolls back into lines that stay, and selects one.
    bar->setValue(bar->maximum() * 3 / 4);
    const auto place = readersPlace(view);
    const qint64 picked = view->hitTest(QPointF(5, 40)).message;
    view->setSelection({picked, 0}, {picked, store.text(picked).size()});
    const QString selected = view->selectedText();
    QVERIFY(!selected.isEmpty());
    const QList<Paragraph> looks = paragraphsOf(view);

    // 150 more: the oldest 150 go, past the lines the reader is at.
    server.send(numberedLines(400, 550));
    QTRY_COMPARE_WITH_TIMEOUT(store.endId(), 550, kWaitMs);
    QCOMPARE(store.count(), 300);
    QCOMPARE(paragraphs(view).mid(0, 2),
             (QStringList{QString(), QStringLiteral("p250> line 250")}));
    QCOMPARE(readersPlace(view), place);
    QVERIFY(bar->value() < bar->maximum());
    QCOMPARE(view->selectedText(), selected);
    // The lines that stayed look as they did.
    const QStringList after = describe(paragraphsOf(view));
    for (const Paragraph& p : looks) {
        if (p.text.section(QStringLiteral("line "), 1).toInt() >= 250)
            QVERIFY2(after.contains(describe(p)), qPrintable(describe(p)));
    }

    // Back at the bottom, the view follows the newest line while the oldest go.
    bar->setValue(bar->maximum());
    server.send(numberedLines(550, 702));
    QTRY_COMPARE_WITH_TIMEOUT(store.endId(), 702, kWaitMs);
    QTRY_COMPARE(bar->value(), bar->maximum());
    QCOMPARE(view->hitTest(QPointF(5, view->viewport()->height() - 3)).message, 701);
    QCOMPARE(store.count(), 300);

    QVERIFY(!counts.isEmpty());
    for (const qsizetype count : std::as_const(counts))
        QVERIFY2(count <= 300, qPrintable(QString::number(count)));
}

void HostileServerTest::userListStopsAtItsBound()
{
    LoopbackServer server;
    frmMain& window = frmMain::instance();
    window.setUserListBoundForTests(50);
    QVERIFY(connectWindow(window, server.port()));
    QVERIFY(server.waitForClient());

    QByteArray lines = "INARENA:big:0\n";
    for (int i = 0; i < 80; ++i)
        lines += "PLAYER:p" + QByteArray::number(i) + ":1:0\n";
    for (int i = 0; i < 10; ++i)
        lines += "ENTERING:e" + QByteArray::number(i) + ":1:0\n";
    server.send(lines + "MSG:PUB:end:end\n");
    QTRY_COMPARE_WITH_TIMEOUT(paragraphs(window.RecTxt).last(), QStringLiteral("end> end"),
                              kWaitMs);
    QCOMPARE(window.UsrLst->count(), 50);
    QCOMPARE(window.UsrLst->item(49)->text(), QStringLiteral("p49"));

    // One leaves: there is room for one more again.
    server.send("LEAVING:p0\nENTERING:late:2:0\nENTERING:later:2:0\nMSG:PUB:end:again\n");
    QTRY_COMPARE_WITH_TIMEOUT(paragraphs(window.RecTxt).last(), QStringLiteral("end> again"),
                              kWaitMs);
    QCOMPARE(window.UsrLst->count(), 50);
    QCOMPARE(window.UsrLst->item(49)->text(), QStringLiteral("late"));

    server.send("INARENA:small:0\nPLAYER:solo:0:0\nMSG:PUB:end:small\n");
    QTRY_COMPARE_WITH_TIMEOUT(paragraphs(window.RecTxt).last(), QStringLiteral("end> small"),
                              kWaitMs);
    QCOMPARE(window.UsrLst->count(), 1);
}

QTEST_MAIN(HostileServerTest)
#include "tst_hostile_server.moc"
