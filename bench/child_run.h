#pragma once

#include <QCoreApplication>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>

// Memory figures belong to a process: a benchmark that compares two transcripts runs
// itself once for each, in a process of its own, with these arguments.

// In the child: one figure for the parent.
inline void reportToParent(const char* key, double value)
{
    std::printf("figure %s %.6f\n", key, value);
    std::fflush(stdout);
}

// In the parent: runs this program with args and returns the figures it reported.
inline QMap<QString, double> runChild(const QStringList& args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), args);
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("%s %s failed", qPrintable(QCoreApplication::applicationFilePath()),
               qPrintable(args.join(u' ')));
    QMap<QString, double> figures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == "figure")
            figures.insert(QString::fromLatin1(parts[1]), parts[2].toDouble());
    }
    return figures;
}
