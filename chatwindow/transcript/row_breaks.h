#pragma once

#include <QByteArrayView>
#include <QList>

// How a message is cut into the rows the transcript shows it on. A CR, a LF or a CR LF
// ends a row, as a line break does in the text; a row longer than kMaxRowChars goes on
// in the next row, broken after its last blank where there is one, so that no row is
// too long to lay out at once.
struct RowSpan
{
    qsizetype start = 0;
    qsizetype end = 0; // the row's characters are [start, end)
    // A line end follows the row's characters; otherwise the next row continues them,
    // or the message ends.
    bool lineEnd = false;
};

inline constexpr qsizetype kMaxRowChars = 4096;

// Walks the rows of a text in order.
class RowWalker
{
public:
    explicit RowWalker(QByteArrayView text) : text_(text) {}

    // The next row, or false after the last one. An empty text has one empty row, and a
    // text that ends in a line end has an empty row after it.
    bool next(RowSpan& row);
    // Where the next row starts.
    qsizetype position() const { return at_; }

private:
    QByteArrayView text_;
    qsizetype at_ = 0;
    bool done_ = false;
};

int countRows(QByteArrayView text);
QList<RowSpan> rowSpans(QByteArrayView text);
