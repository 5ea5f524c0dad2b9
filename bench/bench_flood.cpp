// A server that floods: 2,000,000 public chat lines of realistic length over a real
// loopback socket into the shown chat window, as fast as the client takes them, with a
// line typed in the middle of the flood. Reports the peak resident memory against that
// of the 200,000-line transcript in the same run, the longest time the event loop could
// not answer, and how long the typed line took to reach the server. Then 1,000,000
// "PLAYER:" lines: how much memory grows once the user list is full.
#include "bench_report.h"
#include "chat_lines.h"
#include "loopback_peer.h"

#include "chatwindow/frm_main.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "session/socket_component.h"
#include "shell/application_setup.h"
#include "shell/session_state.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

constexpr int kFloodLines = 2000000;
constexpr int kPlayerLines = 1000000;
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

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    Declares::reset();
    Declares::running = true;

    LoopbackPeer peer;
    frmMain& window = frmMain::instance();
    window.show();
    connectToPeer(*window.Socket1, peer);
    runUntil([] { return false; }, 300);
    QTcpSocket* server = peer.client();
    QByteArray fromClient;

    // The typed line: typed (posted to the event loop, as a key is) once half the flood
    // has reached the window, and timed until the server has it.
    const LineStore& store = window.RecTxt->store();
    QElapsedTimer sinceTyped;
    double typedLineMs = -1;
    QObject::connect(server, &QTcpSocket::readyRead, [&] {
        fromClient += server->readAll();
        if (typedLineMs < 0 && sinceTyped.isValid() && fromClient.contains("SEND:PUB:typed\n"))
            typedLineMs = sinceTyped.nsecsElapsed() / 1e6;
    });

    const QList<QByteArray> lines = makeChatLines(50000);
    const auto floodLine = [&](int i) { return lines[i % lines.size()]; };
    qint64 floodBytes = 0;
    for (int i = 0; i < kFloodLines; ++i)
        floodBytes += floodLine(i).size() + 1;
    qint64 delivered = 0;
    QObject::connect(window.Socket1, &SocketComponent::dataArrived,
                     [&](int count) { delivered += count; });

    long peakAt200k = 0;
    bool typed = false;
    QElapsedTimer clock;
    clock.start();
    LoopGapProbe probe;
    probe.start();
    Sender flood(server, kFloodLines, floodLine);
    const bool flooded = runUntil(
        [&] {
            if (!peakAt200k && store.endId() >= LineStore::kKeepMessages)
                peakAt200k = peakResidentKiB();
            if (!typed && delivered >= floodBytes / 2) {
                typed = true;
                sinceTyped.start();
                QTimer::singleShot(0, [&] {
                    window.SendTxt->setText(QStringLiteral("typed"));
                    int key = 13;
                    window.SendTxt_KeyUp(key, 0);
                });
            }
            return delivered == floodBytes;
        },
        900000);
    const double floodSeconds = clock.nsecsElapsed() / 1e9;
    probe.stop();
    if (!flooded)
        qFatal("the flood did not arrive");
    const long peakAfterFlood = peakResidentKiB();
    runUntil([&] { return typedLineMs >= 0; }, 5000);

    const double memoryRatio = double(peakAfterFlood) / double(peakAt200k);
    reportFigure(
        "flood memory",
        QStringLiteral("peak %1 MiB resident over %2 lines (%3 kept)")
            .arg(peakAfterFlood / 1024.0, 0, 'f', 0)
            .arg(kFloodLines)
            .arg(store.count()),
        QStringLiteral("peak %1 MiB with 200,000 lines").arg(peakAt200k / 1024.0, 0, 'f', 0),
        memoryRatio, "<= 1.30", memoryRatio <= 1.3);
    reportFigure("flood responsiveness",
                 QStringLiteral("longest event-loop gap %1 ms (%2 lines/s)")
                     .arg(probe.longestMs(), 0, 'f', 1)
                     .arg(kFloodLines / floodSeconds, 0, 'f', 0),
                 QStringLiteral("50 ms"), probe.longestMs() / 50.0, "<= 1.00",
                 probe.longestMs() <= 50.0);
    reportFigure("typed line in a flood",
                 QStringLiteral("out after %1 ms").arg(typedLineMs, 0, 'f', 1),
                 QStringLiteral("1000 ms"), typedLineMs / 1000.0, "<= 1.00",
                 typedLineMs >= 0 && typedLineMs <= 1000.0);

    // The user list: full after kMaxUsers lines; a million more must not grow memory.
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
    server->write("MSG:PUB:last:line\n");
    if (!listed || !runUntil([&] { return store.text(store.endId() - 1) == "last> line"; }, 60000))
        qFatal("the player lines did not arrive");
    const long growthKiB = residentKiB() - residentWhenFull;
    reportFigure("user list flood",
                 QStringLiteral("%1 entries; resident memory grew %2 MiB over %3 more lines")
                     .arg(window.UsrLst->count())
                     .arg(growthKiB / 1024.0, 0, 'f', 1)
                     .arg(kPlayerLines - frmMain::kMaxUsers),
                 QStringLiteral("10 MiB"), growthKiB / 10240.0, "< 1.00", growthKiB < 10240);
    Declares::running = false;
    frmMain::unload();
    return 0;
}
