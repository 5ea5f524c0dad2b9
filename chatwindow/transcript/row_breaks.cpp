#include "chatwindow/transcript/row_breaks.h"

#include <algorithm>
#include <cstring>

bool RowWalker::next(RowSpan& row)
{
    if (done_)
        return false;
    const qsizetype size = text_.size();
    const char* data = text_.data();
    const qsizetype limit = std::min(size, at_ + kMaxRowChars);
    qsizetype end = at_;
    while (end < limit && data[end] != '\r' && data[end] != '\n')
        ++end;
    row.start = at_;
    if (end < size && (data[end] == '\r' || data[end] == '\n')) {
        row.end = end;
        row.lineEnd = true;
        at_ = end + (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? 2 : 1);
        return true;
    }
    if (end == size) {
        row.end = end;
        row.lineEnd = false;
        done_ = true;
        return true;
    }
    // Too long for one row: break after the last blank of its second half, if any.
    const qsizetype half = at_ + kMaxRowChars / 2;
    qsizetype cut = end;
    while (cut > half && data[cut - 1] != ' ')
        --cut;
    row.end = cut > half ? cut : end;
    row.lineEnd = false;
    at_ = row.end;
    return true;
}

int countRows(QByteArrayView text)
{
    RowWalker walker(text);
    RowSpan row;
    int rows = 0;
    while (walker.next(row))
        ++rows;
    return rows;
}

QList<RowSpan> rowSpans(QByteArrayView text)
{
    QList<RowSpan> rows;
    RowWalker walker(text);
    RowSpan row;
    while (walker.next(row))
        rows.append(row);
    return rows;
}
