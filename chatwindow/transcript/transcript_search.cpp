#include "chatwindow/transcript/transcript_search.h"

#include <algorithm>

template <typename Found>
void TranscriptSearch::forEachMatch(qint64 from, qint64 to, Found found) const
{
    const qsizetype size = matcher_.size();
    for (qint64 id = from; id < to;) {
        // Messages that lie back to back are searched as one text; a match that runs
        // from one into the next is none.
        const LineStore::Run run = store_.run(id, to);
        const QByteArrayView text = run.text();
        qint64 message = run.firstId();
        qsizetype start = 0;
        qsizetype end = run.startOf(message + 1);
        for (qsizetype at = matcher_.indexIn(text); at >= 0; at = matcher_.indexIn(text, at + 1)) {
            while (at >= end) {
                ++message;
                start = end;
                end = run.startOf(message + 1);
            }
            if (at + size <= end && !found(TextPos{message, at - start}))
                return;
        }
        id = run.endId();
    }
}

qint64 TranscriptSearch::countIn(qint64 from, qint64 to) const
{
    qint64 count = 0;
    forEachMatch(from, to, [&count](const TextPos&) {
        ++count;
        return true;
    });
    return count;
}

qint64 TranscriptSearch::blockStart(qint64 index) const
{
    return std::max(index * kBlockMessages, store_.firstId());
}

qint64 TranscriptSearch::blockEnd(qint64 index) const
{
    return std::min((index + 1) * kBlockMessages, store_.endId());
}

qint64 TranscriptSearch::blockOf(const TextPos& pos) const
{
    return std::clamp(pos.message / kBlockMessages, firstBlock_, lastBlock());
}

void TranscriptSearch::setTerm(const QString& term)
{
    matcher_ = TextMatcher(term);
    if (current_)
        anchor_ = TextPos{current_->message, current_->offset + 1};
    else if (!anchor_)
        anchor_ = TextPos{store_.endId(), 0};
    current_.reset();
    blocks_.clear();
    uncounted_ = 0;
    seenFirstId_ = store_.firstId();
    seenEndId_ = store_.endId();
    if (matcher_.matchesNothing() || store_.isEmpty()) {
        anchor_.reset();
        return;
    }
    firstBlock_ = seenFirstId_ / kBlockMessages;
    blocks_.resize(size_t((seenEndId_ - 1) / kBlockMessages - firstBlock_ + 1));
    uncounted_ = qint64(blocks_.size());
    settleNext_ = countFrom_ = blockOf(*anchor_);
}

void TranscriptSearch::countBlock(qint64 index)
{
    Block& counting = block(index);
    if (counting.counted)
        return;
    counting.count = countIn(blockStart(index), blockEnd(index));
    counting.counted = true;
    --uncounted_;
}

std::optional<qint64> TranscriptSearch::nextToCount() const
{
    if (uncounted_ == 0)
        return std::nullopt;
    const qint64 from = std::clamp(countFrom_, firstBlock_, lastBlock());
    for (qint64 index = from; index >= firstBlock_; --index) {
        if (!blocks_[size_t(index - firstBlock_)].counted)
            return index;
    }
    for (qint64 index = lastBlock(); index > from; --index) {
        if (!blocks_[size_t(index - firstBlock_)].counted)
            return index;
    }
    return std::nullopt;
}

bool TranscriptSearch::countSome(QDeadlineTimer deadline)
{
    while (const std::optional<qint64> index = nextToCount()) {
        countBlock(*index);
        settle();
        if (deadline.hasExpired())
            break;
    }
    settle();
    return isCounted();
}

void TranscriptSearch::settle()
{
    if (!anchor_)
        return;
    // The newest match before the anchor: blocks are looked at from the anchor's down,
    // each once it is counted.
    for (; settleNext_ >= firstBlock_ && !blocks_.empty(); --settleNext_) {
        const Block& looked = block(settleNext_);
        if (!looked.counted)
            return;
        if (looked.count == 0)
            continue;
        if (const std::optional<TextPos> found = lastIn(settleNext_, anchor_)) {
            current_ = found;
            anchor_.reset();
            return;
        }
    }
    // None before it: the newest of all.
    for (qint64 index = lastBlock(); index >= firstBlock_; --index) {
        const Block& looked = block(index);
        if (!looked.counted)
            return;
        if (looked.count > 0) {
            current_ = lastIn(index);
            anchor_.reset();
            return;
        }
    }
    anchor_.reset();
}

