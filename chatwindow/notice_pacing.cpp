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
    if (text.size() <= limit)
        return text;
    qsizetype keep = limit - 1;
    // Never half of a character outside the basic plane.
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QChar(0x2026);
}
