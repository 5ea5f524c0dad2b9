#include "chatwindow/transcript/transcript_accessible.h"

#include "chatwindow/transcript/transcript_selection.h"
#include "chatwindow/transcript/transcript_view.h"

#include <QAccessibleEvent>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace {

QAccessibleInterface* makeTranscriptAccessible(const QString& key, QObject* object)
{
    if (key == QLatin1String("TranscriptView"))
        if (auto* view = qobject_cast<TranscriptView*>(object))
            return new TranscriptAccessible(view);
    return nullptr;
}

qsizetype sizeOf(const LineStore& store, qint64 message)
{
    return message == kHeadLine ? 0 : store.text(message).size();
}

} // namespace

TranscriptAccessible::TranscriptAccessible(TranscriptView* view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{
}

void TranscriptAccessible::installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeTranscriptAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

TranscriptView* TranscriptAccessible::view() const
{
    return static_cast<TranscriptView*>(widget());
}

void* TranscriptAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TranscriptAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

const TranscriptAccessible::ShownText& TranscriptAccessible::shownText() const
{
    TranscriptView* v = view();
    const LineStore& store = v->store();
    const qint64 top = v->hitTest(QPointF(0, 0)).message;
    const qint64 bottom = v->hitTest(QPointF(0, v->viewport()->height() - 1)).message;
    const qint64 first =
        top == kHeadLine || top - kNearMessages < store.firstId() ? kHeadLine : top - kNearMessages;
    const qint64 last =
        store.isEmpty() ? kHeadLine : std::min(store.endId() - 1, bottom + kNearMessages);
    if (first == shown_.first && last == shown_.last && store.firstId() == shown_.storeFirst)
        return shown_;
    shown_ = ShownText{first, last, store.firstId(), QString(), {}};
    for (qint64 message = first; message <= last;
         message = message == kHeadLine ? store.firstId() : message + 1) {
        shown_.starts.append(static_cast<int>(shown_.text.size()));
        shown_.text += transcriptText(store, {message, 0}, {message, sizeOf(store, message)});
        if (message != last)
            shown_.text += u'\n';
    }
    return shown_;
}

int TranscriptAccessible::offsetOf(const TextPos& pos) const
{
    const ShownText& w = shownText();
    if (pos.message < w.first)
        return 0;
    if (pos.message > w.last)
        return static_cast<int>(w.text.size());
    const qint64 index = w.first == kHeadLine && pos.message != kHeadLine
                             ? pos.message - view()->store().firstId() + 1
                             : pos.message - w.first;
    const int start = w.starts[index];
    const int end = index + 1 < w.starts.size() ? w.starts[index + 1] - 1 : int(w.text.size());
    return static_cast<int>(std::min<qsizetype>(start + pos.offset, end));
}

TextPos TranscriptAccessible::placeAt(int offset) const
{
    const ShownText& w = shownText();
    const qsizetype index =
        std::upper_bound(w.starts.begin(), w.starts.end(), offset) - w.starts.begin() - 1;
    if (index < 0)
        return {w.first, 0};
    const qint64 message = w.first == kHeadLine
                               ? (index == 0 ? kHeadLine : view()->store().firstId() + index - 1)
                               : w.first + index;
    const qsizetype size = sizeOf(view()->store(), message);
    return {message, std::clamp<qsizetype>(offset - w.starts[index], 0, size)};
}

int TranscriptAccessible::offsetOfMessage(qint64 message) const
{
    const ShownText& w = shownText();
    if (message < w.first || message > w.last)
        return -1;
    return offsetOf({message, 0});
}

void TranscriptAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !view()->hasSelection())
        return;
    *startOffset = offsetOf(view()->selection().start());
    *endOffset = offsetOf(view()->selection().end());
}

int TranscriptAccessible::selectionCount() const
{
    return view()->hasSelection() ? 1 : 0;
}

void TranscriptAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TranscriptAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view()->clearSelection();
}

void TranscriptAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->setSelection(placeAt(startOffset), placeAt(endOffset));
}

int TranscriptAccessible::cursorPosition() const
{
    return offsetOf(view()->selection().cursor);
}

void TranscriptAccessible::setCursorPosition(int position)
{
    const TextPos pos = placeAt(position);
    view()->setSelection(pos, pos);
}

QString TranscriptAccessible::text(int startOffset, int endOffset) const
{
    const QString& all = shownText().text;
    const qsizetype start = std::clamp<qsizetype>(startOffset, 0, all.size());
    const qsizetype end =
        endOffset < 0 ? all.size() : std::clamp<qsizetype>(endOffset, start, all.size());
    return all.sliced(start, end - start);
}

int TranscriptAccessible::characterCount() const
{
    return static_cast<int>(shownText().text.size());
}

QRect TranscriptAccessible::characterRect(int offset) const
{
    const TextPos pos = placeAt(offset);
    const QRectF here = view()->placeRect(pos);
    if (here.isEmpty() && here.height() <= 0)
        return QRect();
    const QRectF next = view()->placeRect({pos.message, pos.offset + 1});
    const qreal width = next.top() == here.top() && next.left() > here.left()
                            ? next.left() - here.left()
                            : here.width();
    const QPoint topLeft = view()->viewport()->mapToGlobal(here.topLeft().toPoint());
    return QRect(topLeft, QSize(std::max(1, qRound(width)), qRound(here.height())));
}

int TranscriptAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint local = view()->viewport()->mapFromGlobal(point);
    if (!view()->viewport()->rect().contains(local))
        return -1;
    return offsetOf(view()->hitTest(local));
}

void TranscriptAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    Q_UNUSED(endIndex);
    view()->ensureVisible(placeAt(startIndex));
}

QString TranscriptAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // Every message is of one look; its colour is all there is to tell.
    const TextPos pos = placeAt(offset);
    *startOffset = offsetOf({pos.message, 0});
    *endOffset = offsetOf({pos.message, sizeOf(view()->store(), pos.message)});
    if (pos.message == kHeadLine)
        return QString();
    const QColor colour = QColor::fromRgb(view()->store().look(pos.message).colour);
    return QStringLiteral("fg-color:%1,%2,%3;")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue());
}

TranscriptAnnouncer::TranscriptAnnouncer(TranscriptView* view) : QObject(view), view_(view)
{
    quiet_.setSingleShot(true);
    quiet_.setInterval(kIntervalMs);
    connect(&quiet_, &QTimer::timeout, this, &TranscriptAnnouncer::announce);
}

void TranscriptAnnouncer::messagesShownUpTo(qint64 end)
{
    const qint64 from = std::exchange(shownUpTo_, end);
    if (!QAccessible::isActive() || from >= end)
        return;
    if (from_ < 0)
        from_ = from;
    end_ = end;
    if (!quiet_.isActive())
        announce();
}

void TranscriptAnnouncer::announce()
{
    if (from_ < 0)
        return;
    const LineStore& store = view_->store();
    const qint64 from = std::max({from_, store.firstId(), end_ - kMaxLines});
    const qint64 end = end_;
    from_ = end_ = -1;
    quiet_.start();
    if (from >= end || !QAccessible::isActive())
        return;
    auto* accessible =
        dynamic_cast<TranscriptAccessible*>(QAccessible::queryAccessibleInterface(view_));
    const int at = accessible ? accessible->offsetOfMessage(from) : -1;
    // Lines the reader has scrolled away from are not in the text handed over.
    if (at < 1)
        return;
    // Each line comes after a line break, as it was appended.
    const QString text =
        u'\n' + transcriptText(store, {from, 0}, {end - 1, store.text(end - 1).size()});
    QAccessibleTextInsertEvent event(view_, at - 1, text);
    QAccessible::updateAccessibility(&event);
}
