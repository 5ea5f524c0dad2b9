#pragma once

#include "chatwindow/transcript/text_look.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

// The messages of the transcript in arrival order: each its text, one byte a character
// in Windows-1252 (the characters a server can send), its look, and when it arrived (to
// the second, in two bytes: see line_store.cpp). Messages are kept in
// chunks of about 64 KiB, so that the oldest go by whole chunks: removing one moves and
// renumbers nothing that stays, whatever the number kept.
//
// Messages have ids that only grow, and rows (row_breaks.h) with numbers that only
// grow: removing the oldest changes no id and no row number of what stays.
//
// A server must not be able to grow the store without limit, whatever its lines look
// like: the newest messages are kept up to kKeepMessages, kMaxTextBytes of text and
// kMaxRows rows, whichever is reached first. One message holds at most kMaxMessageBytes
// and kMaxMessageRows; a longer one is cut, and says so at its end.
class LineStore
{
    struct Entry;
    struct Chunk;

public:
    static constexpr qsizetype kKeepMessages = 200000;
    static constexpr qint64 kMaxTextBytes = 32 * 1024 * 1024;
    static constexpr qint64 kMaxRows = 400000;
    static constexpr qsizetype kMaxMessageBytes = 1024 * 1024;
    static constexpr int kMaxMessageRows = 10000;

    struct Limits
    {
        qsizetype messages = kKeepMessages;
        qint64 textBytes = kMaxTextBytes;
        qint64 rows = kMaxRows;
    };

    LineStore();
    ~LineStore();
    LineStore(const LineStore&) = delete;
    LineStore& operator=(const LineStore&) = delete;

    // Adds a message after the newest and removes the oldest while the store holds more
    // than its limits. Returns the new message's id. arrival: when it came, in seconds
    // since the epoch.
    qint64 append(QByteArrayView text, const TextLook& look, qint64 arrival = 0);

    qint64 firstId() const { return firstId_; }
    qint64 endId() const { return endId_; }
    qsizetype count() const { return static_cast<qsizetype>(endId_ - firstId_); }
    bool isEmpty() const { return endId_ == firstId_; }
    qint64 textBytes() const { return textBytes_; }
    qint64 firstRow() const;
    qint64 endRow() const { return endRow_; }
    qint64 rowCount() const { return endRow_ - firstRow(); }

    // Of a message that is kept, firstId() <= id < endId():
    QByteArrayView text(qint64 id) const;
    const TextLook& look(qint64 id) const;
    qint64 arrival(qint64 id) const;
    qint64 firstRowOf(qint64 id) const;
    int rowsOf(qint64 id) const;
    // The message shown on a row that is kept, firstRow() <= row < endRow().
    qint64 messageAtRow(qint64 row) const;

    // Kept messages that lie back to back in memory, so that a search reads their texts
    // in one pass.
    class Run
    {
    public:
        qint64 firstId() const { return firstId_; }
        qint64 endId() const { return endId_; }
        QByteArrayView text() const { return text_; }
        // Where a message of the run begins in text(); endId() gives the end of text().
        qsizetype startOf(qint64 id) const;

    private:
        friend class LineStore;
        const Chunk* chunk_ = nullptr;
        qint64 firstId_ = 0;
        qint64 endId_ = 0;
        QByteArrayView text_;
    };
    // The run that starts with a kept message and ends before end or where its chunk does.
    Run run(qint64 id, qint64 end) const;

    // For tests: lower limits, so that a test need not send 200,000 lines.
    void setLimitsForTests(const Limits& limits);
    // The text bytes that the chunks hold, live or not yet freed.
    qint64 heldBytes() const;

private:
    const Chunk& chunkOf(qint64 id) const;
    const Entry& entryOf(qint64 id) const;
    void removeOldest();
    Chunk& chunkFor(qsizetype bytes, qint64 arrival);

    std::deque<std::unique_ptr<Chunk>> chunks_;
    LookTable looks_;
    Limits limits_;
    qint64 firstId_ = 0;
    qint64 endId_ = 0;
    qint64 endRow_ = 0;
    qint64 textBytes_ = 0;
};
