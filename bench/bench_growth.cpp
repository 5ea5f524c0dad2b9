// Transcript growth: the cost per line of the last 10,000 appends to a 500,000-line
// transcript, against the first 10,000. Lines go in through the chat window's own
// receive path, a notification's worth at a time, with the event loop running between.
#include "bench_report.h"
#include "bench_session.h"
#include "chat_lines.h"

#include "chatwindow/frm_main.h"
#include "shell/base/session_state.h"

#include <QApplication>
#include <QElapsedTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    startBenchSession(app);

    constexpr int kTotal = 500000;
    constexpr int kWindow = 10000;
    constexpr int kPerBlock = 400; // about one 32 KiB notification of chat lines
    const QList<QByteArray> source = makeChatLines(50000);

    frmMain& window = frmMain::instance();
    window.show();
    double firstSeconds = 0;
    double lastSeconds = 0;
    QElapsedTimer clock;
    for (int done = 0; done < kTotal; done += kPerBlock) {
        if (done == 0 || done == kTotal - kWindow)
            clock.start();
        QByteArray notification;
        for (int i = done; i < done + kPerBlock; ++i)
            notification += source[i % source.size()] + '\n';
        window.takeReceived(notification);
        QCoreApplication::processEvents();
        if (done + kPerBlock == kWindow)
            firstSeconds = clock.nsecsElapsed() / 1e9;
        if (done + kPerBlock == kTotal)
            lastSeconds = clock.nsecsElapsed() / 1e9;
    }
    const double ratio = lastSeconds / firstSeconds;
    reportFigure(
        "transcript growth",
        QStringLiteral("last 10k of 500k lines: %1 ms/line")
            .arg(lastSeconds * 1000 / kWindow, 0, 'f', 4),
        QStringLiteral("first 10k: %1 ms/line").arg(firstSeconds * 1000 / kWindow, 0, 'f', 4),
        ratio, "<= 1.50", ratio <= 1.5);
    reportValue("memory at 500k lines",
                QStringLiteral("%1 MiB resident").arg(residentKiB() / 1024.0, 0, 'f', 0));
    Declares::running = false;
    frmMain::unload();
    return 0;
}
