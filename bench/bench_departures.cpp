// Departures against a full user list: 3,000 "LEAVING:" lines reach the shown chat
// window through its receive step, in notifications of at most 32,767 bytes as the
// connection delivers them, once for players nobody has heard of and once for listed
// players in random order. Measured: the time the window spends taking the lines (the
// data-arrived handler), the median of five rounds, against the 20 ms the list may
// take; and, apart, the list's re-layout that the event loop does once after each
// notification.
#include "bench_report.h"
#include "bench_session.h"

#include "chatwindow/frm_main.h"
#include "shell/base/session_state.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRandomGenerator>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

constexpr int kDepartures = 3000;
constexpr int kRounds = 5;
constexpr double kBoundMs = 20.0;
constexpr qsizetype kNotificationBytes = 32767;

QByteArray playerName(int number)
{
    return "player" + QByteArray::number(number);
}

// Whole lines, cut into the notifications the connection would deliver.
QList<QByteArray> notifications(const QList<QByteArray>& lines)
{
    QList<QByteArray> cut{QByteArray()};
    for (const QByteArray& line : lines) {
        if (cut.last().size() + line.size() + 1 > kNotificationBytes)
            cut.append(QByteArray());
        cut.last() += line + '\n';
    }
    return cut;
}

void fillTheList(frmMain& window)
{
    QList<QByteArray> lines{"INARENA:0:0"};
    for (int i = 0; i < frmMain::kMaxUsers; ++i)
        lines.append("PLAYER:" + playerName(i) + ':' + QByteArray::number(i % 9) + ":0");
    for (const QByteArray& notification : notifications(lines)) {
        window.takeReceived(notification);
        QCoreApplication::processEvents();
    }
    if (window.UsrLst->count() != frmMain::kMaxUsers)
        qFatal("the list holds %d entries", int(window.UsrLst->count()));
}

struct Timing
{
    double takenMs = 0;  // inside the data-arrived handler
    double layoutMs = 0; // the event loop's work that follows, per notification
};

Timing depart(frmMain& window, const QList<QByteArray>& lines)
{
    Timing timing;
    QElapsedTimer clock;
    const QList<QByteArray> cut = notifications(lines);
    for (const QByteArray& notification : cut) {
        clock.start();
        window.takeReceived(notification);
        timing.takenMs += clock.nsecsElapsed() / 1e6;
        clock.start();
        QCoreApplication::processEvents();
        timing.layoutMs += clock.nsecsElapsed() / 1e6;
    }
    timing.layoutMs /= double(cut.size());
    return timing;
}

void report(const char* name, const std::vector<Timing>& rounds, const QString& what)
{
    std::vector<double> taken;
    std::vector<double> layout;
    for (const Timing& round : rounds) {
        taken.push_back(round.takenMs);
        layout.push_back(round.layoutMs);
    }
    const double ms = median(taken);
    reportFigure(
        name,
        QStringLiteral("median %1 ms for %2 %3").arg(ms, 0, 'f', 2).arg(kDepartures).arg(what),
        QStringLiteral("%1 ms").arg(kBoundMs, 0, 'f', 0), ms / kBoundMs, "<= 1.00", ms <= kBoundMs);
    reportValue("  then the list's layout",
                QStringLiteral("median %1 ms per notification").arg(median(layout), 0, 'f', 1));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    startBenchSession(app);

    frmMain& window = frmMain::instance();
    window.show();
    QCoreApplication::processEvents();

    const QList<QByteArray> nobody(kDepartures, QByteArray("LEAVING:nobody"));
    std::vector<Timing> strangers;
    std::vector<Timing> listed;
    QRandomGenerator random(3000);
    for (int round = 0; round < kRounds; ++round) {
        fillTheList(window);
        strangers.push_back(depart(window, nobody));

        std::vector<int> numbers(frmMain::kMaxUsers);
        std::iota(numbers.begin(), numbers.end(), 0);
        std::shuffle(numbers.begin(), numbers.end(), random);
        QList<QByteArray> leaving;
        for (int i = 0; i < kDepartures; ++i)
            leaving.append("LEAVING:" + playerName(numbers[i]));
        listed.push_back(depart(window, leaving));
        if (window.UsrLst->count() != frmMain::kMaxUsers - kDepartures)
            qFatal("%d entries left", int(window.UsrLst->count()));
    }
    report("departures, unknown names", strangers, QStringLiteral("unknown names, full list"));
    report("departures, listed names", listed, QStringLiteral("listed players, full list"));
    Declares::running = false;
    frmMain::unload();
    return 0;
}
