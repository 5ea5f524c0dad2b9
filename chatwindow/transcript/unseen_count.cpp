#include "chatwindow/transcript/unseen_count.h"

namespace {

// Beyond this the exact number tells the reader nothing more.
constexpr qint64 kMostCounted = 9999;

QString grouped(qint64 number)
{
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

} // namespace

QString newMessagesText(qint64 count)
{
    if (count == 1)
        return QStringLiteral("1 new message");
    if (count > kMostCounted)
        return grouped(kMostCounted) + QStringLiteral("+ new messages");
    return grouped(count) + QStringLiteral(" new messages");
}
