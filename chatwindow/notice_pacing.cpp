#include "chatwindow/notice_pacing.h"

bool NoticePacing::mayShow(qint64 now) const
{
    return !lastShown_ || now - *lastShown_ >= kGapMs;
}

std::optional<PendingNotice> NoticePacing::offer(PendingNotice notice, qint64 now)
{
    // While one is held, the newer one takes its place and its time: an older message
    // must never follow a newer one.
    if (held_ || !mayShow(now)) {
        held_ = std::move(notice);
        return std::nullopt;
    }
    lastShown_ = now;
    return notice;
}

std::optional<qint64> NoticePacing::releaseAt() const
{
    if (!held_)
        return std::nullopt;
    return lastShown_ ? *lastShown_ + kGapMs : 0;
}

std::optional<PendingNotice> NoticePacing::release(qint64 now)
{
    if (!held_ || !mayShow(now))
        return std::nullopt;
    lastShown_ = now;
    return std::exchange(held_, std::nullopt);
}

QString cutForNotice(const QString& text, int limit)
{
    // The texts come from the wire, one character a byte, so no character is cut in two.
    if (text.size() <= limit)
        return text;
    return text.left(limit - 1) + QChar(0x2026);
}
