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

const AccessibleWindow& TranscriptAccessible::told() const
{
    return view()->announcer().told();
}

int TranscriptAccessible::offsetOf(const TextPos& pos) const
{
    const AccessibleWindow& w = told();
    const qsizetype index = w.indexAtOrAfter(pos.message);
    if (index >= w.ids.size())
        return static_cast<int>(w.text.size());
    if (w.ids[index] != pos.message || pos.message == kHeadLine)
        return w.starts[index];
    const int within = shownOffset(view()->store().text(pos.message), pos.offset);
    return std::min(w.starts[index] + within, w.endOf(index));
}

TextPos TranscriptAccessible::placeAt(int offset) const
{
    const AccessibleWindow& w = told();
    if (w.ids.isEmpty())
        return {};
    const qsizetype index = std::max<qsizetype>(
        0, std::upper_bound(w.starts.begin(), w.starts.end(), offset) - w.starts.begin() - 1);
    const qint64 message = w.ids[index];
    const LineStore& store = view()->store();
    if (message == kHeadLine)
        return {};
    // The text told may still hold messages that have gone since.
    if (message < store.firstId())
        return {store.firstId(), 0};
    const int within = std::clamp(offset - w.starts[index], 0, w.endOf(index) - w.starts[index]);
    return {message, byteOffset(store.text(message), within)};
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
    const QString& all = told().text;
    const qsizetype start = std::clamp<qsizetype>(startOffset, 0, all.size());
    const qsizetype end =
        endOffset < 0 ? all.size() : std::clamp<qsizetype>(endOffset, start, all.size());
    return all.sliced(start, end - start);
}

int TranscriptAccessible::characterCount() const
{
    return static_cast<int>(told().text.size());
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
    if (pos.message == kHeadLine) {
        *endOffset = *startOffset;
        return QString();
    }
    *endOffset = offsetOf({pos.message, view()->store().text(pos.message).size()});
    const QColor colour = QColor::fromRgb(view()->store().look(pos.message).colour);
    return QStringLiteral("fg-color:%1,%2,%3;")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue());
}

TranscriptAnnouncer::TranscriptAnnouncer(TranscriptView* view) : QObject(view), view_(view)
{
    quiet_.setSingleShot(true);
    connect(&quiet_, &QTimer::timeout, this, &TranscriptAnnouncer::quietEnded);
}

TranscriptAnnouncer::Range TranscriptAnnouncer::shownRange() const
{
    const LineStore& store = view_->store();
    const qint64 top = view_->hitTest(QPointF(0, 0)).message;
    const qint64 bottom = view_->hitTest(QPointF(0, view_->viewport()->height() - 1)).message;
    const qint64 first =
        top == kHeadLine || top - kNearMessages < store.firstId() ? kHeadLine : top - kNearMessages;
    const qint64 last =
        store.isEmpty() ? kHeadLine : std::min(store.endId() - 1, bottom + kNearMessages);
    return {first, last, store.firstId()};
}

const AccessibleWindow& TranscriptAnnouncer::told()
{
    // What no reader has been told of may change without a word.
    if (!toldOnce_ || !QAccessible::isActive()) {
        const Range shown = shownRange();
        if (!toldOnce_ || shown != toldRange_)
            told_ = accessibleWindow(view_->store(), shown.first, shown.last);
        toldRange_ = shown;
        toldOnce_ = true;
    }
    return told_;
}

void TranscriptAnnouncer::viewChanged()
{
    if (!QAccessible::isActive() || !toldOnce_)
        return;
    pending_ = true;
    // Soon after the change that follows a quiet spell; then once per interval.
    if (!quiet_.isActive())
        quiet_.start(0);
}

void TranscriptAnnouncer::quietEnded()
{
    if (!pending_)
        return;
    pending_ = false;
    tell();
    quiet_.start(kIntervalMs);
}

void TranscriptAnnouncer::tell()
{
    const Range shown = shownRange();
    if (shown == toldRange_ || !QAccessible::isActive())
        return;
    AccessibleWindow now = accessibleWindow(view_->store(), shown.first, shown.last);
    const QList<TextEdit> edits = editsBetween(told_, now);
    told_ = std::move(now);
    toldRange_ = shown;
    for (const TextEdit& edit : edits) {
        if (!edit.removed.isEmpty()) {
            QAccessibleTextRemoveEvent event(view_, edit.position, edit.removed);
            QAccessible::updateAccessibility(&event);
        }
        if (!edit.inserted.isEmpty()) {
            QAccessibleTextInsertEvent event(view_, edit.position, edit.inserted);
            QAccessible::updateAccessibility(&event);
        }
    }
}
