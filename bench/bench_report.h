#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

// One line per figure: what was measured, the bound it is measured against, the ratio
// and whether the target holds.
inline void reportFigure(const char* name, const QString& ours, const QString& bound, double ratio,
                         const char* target, bool met)
{
    std::printf("%-26s %s | bound %s | ratio %.2f | target %s: %s\n", name, qPrintable(ours),
                qPrintable(bound), ratio, target, met ? "met" : "MISSED");
    std::fflush(stdout);
}

inline void reportValue(const char* name, const QString& value)
{
    std::printf("%-26s %s\n", name, qPrintable(value));
    std::fflush(stdout);
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// A memory figure of this process in KiB from /proc, by its key ("VmRSS:", "VmHWM:").
inline long statusKiB(QLatin1StringView key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QStringList lines = QString::fromLatin1(status.readAll()).split(u'\n');
    for (const QString& line : lines) {
        if (line.startsWith(key))
            return line.section(u' ', 1, 1, QString::SectionSkipEmpty).toLong();
    }
    return 0;
}

// Resident memory now, and the most it has been so far.
inline long residentKiB()
{
    return statusKiB(QLatin1StringView("VmRSS:"));
}
inline long peakResidentKiB()
{
    return statusKiB(QLatin1StringView("VmHWM:"));
}
