// Idle: CPU time used by a connected, idle client over 30 seconds (or the number of
// seconds given as the first argument), with the chat window shown and the keep-alive
// timer running.
#include "bench_report.h"
#include "bench_session.h"
#include "loopback_peer.h"

#include "chatwindow/frm_main.h"
#include "session/socket_component.h"
#include "shell/base/session_state.h"

#include <QApplication>
#include <QTimer>

#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    startBenchSession(app);
    const int seconds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 30;

    LoopbackPeer peer;
    frmMain& window = frmMain::instance();
    connectToPeer(*window.Socket1, peer);
    // As the connect dialog's hand-over leaves it, without a dialog or a settings file.
    window.show();
    window.TmrKeepAlive->start();
    runUntil([] { return false; }, 1000); // settle after the window is shown

    const double before = cpuSeconds();
    QTimer::singleShot(seconds * 1000, [] { QCoreApplication::exit(0); });
    QApplication::exec();
    const double used = cpuSeconds() - before;
    const double percent = used / seconds * 100.0;
    reportFigure("idle CPU",
                 QStringLiteral("%1 ms CPU in %2 s (%3% of a core)")
                     .arg(used * 1000, 0, 'f', 1)
                     .arg(seconds)
                     .arg(percent, 0, 'f', 3),
                 QStringLiteral("0.2% of a core"), percent / 0.2, "<= 1.00", percent <= 0.2);
    Declares::running = false;
    frmMain::unload();
    return 0;
}
