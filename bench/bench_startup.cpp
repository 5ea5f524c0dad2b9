// Start-up: time from process start to the connect dialog being shown, against a
// minimal Qt Widgets program that shows one window. Each is started 15 times, in turns,
// and the medians are compared.
#include "bench_report.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <vector>

namespace {

double timeToShown(const QString& program, const QString& workingDir)
{
    QProcess process;
    process.setWorkingDirectory(workingDir);
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    if (!process.waitForStarted(10000))
        qFatal("cannot start %s", qPrintable(program));
    while (!process.canReadLine() && process.state() == QProcess::Running)
        process.waitForReadyRead(10000);
    const double ms = clock.nsecsElapsed() / 1e6;
    if (process.readLine().trimmed() != "shown")
        qFatal("%s did not report its window", qPrintable(program));
    process.waitForFinished(10000);
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString here = QCoreApplication::applicationDirPath();
    // The client looks for Game.ini beside itself: run a copy from an empty folder.
    QTemporaryDir fresh;
    const QString client = fresh.filePath(QStringLiteral("startup_client"));
    QFile::copy(here + QStringLiteral("/startup_client"), client);
    const QString minimal = here + QStringLiteral("/startup_minimal");

    std::vector<double> ours;
    std::vector<double> bound;
    timeToShown(client, fresh.path()); // warm the file cache for both
    timeToShown(minimal, fresh.path());
    for (int i = 0; i < 15; ++i) {
        ours.push_back(timeToShown(client, fresh.path()));
        bound.push_back(timeToShown(minimal, fresh.path()));
    }
    const double ratio = median(ours) / median(bound);
    reportFigure("start-up to dialog", QStringLiteral("median %1 ms").arg(median(ours), 0, 'f', 1),
                 QStringLiteral("minimal Qt window %1 ms").arg(median(bound), 0, 'f', 1), ratio,
                 "<= 1.20", ratio <= 1.2);
    return 0;
}
