#pragma once

#include "chatwindow/transcript/line_store.h"
#include "chatwindow/transcript/row_breaks.h"
#include "chatwindow/transcript/text_pos.h"

#include <QFont>
#include <QList>
#include <QTextLayout>

#include <memory>
#include <unordered_map>

// One row as the view draws it: where its characters lie in its message, and their
// layout at the view's width.
struct ShownRow
{
    qint64 message = kHeadLine;
    RowSpan span;
    bool lastOfMessage = true;
    QTextLayout layout;
    qreal height = 0;
    quint64 lastUse = 0;
};

// The rows of the transcript as the view shows them: the empty first line, then the
// store's rows. Only rows on screen or near it are laid out; their layouts are kept
// for as long as they are used and dropped after, so that the history costs nothing
// to show, to scroll past or to re-wrap.
class TranscriptRows
{
public:
    // The margin around the text, as a rich-text view leaves it.
    static constexpr qreal kMargin = 4;

    explicit TranscriptRows(const LineStore& store) : store_(store) {}

    void setFont(const QFont& font);
    void setWidth(qreal width);

    qint64 last() const { return store_.rowCount() > 0 ? store_.endRow() - 1 : kHeadLine; }
    qint64 next(qint64 row) const { return row == kHeadLine ? store_.firstRow() : row + 1; }
    qint64 previous(qint64 row) const { return row == store_.firstRow() ? kHeadLine : row - 1; }
    // Rows counted from the empty first line, which is 0.
    qint64 indexOf(qint64 row) const { return row == kHeadLine ? 0 : row - store_.firstRow() + 1; }
    qint64 rowAt(qint64 index) const
    {
        return index <= 0 ? kHeadLine : store_.firstRow() + index - 1;
    }
    qint64 count() const { return store_.rowCount() + 1; }

    // The row laid out at the view's width.
    const ShownRow& row(qint64 row);
    qreal height(qint64 number) { return row(number).height; }
    // A line end follows the row in the text the reader copies: a CR inside its
    // message, or the line break before the next message.
    bool lineEndAfter(const ShownRow& shown) const
    {
        return shown.span.lineEnd || (shown.lastOfMessage && shown.message + 1 < store_.endId());
    }
    // The row that shows a place in the text.
    qint64 rowOf(const TextPos& pos);
    // The rows of a message.
    const QList<RowSpan>& spansOf(qint64 message);

    // Layouts of rows that are gone are dropped, and of rows unused for long.
    void forgetRemovedRows();
    void forgetUnused();
    void clear();
    int laidOut() const { return static_cast<int>(rows_.size()); }

private:
    void layOut(ShownRow& shown);

    const LineStore& store_;
    QFont baseFont_;
    QFont lookFonts_[4]; // by bold + 2 * italic
    qreal width_ = 0;
    quint64 uses_ = 0;
    std::unordered_map<qint64, std::unique_ptr<ShownRow>> rows_;
    // The rows of the few messages with more than one row that were shown lately.
    std::unordered_map<qint64, QList<RowSpan>> spans_;
};
