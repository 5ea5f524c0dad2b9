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
    // Each run is counted as one text, less the matches that run from one message into
    // the next: those are none.
    const qsizetype size = matcher_.size();
    qint64 count = 0;
    for (qint64 id = from; id < to;) {
        const LineStore::Run run = store_.run(id, to);
        const QByteArrayView text = run.text();
        const qint64 inRun = matcher_.count(text);
        count += inRun;
        for (qint64 message = run.firstId() + 1; inRun > 0 && size > 1 && message < run.endId();
             ++message) {
            const qsizetype boundary = run.startOf(message);
            for (qsizetype at = std::max<qsizetype>(0, boundary - size + 1); at < boundary; ++at) {
                if (matcher_.matchesAt(text, at))
                    --count;
            }
        }
        id = run.endId();
    }
    return count;
}

qint64 TranscriptSearch::countBetween(TextPos from, TextPos to) const
{
    // The matches of one message that begin in [from, to): those that lie whole in the
    // text from there to the last place where such a match can end.
    const auto countInText = [this](QByteArrayView text, qsizetype from, qsizetype to) {
        const qsizetype end = std::min(text.size(), to + matcher_.size() - 1);
        return from < end ? matcher_.count(text.sliced(from, end - from)) : 0;
    };
    if (!(from < to))
        return 0;
    qint64 count = 0;
    if (from.offset > 0) {
        const QByteArrayView text = store_.text(from.message);
        if (from.message == to.message)
            return countInText(text, from.offset, to.offset);
        count += countInText(text, from.offset, text.size());
        from = TextPos{from.message + 1, 0};
    }
    count += countIn(from.message, to.message);
    if (to.offset > 0)
        count += countInText(store_.text(to.message), 0, to.offset);
    return count;
}

TextPos TranscriptSearch::pieceEnd(TextPos from, qint64 end) const
{
    // A long message is counted a piece at a time, shorter ones a few together.
    const qsizetype size = store_.text(from.message).size();
    if (from.offset > 0 || size > kPieceBytes) {
        const qsizetype stop = from.offset + kPieceBytes;
        return stop < size ? TextPos{from.message, stop} : TextPos{from.message + 1, 0};
    }
    const LineStore::Run run = store_.run(from.message, end);
    qint64 to = from.message + 1;
    while (to < run.endId() && run.startOf(to + 1) <= kPieceBytes)
        ++to;
    return TextPos{to, 0};
}

qint64 TranscriptSearch::bytesIn(qint64 from, qint64 to) const
{
    qint64 bytes = 0;
    for (qint64 id = from; id < to;) {
        const LineStore::Run run = store_.run(id, to);
        bytes += run.text().size();
        id = run.endId();
    }
    return bytes;
}

void TranscriptSearch::addToBlocks(qint64 from, qint64 to)
{
    for (qint64 id = from; id < to;) {
        const LineStore::Run run = store_.run(id, to);
        for (; id < run.endId(); ++id) {
            const qint64 size = run.startOf(id + 1) - run.startOf(id);
            if (blocks_.empty() || blocks_.back().end - blocks_.back().first >= kBlockMessages ||
                (blocks_.back().bytes > 0 && blocks_.back().bytes + size > kBlockBytes)) {
                blocks_.push_back(Block{id, id, 0, TextPos{id, 0}, 0});
                ++uncounted_;
            } else if (blocks_.back().counted()) {
                ++uncounted_;
            }
            blocks_.back().end = id + 1;
            blocks_.back().bytes += size;
        }
    }
}

qint64 TranscriptSearch::blockOf(const TextPos& pos) const
{
    const auto after =
        std::upper_bound(blocks_.begin(), blocks_.end(), pos.message,
                         [](qint64 message, const Block& b) { return message < b.first; });
    const qint64 index = firstBlock_ + qint64(after - blocks_.begin()) - 1;
    return std::clamp(index, firstBlock_, lastBlock());
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
    firstBlock_ = 0;
    uncounted_ = 0;
    seenFirstId_ = store_.firstId();
    seenEndId_ = store_.endId();
    if (matcher_.matchesNothing() || store_.isEmpty()) {
        anchor_.reset();
        return;
    }
    addToBlocks(seenFirstId_, seenEndId_);
    settleNext_ = countFrom_ = blockOf(*anchor_);
}

void TranscriptSearch::countBlock(qint64 index, QDeadlineTimer deadline)
{
    Block& counting = block(index);
    while (!counting.counted()) {
        const TextPos to = pieceEnd(counting.countedTo, counting.end);
        counting.count += countBetween(counting.countedTo, to);
        counting.countedTo = to;
        if (counting.counted())
            --uncounted_;
        else if (deadline.hasExpired())
            return;
    }
}

std::optional<qint64> TranscriptSearch::nextToCount() const
{
    if (uncounted_ == 0)
        return std::nullopt;
    const qint64 from = std::clamp(countFrom_, firstBlock_, lastBlock());
    for (qint64 index = from; index >= firstBlock_; --index) {
        if (!block(index).counted())
            return index;
    }
    for (qint64 index = lastBlock(); index > from; --index) {
        if (!block(index).counted())
            return index;
    }
    return std::nullopt;
}

bool TranscriptSearch::countSome(QDeadlineTimer deadline)
{
    while (const std::optional<qint64> index = nextToCount()) {
        countBlock(*index, deadline);
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
        if (!looked.counted())
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
        if (!looked.counted())
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
    // Blocks whose messages all went are forgotten; what is left of the one the oldest
    // went from is counted again, unless it had no match to lose. A block holds little
    // text, so this costs little whatever went.
    if (first != seenFirstId_) {
        while (!blocks_.empty() && blocks_.front().end <= first) {
            if (!blocks_.front().counted())
                --uncounted_;
            blocks_.pop_front();
            ++firstBlock_;
        }
        if (!blocks_.empty() && blocks_.front().first < first) {
            Block& front = blocks_.front();
            front.first = first;
            front.bytes = bytesIn(first, front.end);
            if (front.countedTo.message < first) {
                front.countedTo = TextPos{first, 0};
                front.count = 0;
            } else if (front.count > 0) {
                front.count = countBetween(TextPos{first, 0}, front.countedTo);
            }
        }
    }
    // New messages are counted now, unless their block is still being counted.
    const qint64 from = std::max(seenEndId_, first);
    if (from < end) {
        const qint64 lastBefore = lastBlock();
        const bool lastCounted = blocks_.empty() || blocks_.back().counted();
        addToBlocks(from, end);
        for (qint64 index = std::max(lastBefore, firstBlock_); index <= lastBlock(); ++index) {
            if (index != lastBefore || lastCounted)
                countBlock(index);
        }
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
    qint64 number = 1 + countBetween(TextPos{current_->message, current_->offset + 1},
                                     TextPos{blockEnd(index), 0});
    for (qint64 newer = index + 1; newer <= lastBlock(); ++newer)
        number += block(newer).count;
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
    // Only as many blocks are counted as it takes; the rest goes on in slices.
    while (anchor_) {
        const std::optional<qint64> index = nextToCount();
        if (!index)
            break;
        countBlock(*index);
        settle();
    }
    settle();
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
