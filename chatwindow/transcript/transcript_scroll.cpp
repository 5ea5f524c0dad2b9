#include "chatwindow/transcript/transcript_scroll.h"

#include <algorithm>

TranscriptScroll::Place TranscriptScroll::place()
{
    return following_ ? bottom() : place_;
}

TranscriptScroll::Place TranscriptScroll::bottom()
{
    // The last row ends a margin above the view's bottom edge.
    qreal room = viewHeight_ - TranscriptRows::kMargin;
    for (qint64 row = rows_.last();; row = rows_.previous(row)) {
        const qreal height = rows_.height(row);
        if (height >= room)
            return {row, height - room};
        room -= height;
        if (row == kHeadLine)
            return {kHeadLine, std::max(-TranscriptRows::kMargin, -room)};
    }
}

void TranscriptScroll::settle(Place wanted)
{
    // Carry the offset over row boundaries until it lies within its row.
    while (wanted.row != rows_.last() && wanted.offset >= rows_.height(wanted.row)) {
        wanted.offset -= rows_.height(wanted.row);
        wanted.row = rows_.next(wanted.row);
    }
    while (wanted.row != kHeadLine && wanted.offset < 0) {
        wanted.row = rows_.previous(wanted.row);
        wanted.offset += rows_.height(wanted.row);
    }
    if (!(wanted < bottom())) {
        following_ = true;
        return;
    }
    following_ = false;
    place_ = wanted < top() ? top() : wanted;
}

void TranscriptScroll::scrollBy(qreal pixels)
{
    Place wanted = place();
    wanted.offset += pixels;
    settle(wanted);
}

void TranscriptScroll::toTop()
{
    settle(top());
}

void TranscriptScroll::scrollToIndex(qint64 index)
{
    if (index >= maximum()) {
        following_ = true;
        return;
    }
    settle(index <= 0 ? top() : Place{rows_.rowAt(index), 0});
}

void TranscriptScroll::ensureVisible(qint64 row)
{
    const Place now = place();
    if (row < now.row || (row == now.row && now.offset > 0)) {
        settle({row, row == kHeadLine ? -TranscriptRows::kMargin : 0});
        return;
    }
    // Below the top: scroll until its bottom is at the view's bottom edge, if it is not
    // there yet.
    qreal bottomEdge = -now.offset;
    for (qint64 r = now.row; bottomEdge <= viewHeight_; r = rows_.next(r)) {
        bottomEdge += rows_.height(r);
        if (r == row) {
            if (bottomEdge > viewHeight_)
                scrollBy(bottomEdge - viewHeight_);
            return;
        }
        if (r == rows_.last())
            return;
    }
    settle({row, rows_.height(row) - viewHeight_});
}

void TranscriptScroll::rowsRemoved()
{
    if (!following_ && place_.row != kHeadLine && place_.row < rows_.next(kHeadLine))
        place_ = top();
}

TranscriptScroll::Kept TranscriptScroll::keep()
{
    if (following_)
        return {};
    return {false, place_, rows_.height(place_.row)};
}

void TranscriptScroll::restore(const Kept& kept)
{
    if (kept.following) {
        following_ = true;
        return;
    }
    Place wanted = kept.place;
    if (wanted.offset > 0 && kept.rowHeight > 0)
        wanted.offset = wanted.offset * rows_.height(wanted.row) / kept.rowHeight;
    settle(wanted);
}

qint64 TranscriptScroll::maximum()
{
    const Place end = bottom();
    return rows_.indexOf(end.row) + (end.offset > 0 ? 1 : 0);
}

qint64 TranscriptScroll::value()
{
    return following_ ? maximum() : rows_.indexOf(place_.row);
}
