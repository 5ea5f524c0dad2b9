// Drawing with 200,000 messages kept: the time to repaint a full window of lines, and
// to resize the transcript and show it at the new width (the repaint, and the longest
// time the event loop is then kept busy); the program's transcript against the
// rich-text transcript it replaced. Medians of repeated rounds.
#include "bench_report.h"
#include "bench_session.h"
#include "chat_lines.h"
#include "chat_under_test.h"
#include "loopback_peer.h"

#include "shell/base/session_state.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

namespace {

constexpr int kMessages = 200000;

struct Drawing
{
    double repaintMs = 0;
    double resizeMs = 0;
};

double msSince(const QElapsedTimer& clock)
{
    return clock.nsecsElapsed() / 1e6;
}

Drawing draw(const QString& which, const QList<QByteArray>& lines)
{
    const auto chat = ChatUnderTest::make(which);
    chat->window().show();
    QByteArray notification;
    for (int i = 0; i < kMessages; ++i) {
        notification += lines[i % lines.size()] + '\n';
        if (notification.size() > 32000 || i + 1 == kMessages) {
            chat->takeReceived(notification);
            notification.clear();
            QCoreApplication::processEvents();
        }
    }
    runUntil([] { return false; }, 1000);

    QAbstractScrollArea& transcript = chat->transcript();
    std::vector<double> repaints;
    for (int round = 0; round < 30; ++round) {
        QElapsedTimer clock;
        clock.start();
        transcript.viewport()->repaint();
        repaints.push_back(msSince(clock));
    }
    std::vector<double> resizes;
    const QSize size = transcript.size();
    for (int round = 0; round < 6; ++round) {
        QElapsedTimer clock;
        clock.start();
        transcript.resize(round % 2 == 0 ? size - QSize(100, 0) : size);
        transcript.viewport()->repaint();
        const double shown = msSince(clock);
        // Work left for later would keep the event loop from answering.
        LoopGapProbe probe;
        probe.start();
        runUntil([] { return false; }, 1000);
        probe.stop();
        resizes.push_back(std::max(shown, probe.longestMs()));
    }
    return {median(repaints), median(resizes)};
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    startBenchSession(app);
    const QList<QByteArray> lines = makeChatLines(50000);
    const Drawing ours = draw(QStringLiteral("ours"), lines);
    const Drawing rich = draw(QStringLiteral("richtext"), lines);
    reportFigure("repaint a full window",
                 QStringLiteral("median %1 ms with 200,000 kept").arg(ours.repaintMs, 0, 'f', 2),
                 QStringLiteral("rich-text transcript %1 ms").arg(rich.repaintMs, 0, 'f', 2),
                 ours.repaintMs / rich.repaintMs, "ours <= 16 ms", ours.repaintMs <= 16.0);
    reportFigure("resize with 200,000 kept",
                 QStringLiteral("median %1 ms").arg(ours.resizeMs, 0, 'f', 2),
                 QStringLiteral("rich-text transcript %1 ms").arg(rich.resizeMs, 0, 'f', 1),
                 ours.resizeMs / rich.resizeMs, "ours <= 16 ms", ours.resizeMs <= 16.0);
    Declares::running = false;
    return 0;
}
