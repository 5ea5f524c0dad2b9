// A server that floods: 2,000,000 public chat lines of realistic length over a real
// loopback socket into the shown chat window, as fast as the client takes them, with a
// line typed in the middle of the flood. Measures the peak resident memory against that
// of 200,000 lines in the same run, the longest time the event loop could not answer,
// and how long the typed line took to reach the server; the program's transcript against
// the rich-text transcript it replaced, each in a process of its own; and the program's
// again with the reader scrolled back a page early in the flood, so that everything
// after arrives below the view and the new-messages indicator counts it. Then, in the
// program's window, 1,000,000 "PLAYER:" lines: how much memory grows once the user list
// is full.
#include "bench_report.h"
#include "bench_session.h"
#include "chat_lines.h"
#include "chat_under_test.h"
#include "child_run.h"
#include "loopback_peer.h"

#include "chatwindow/frm_main.h"
#include "session/socket_component.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QListWidget>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace {

constexpr int kFloodLines = 2000000;
constexpr int kPlayerLines = 1000000;
constexpr qint64 kKeptForPeak = 200000;
constexpr qint64 kInFlightBytes = 256 * 1024;

// Writes count lines made by lineAt to the client, keeping no more than a little in
// flight, so that the sender holds no flood of its own in memory.
class Sender
{
public:
    Sender(QTcpSocket* client, int count, std::function<QByteArray(int)> lineAt)
        : client_(client), count_(count), lineAt_(std::move(lineAt))
    {
        connection_ = QObject::connect(client_, &QTcpSocket::bytesWritten, [this] { fill(); });
        fill();
    }
    ~Sender() { QObject::disconnect(connection_); }
    bool done() const { return next_ >= count_ && client_->bytesToWrite() == 0; }

private:
    void fill()
    {
        while (next_ < count_ && client_->bytesToWrite() < kInFlightBytes) {
            QByteArray chunk;
            while (next_ < count_ && chunk.size() < 64 * 1024)
                chunk += lineAt_(next_++) + '\n';
            client_->write(chunk);
        }
    }

    QTcpSocket* client_;
    int count_;
    int next_ = 0;
    std::function<QByteArray(int)> lineAt_;
    QMetaObject::Connection connection_;
};

