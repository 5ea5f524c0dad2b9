// Receive throughput: 100,000 public chat lines arrive over a real loopback socket into
// the shown chat window, once with the program's transcript and once with the rich-text
// transcript it replaced; the two take turns over three rounds and the medians count.
// Also the longest time the event loop could not answer while the program's window
// took them.
#include "bench_report.h"
#include "bench_session.h"
#include "chat_lines.h"
#include "chat_under_test.h"
#include "loopback_peer.h"

#include "session/socket_component.h"
#include "shell/base/session_state.h"

#include <QApplication>
#include <QWidget>

namespace {

constexpr int kLines = 100000;

struct Run
{
    double seconds = 0;
    double longestGapMs = 0;
    int notifications = 0;
};

Run receive(const QString& which, const QByteArray& payload)
{
    Run run;
    LoopbackPeer peer;
    const auto chat = ChatUnderTest::make(which);
    chat->window().show();
    QObject::connect(&chat->socket(), &SocketComponent::dataArrived,
                     [&run] { ++run.notifications; });
    connectToPeer(chat->socket(), peer);
    runUntil([] { return false; }, 200); // let the login line and window settle

    const qint64 before = chat->messagesAppended();
    LoopGapProbe probe;
    QElapsedTimer clock;
    clock.start();
    probe.start();
    peer.client()->write(payload);
    if (!runUntil([&] { return chat->messagesAppended() >= before + kLines; }, 600000))
        qFatal("not all lines arrived");
    run.seconds = clock.nsecsElapsed() / 1e9;
    probe.stop();
    run.longestGapMs = probe.longestMs();
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    startBenchSession(app);

    QByteArray payload;
    for (const QByteArray& line : makeChatLines(kLines))
        payload += line + '\n';
    // Times on these machines drift: the two take turns, and the medians count.
    std::vector<double> ours;
    std::vector<double> richText;
    double longestGapMs = 0;
    int notifications = 0;
    for (int round = 0; round < 3; ++round) {
        const Run run = receive(QStringLiteral("ours"), payload);
        ours.push_back(run.seconds);
        longestGapMs = std::max(longestGapMs, run.longestGapMs);
        notifications = run.notifications;
        richText.push_back(receive(QStringLiteral("richtext"), payload).seconds);
    }
    const double ratio = median(richText) / median(ours);
    reportFigure("receive throughput",
                 QStringLiteral("median %1 s for %2 lines (%3 lines/s, %4 notifications)")
                     .arg(median(ours), 0, 'f', 2)
                     .arg(kLines)
                     .arg(kLines / median(ours), 0, 'f', 0)
                     .arg(notifications),
                 QStringLiteral("rich-text transcript %1 s (%2 lines/s)")
                     .arg(median(richText), 0, 'f', 2)
                     .arg(kLines / median(richText), 0, 'f', 0),
                 ratio, ">= 2.00", ratio >= 2.0);
    reportFigure("responsiveness under flood",
                 QStringLiteral("longest event-loop gap %1 ms").arg(longestGapMs, 0, 'f', 1),
                 QStringLiteral("50 ms"), longestGapMs / 50.0, "<= 1.00", longestGapMs <= 50.0);
    Declares::running = false;
    return 0;
}
