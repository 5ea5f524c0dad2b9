#include "chatwindow/transcript/arrival_times.h"

#include <QDateTime>

ArrivalClock systemClock()
{
    return [] { return QDateTime::currentSecsSinceEpoch(); };
}

QString arrivalTimeText(qint64 arrival, qint64 now)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(arrival);
    const QString time = when.toString(QStringLiteral("HH:mm:ss"));
    if (when.date() == QDateTime::fromSecsSinceEpoch(now).date())
        return time;
    return when.toString(QStringLiteral("yyyy-MM-dd ")) + time;
}