// The flood into one chat window, with its figures reported to the parent. "scrolled":
// the program's, read back a page once the first lines are in.
void flood(const QString& which)
{
    const bool readingBack = which == QLatin1String("scrolled");
    LoopbackPeer peer;
    const auto chat = ChatUnderTest::make(readingBack ? QStringLiteral("ours") : which);
    chat->window().show();
    connectToPeer(chat->socket(), peer);
    runUntil([] { return false; }, 300);
    QTcpSocket* server = peer.client();
    QByteArray fromClient;

    // The typed line: typed (posted to the event loop, as a key is) once half the flood
    // has reached the window, and timed until the server has it.
    QElapsedTimer sinceTyped;
    double typedLineMs = -1;
    QObject::connect(server, &QTcpSocket::readyRead, [&] {
        fromClient += server->readAll();
        if (typedLineMs < 0 && sinceTyped.isValid() && fromClient.contains("SEND:PUB:typed\n"))
            typedLineMs = sinceTyped.nsecsElapsed() / 1e6;
    });

    const QList<QByteArray> lines = makeChatLines(50000);
    const auto floodLine = [&](int i) { return lines[i % lines.size()]; };
    long peakAtKept = 0;
    bool typed = false;
    bool scrolledBack = false;
    QElapsedTimer clock;
    clock.start();
    LoopGapProbe probe;
    probe.start();
    Sender sender(server, kFloodLines, floodLine);
    const bool flooded = runUntil(
        [&] {
            if (readingBack && !scrolledBack && chat->messagesAppended() >= 1000) {
                scrolledBack = true;
                QCoreApplication::postEvent(
                    &chat->transcript(),
                    new QKeyEvent(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier));
            }
            if (!peakAtKept && chat->messagesKept() >= kKeptForPeak)
                peakAtKept = peakResidentKiB();
            if (!typed && chat->messagesAppended() >= kFloodLines / 2) {
                typed = true;
                sinceTyped.start();
                QTimer::singleShot(0, [&] { chat->sendTyped(QStringLiteral("typed")); });
            }
            return chat->messagesAppended() == kFloodLines;
        },
        900000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    probe.stop();
    if (!flooded)
        qFatal("the flood did not arrive");
    const long peakAfter = peakResidentKiB();
    runUntil([&] { return typedLineMs >= 0; }, 5000);
    reportToParent("gapMs", probe.longestMs());
    reportToParent("linesPerSecond", kFloodLines / seconds);
    reportToParent("typedMs", typedLineMs);
    reportToParent("peakMiB", peakAfter / 1024.0);
    reportToParent("peakKeptMiB", peakAtKept / 1024.0);
    reportToParent("kept", chat->messagesKept());
    if (readingBack && chat->unseenCount() == 0)
        qFatal("the view did not stay scrolled back: nothing was counted");
    reportToParent("unseen", chat->unseenCount());
}

// The program's user list: full after kMaxUsers lines; a million more must not grow
// memory.
void floodUserList()
{
    LoopbackPeer peer;
    frmMain& window = frmMain::instance();
    window.show();
    connectToPeer(*window.Socket1, peer);
    QTcpSocket* server = peer.client();
    server->write("INARENA:crowd:0\n");
    long residentWhenFull = 0;
    Sender players(server, kPlayerLines, [](int i) {
        return "PLAYER:p" + QByteArray::number(i) + ':' + QByteArray::number(i % 9) + ":0";
    });
    const bool listed = runUntil(
        [&] {
            if (!residentWhenFull && window.UsrLst->count() >= frmMain::kMaxUsers)
                residentWhenFull = residentKiB();
            return players.done() && window.receiveFramer().pending().isEmpty() && residentWhenFull;
        },
        900000);
    if (!listed)
        qFatal("the player lines did not arrive");
    runUntil([] { return false; }, 300);
    reportToParent("entries", window.UsrLst->count());
    reportToParent("listGrowthMiB", (residentKiB() - residentWhenFull) / 1024.0);
    frmMain::unload();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    startBenchSession(app);
    if (argc > 2 && QByteArray(argv[1]) == "--child") {
        if (QByteArray(argv[2]) == "players")
            floodUserList();
        else
            flood(QString::fromLatin1(argv[2]));
        return 0;
    }

    const auto ours = runChild({QStringLiteral("--child"), QStringLiteral("ours")});
    const auto rich = runChild({QStringLiteral("--child"), QStringLiteral("richtext")});
    const auto scrolled = runChild({QStringLiteral("--child"), QStringLiteral("scrolled")});
    const auto figure = [](const QMap<QString, double>& run, const char* key) {
        return run.value(QLatin1String(key));
    };
    const double ourPeak = figure(ours, "peakMiB") / figure(ours, "peakKeptMiB");
    const double richPeak = figure(rich, "peakMiB") / figure(rich, "peakKeptMiB");
    reportFigure("flood memory",
                 QStringLiteral("peak %1 MiB over %2 lines (%3 kept), %4 x that of 200,000")
                     .arg(figure(ours, "peakMiB"), 0, 'f', 0)
                     .arg(kFloodLines)
                     .arg(figure(ours, "kept"), 0, 'f', 0)
                     .arg(ourPeak, 0, 'f', 2),
                 QStringLiteral("rich-text transcript peak %1 MiB, %2 x that of 200,000")
                     .arg(figure(rich, "peakMiB"), 0, 'f', 0)
                     .arg(richPeak, 0, 'f', 2),
                 figure(ours, "peakMiB") / figure(rich, "peakMiB"), "ours <= 1.10 x at 200,000",
                 ourPeak <= 1.1);
    reportFigure("flood responsiveness",
                 QStringLiteral("longest event-loop gap %1 ms (%2 lines/s)")
                     .arg(figure(ours, "gapMs"), 0, 'f', 1)
                     .arg(figure(ours, "linesPerSecond"), 0, 'f', 0),
                 QStringLiteral("rich-text transcript %1 ms (%2 lines/s)")
                     .arg(figure(rich, "gapMs"), 0, 'f', 1)
                     .arg(figure(rich, "linesPerSecond"), 0, 'f', 0),
                 figure(ours, "gapMs") / figure(rich, "gapMs"), "ours <= 20 ms",
                 figure(ours, "gapMs") <= 20.0);
    reportFigure(
        "typed line in a flood",
        QStringLiteral("out after %1 ms").arg(figure(ours, "typedMs"), 0, 'f', 1),
        QStringLiteral("rich-text transcript %1 ms").arg(figure(rich, "typedMs"), 0, 'f', 1),
        figure(ours, "typedMs") / figure(rich, "typedMs"), "ours <= 1000 ms",
        figure(ours, "typedMs") >= 0 && figure(ours, "typedMs") <= 1000.0);
    reportFigure("flood, scrolled back",
                 QStringLiteral("longest event-loop gap %1 ms (%2 lines/s), %3 counted below")
                     .arg(figure(scrolled, "gapMs"), 0, 'f', 1)
                     .arg(figure(scrolled, "linesPerSecond"), 0, 'f', 0)
                     .arg(figure(scrolled, "unseen"), 0, 'f', 0),
                 QStringLiteral("rich-text transcript %1 ms").arg(figure(rich, "gapMs"), 0, 'f', 1),
                 figure(scrolled, "gapMs") / figure(rich, "gapMs"), "ours <= 20 ms",
                 figure(scrolled, "gapMs") <= 20.0);
    reportFigure(
        "typed line, scrolled back",
        QStringLiteral("out after %1 ms").arg(figure(scrolled, "typedMs"), 0, 'f', 1),
        QStringLiteral("rich-text transcript %1 ms").arg(figure(rich, "typedMs"), 0, 'f', 1),
        figure(scrolled, "typedMs") / figure(rich, "typedMs"), "ours <= 1000 ms",
        figure(scrolled, "typedMs") >= 0 && figure(scrolled, "typedMs") <= 1000.0);

    const auto players = runChild({QStringLiteral("--child"), QStringLiteral("players")});
    const double growth = figure(players, "listGrowthMiB");
    reportFigure("user list flood",
                 QStringLiteral("%1 entries; resident memory grew %2 MiB over %3 more lines")
                     .arg(figure(players, "entries"), 0, 'f', 0)
                     .arg(growth, 0, 'f', 1)
                     .arg(kPlayerLines - frmMain::kMaxUsers),
                 QStringLiteral("10 MiB"), growth / 10.0, "< 1.00", growth < 10.0);
    return 0;
}
