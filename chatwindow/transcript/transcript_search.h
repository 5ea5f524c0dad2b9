#pragma once

#include "chatwindow/transcript/line_store.h"
#include "chatwindow/transcript/text_matcher.h"
#include "chatwindow/transcript/text_pos.h"

#include <QDeadlineTimer>

#include <deque>
#include <optional>

// Finding a term in everything the transcript keeps: how many matches there are, which
// one is the current one, and the next older or newer one. A match lies within one
// message; it is named by where it begins.
//
// Nothing is kept per match or per message, so a term that occurs millions of times
// costs no memory: the messages are counted in blocks, each block's count kept, and a
// block is read again when its matches are needed. A block holds at most kBlockMessages
// messages and kBlockBytes of text (or one longer message), so that reading one again
// costs little whatever the lines look like. Counting all of the store takes a few
// milliseconds a term; countSome() does it in slices of at most kPieceBytes between
// looks at the clock, so that typing a term never holds up the window. While messages
// arrive and the oldest go, only the new ones and what is left of the block the oldest
// went from are read again.
class TranscriptSearch
{
public:
    static constexpr qint64 kBlockMessages = 1024;
    static constexpr qint64 kBlockBytes = 64 * 1024;
    static constexpr qsizetype kPieceBytes = 32 * 1024;

    explicit TranscriptSearch(const LineStore& store) : store_(store) {}

    // Looks for another term (an empty one finds nothing). The current match becomes the
    // newest match at or before the last current one, or else the newest of all, as soon
    // as the messages it lies in are counted.
    void setTerm(const QString& term);
    const TextMatcher& matcher() const { return matcher_; }

    // Counts more messages until the deadline passes; true once all of them are counted.
    bool countSome(QDeadlineTimer deadline);
    bool isCounted() const { return uncounted_ == 0; }
    // After messages arrived or the oldest went: counts the new messages and forgets the
    // matches of the ones gone. A current match that went becomes the oldest one kept.
    void storeChanged();

    // The matches in everything kept, once counted.
    qint64 count() const;
    std::optional<TextPos> current() const { return current_; }
    // The current match's number, 1 for the newest, once counted; 0 without one.
    qint64 currentNumber();
    // The next older match, from the oldest round to the newest; and the other way. Before
    // the current match is settled, either settles it. Neither waits for the count.
    void toOlder();
    void toNewer();

private:
    struct Block
    {
        qint64 first = 0;
        qint64 end = 0;
        qint64 bytes = 0;
        // The matches that begin before countedTo are counted.
        TextPos countedTo;
        qint64 count = 0;

        bool counted() const { return countedTo >= TextPos{end, 0}; }
    };

    // Calls found(place) for each match in messages [from, to), oldest first, while it
    // returns true.
    template <typename Found> void forEachMatch(qint64 from, qint64 to, Found found) const;
    qint64 countIn(qint64 from, qint64 to) const;
    // The matches that begin at or after from and before to, in kept messages.
    qint64 countBetween(TextPos from, TextPos to) const;
    // Where a slice of counting that starts at from, in a block ending at end, stops.
    TextPos pieceEnd(TextPos from, qint64 end) const;
    qint64 bytesIn(qint64 from, qint64 to) const;
    // Adds messages [from, to) to the newest block while they fit, then to new ones.
    void addToBlocks(qint64 from, qint64 to);

    qint64 blockStart(qint64 index) const { return block(index).first; }
    qint64 blockEnd(qint64 index) const { return block(index).end; }
    qint64 lastBlock() const { return firstBlock_ + qint64(blocks_.size()) - 1; }
    qint64 blockOf(const TextPos& pos) const;
    Block& block(qint64 index) { return blocks_[size_t(index - firstBlock_)]; }
    const Block& block(qint64 index) const { return blocks_[size_t(index - firstBlock_)]; }
    // Counts more of a block, a slice at a time, until it is counted or the deadline
    // passes.
    void countBlock(qint64 index,
                    QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
    std::optional<qint64> nextToCount() const;
    // The newest match of a block before a place, and the oldest after one.
    std::optional<TextPos> lastIn(qint64 index, std::optional<TextPos> before = std::nullopt);
    std::optional<TextPos> firstIn(qint64 index, std::optional<TextPos> after = std::nullopt);
    // The newest match in blocks [from, to], newest block first, counting as it goes.
    std::optional<TextPos> newestIn(qint64 from, qint64 to);
    std::optional<TextPos> oldestIn(qint64 from, qint64 to);
    void settle();
    // Settles the current match if it is not; true if it was not.
    bool settleNow();

    const LineStore& store_;
    TextMatcher matcher_;
    // Absolute numbers: the oldest block kept is number firstBlock_.
    std::deque<Block> blocks_;
    qint64 firstBlock_ = 0;
    qint64 uncounted_ = 0;
    // The ids kept when the search last looked at the store.
    qint64 seenFirstId_ = 0;
    qint64 seenEndId_ = 0;
    std::optional<TextPos> current_;
    // Until the current match is settled: it is the newest match before this place, and
    // the blocks from settleNext_ down are still to be looked at for it.
    std::optional<TextPos> anchor_;
    qint64 settleNext_ = 0;
    // Where counting starts: the block of the anchor, then older ones, then the newest.
    qint64 countFrom_ = 0;
};