void TranscriptSearch::storeChanged()
{
    const qint64 first = store_.firstId();
    const qint64 end = store_.endId();
    if (matcher_.matchesNothing()) {
        seenFirstId_ = first;
        seenEndId_ = end;
        return;
    }
    // Blocks whose messages all went are forgotten; the one the oldest went from is
    // counted again, unless it had no match to lose.
    const qint64 countedEnd = std::max(seenEndId_, first);
    if (first != seenFirstId_) {
        while (!blocks_.empty() && (firstBlock_ + 1) * kBlockMessages <= first) {
            if (!blocks_.front().counted)
                --uncounted_;
            blocks_.pop_front();
            ++firstBlock_;
        }
        if (!blocks_.empty() && blocks_.front().counted && blocks_.front().count > 0)
            blocks_.front().count =
                countIn(first, std::min((firstBlock_ + 1) * kBlockMessages, countedEnd));
    }
    if (blocks_.empty())
        firstBlock_ = first / kBlockMessages;
    // New messages are counted now, unless their block is still to be counted whole.
    for (qint64 id = countedEnd; id < end;) {
        const qint64 index = id / kBlockMessages;
        while (blocks_.empty() || lastBlock() < index)
            blocks_.push_back(Block{0, true});
        const qint64 to = std::min((index + 1) * kBlockMessages, end);
        Block& adding = block(index);
        if (adding.counted)
            adding.count += countIn(id, to);
        id = to;
    }
    seenFirstId_ = first;
    seenEndId_ = end;

    if (current_ && current_->message < first)
        current_ = oldestIn(firstBlock_, lastBlock());
    // Matches that arrive while there was none get a current one.
    if (!current_ && !anchor_ && !blocks_.empty()) {
        anchor_ = TextPos{end, 0};
        settleNext_ = lastBlock();
    }
    settle();
}

qint64 TranscriptSearch::count() const
{
    qint64 total = 0;
    for (const Block& counted : blocks_)
        total += counted.count;
    return total;
}

qint64 TranscriptSearch::currentNumber()
{
    if (!current_ || !isCounted())
        return 0;
    const qint64 index = blockOf(*current_);
    qint64 number = 1;
    for (qint64 newer = index + 1; newer <= lastBlock(); ++newer)
        number += block(newer).count;
    forEachMatch(current_->message, blockEnd(index), [this, &number](const TextPos& place) {
        if (*current_ < place)
            ++number;
        return true;
    });
    return number;
}

std::optional<TextPos> TranscriptSearch::lastIn(qint64 index, std::optional<TextPos> before)
{
    std::optional<TextPos> last;
    forEachMatch(blockStart(index), blockEnd(index), [&](const TextPos& place) {
        if (before && !(place < *before))
            return false;
        last = place;
        return true;
    });
    return last;
}

std::optional<TextPos> TranscriptSearch::firstIn(qint64 index, std::optional<TextPos> after)
{
    std::optional<TextPos> first;
    const qint64 from = after ? std::max(after->message, blockStart(index)) : blockStart(index);
    forEachMatch(from, blockEnd(index), [&](const TextPos& place) {
        if (after && !(*after < place))
            return true;
        first = place;
        return false;
    });
    return first;
}

std::optional<TextPos> TranscriptSearch::newestIn(qint64 from, qint64 to)
{
    for (qint64 index = to; index >= from; --index) {
        countBlock(index);
        if (block(index).count > 0)
            return lastIn(index);
    }
    return std::nullopt;
}

std::optional<TextPos> TranscriptSearch::oldestIn(qint64 from, qint64 to)
{
    for (qint64 index = from; index <= to; ++index) {
        countBlock(index);
        if (block(index).count > 0)
            return firstIn(index);
    }
    return std::nullopt;
}

bool TranscriptSearch::settleNow()
{
    // Asked for the next match before the current one is settled: the one settled on
    // is the next.
    if (!anchor_)
        return false;
    countSome(QDeadlineTimer(QDeadlineTimer::Forever));
    return true;
}

void TranscriptSearch::toOlder()
{
    if (settleNow() || !current_)
        return;
    const qint64 index = blockOf(*current_);
    std::optional<TextPos> found = lastIn(index, current_);
    if (!found && index > firstBlock_)
        found = newestIn(firstBlock_, index - 1);
    if (!found)
        found = newestIn(index, lastBlock());
    current_ = found;
}

void TranscriptSearch::toNewer()
{
    if (settleNow() || !current_)
        return;
    const qint64 index = blockOf(*current_);
    std::optional<TextPos> found = firstIn(index, current_);
    if (!found && index < lastBlock())
        found = oldestIn(index + 1, lastBlock());
    if (!found)
        found = oldestIn(firstBlock_, index);
    current_ = found;
}
