#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <utility>

// The sender and text of a message meant for the user, as a desktop notification shows
// them.
struct PendingNotice
{
    QString sender;
    QString text;
};

// Paces the desktop notifications of a flood of messages: at most one a gap (a second).
// The first message after a quiet gap goes out at once; later ones are held, each newer
// one replacing the one held, and the newest goes out when the gap has passed, so that
// the last message of a burst is always shown, at most a gap late. Times are
// milliseconds on a monotonic clock, given by the caller.
class NoticePacing
{
public:
    static constexpr qint64 kGapMs = 1000;

    // A message arrives at now: handed back when it may be shown now, else held.
    std::optional<PendingNotice> offer(PendingNotice notice, qint64 now);

    // When the held message may be shown; none when nothing is held.
    std::optional<qint64> releaseAt() const;

    // The held message, when its time has come at now (it then counts as shown).
    std::optional<PendingNotice> release(qint64 now);

    // Forgets the held message: the user has seen the window.
    void dropHeld() { held_.reset(); }

private:
    bool mayShow(qint64 now) const;

    std::optional<qint64> lastShown_;
    std::optional<PendingNotice> held_;
};

// The text cut to at most limit characters, the last of them an ellipsis when cut.
QString cutForNotice(const QString& text, int limit);
