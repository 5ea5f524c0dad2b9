#include "chatwindow/transcript/transcript_view.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QToolTip>

void TranscriptView::goTo(ReadingMove where)
{
    switch (where) {
    case ReadingMove::PageBack:
        scroll_.scrollBy(-pageLessOneLine());
        break;
    case ReadingMove::PageOn:
        scroll_.scrollBy(pageLessOneLine());
        break;
    case ReadingMove::Oldest:
        scroll_.toTop();
        break;
    case ReadingMove::Newest:
        scroll_.toBottom();
        break;
    case ReadingMove::LeftOff:
        if (!marker_.above())
            return;
        // The marker near the top, under the last row of the message it follows.
        scroll_.scrollToIndex(rows_.indexOf(rows_.previous(store_.firstRowOf(*marker_.above()))));
        break;
    }
    scrolled();
}

qreal TranscriptView::pageLessOneLine() const
{
    // The line that was at the bottom edge is still on screen at the top after a page.
    const qreal line = QFontMetricsF(font()).lineSpacing();
    return std::max(line, viewport()->height() - line);
}

qint64 TranscriptView::newestOnScreen()
{
    const qreal height = viewport()->height();
    const TranscriptScroll::Place place = scroll_.place();
    qreal y = -place.offset;
    qint64 newest = kHeadLine;
    for (qint64 number = place.row; y < height; number = rows_.next(number)) {
        const ShownRow& row = rows_.row(number);
        // A row cut by the bottom edge is not read yet, unless it is taller than the view.
        if (y + row.height > height && y > 0)
            break;
        newest = row.message;
        y += row.height;
        if (number == rows_.last())
            break;
    }
    return newest;
}

void TranscriptView::noteShown()
{
    unseen_.shownUpTo(isFollowing() ? store_.endId() : newestOnScreen() + 1);
    const qint64 count = unseen_.count(store_.firstId(), store_.endId());
    if (count != unseenCount_) {
        unseenCount_ = count;
        emit unseenCountChanged(count);
    }
}

QString TranscriptView::arrivalText(qint64 message) const
{
    return arrivalTimeText(store_.arrival(message), clock_());
}

bool TranscriptView::event(QEvent* event)
{
    // The window passes its activation on to the controls in it.
    if (event->type() == QEvent::WindowDeactivate)
        marker_.windowLeft(store_.endId());
    else if (event->type() == QEvent::WindowActivate)
        marker_.windowActivated();
    return QAbstractScrollArea::event(event);
}

bool TranscriptView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    qreal top = 0;
    const qint64 number = rowUnder(help->pos(), top);
    const ShownRow& row = rows_.row(number);
    if (row.message == kHeadLine || help->pos().y() < top || help->pos().y() >= top + row.height) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // The tooltip stays while the pointer rests on the same row.
    const QRect rowRect(0, int(top), viewport()->width(), int(row.height));
    QToolTip::showText(help->globalPos(), arrivalText(row.message), viewport(), rowRect);
    return true;
}
