#include "chatwindow/transcript/transcript_view.h"

#include "chatwindow/transcript/transcript_accessible.h"

#include <QApplication>
#include <QClipboard>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <utility>

TranscriptView::TranscriptView(QWidget* parent)
    : QAbstractScrollArea(parent), rows_(store_), scroll_(rows_)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true); // the pointer becomes a hand over links
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    rows_.setFont(font());
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            &TranscriptView::onScrollBarAction);
    autoScroll_.setInterval(50);
    connect(&autoScroll_, &QTimer::timeout, this, &TranscriptView::autoScroll);
    openAfterClick_.setSingleShot(true);
    connect(&openAfterClick_, &QTimer::timeout, this,
            [this] { opener_->open(std::exchange(clickedAddress_, QUrl())); });
    announcer_ = new TranscriptAnnouncer(this);
    TranscriptAccessible::installFactory();
    syncScrollBar();
}

TranscriptView::~TranscriptView() = default;

void TranscriptView::setStoreLimitsForTests(const LineStore::Limits& limits)
{
    store_.setLimitsForTests(limits);
}

void TranscriptView::append(QByteArrayView text, const TextLook& look)
{
    store_.append(text, look, clock_());
    changed_ = true;
    if (batchDepth_ == 0)
        showChanges();
}

void TranscriptView::beginBatch()
{
    ++batchDepth_;
}

void TranscriptView::endBatch()
{
    if (--batchDepth_ == 0 && changed_)
        showChanges();
}

void TranscriptView::showChanges()
{
    changed_ = false;
    rows_.forgetRemovedRows();
    rows_.forgetUnused();
    selection_.keepWithin(store_);
    scroll_.rowsRemoved();
    marker_.storeChanged(store_.firstId(), store_.endId());
    syncScrollBar();
    noteShown();
    viewport()->update();
    announcer_->viewChanged();
    emit contentsChanged();
}

void TranscriptView::syncScrollBar()
{
    // The store's bound on rows keeps the counts far inside the bar's int.
    const QScopedValueRollback guard(syncing_, true);
    actionValue_ = -1;
    QScrollBar* bar = verticalScrollBar();
    const qint64 maximum = scroll_.maximum();
    bar->setRange(0, static_cast<int>(maximum));
    // The rows of the last page: the handle shows the part of the rows on screen.
    bar->setPageStep(static_cast<int>(std::max<qint64>(1, rows_.count() - maximum)));
    bar->setSingleStep(1);
    bar->setValue(static_cast<int>(scroll_.value()));
}

void TranscriptView::onScrollBarAction(int action)
{
    // Steps and pages scroll by pixels; a drag of the handle puts a row at the top
    // (scrollContentsBy).
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        scroll_.scrollBy(kStepPixels);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        scroll_.scrollBy(-kStepPixels);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        scroll_.scrollBy(viewport()->height());
        break;
    case QAbstractSlider::SliderPageStepSub:
        scroll_.scrollBy(-viewport()->height());
        break;
    case QAbstractSlider::SliderToMinimum:
        scroll_.toTop();
        break;
    case QAbstractSlider::SliderToMaximum:
        scroll_.toBottom();
        break;
    default:
        return;
    }
    // The bar takes this value once the action is done; it is where the view already is.
    actionValue_ = static_cast<int>(scroll_.value());
    const QScopedValueRollback guard(syncing_, true);
    verticalScrollBar()->setSliderPosition(actionValue_);
    noteShown();
    viewport()->update();
}

void TranscriptView::scrolled()
{
    syncScrollBar();
    noteShown();
    viewport()->update();
    if (dragging_)
        dragTo(dragPoint_);
}

void TranscriptView::scrollContentsBy(int, int)
{
    // The bar moved: by a drag of its handle, or by whoever set its value.
    const int value = verticalScrollBar()->value();
    if (!syncing_ && value != std::exchange(actionValue_, -1)) {
        scroll_.scrollToIndex(value);
        if (dragging_)
            dragTo(dragPoint_);
        noteShown();
    }
    viewport()->update();
}

void TranscriptView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const TranscriptScroll::Kept kept = scroll_.keep();
    // Only the rows that are shown are laid out anew at the new width.
    rows_.setWidth(viewport()->width() - 2 * TranscriptRows::kMargin);
    scroll_.setViewHeight(viewport()->height());
    scroll_.restore(kept);
    syncScrollBar();
    noteShown();
}

void TranscriptView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        const TranscriptScroll::Kept kept = scroll_.keep();
        rows_.setFont(font());
        scroll_.restore(kept);
        syncScrollBar();
        noteShown();
        viewport()->update();
    }
}

void TranscriptView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update(); // the selection's colours follow the focus
}

void TranscriptView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TranscriptView::paintEvent(QPaintEvent* event)
{
    // Whatever moved the view (a scroll, a resize, new lines) comes here.
    announcer_->viewChanged();
    QPainter painter(viewport());
    const QRect area = event->rect();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextLayout::FormatRange highlight;
    highlight.format.setBackground(palette().brush(group, QPalette::Highlight));
    highlight.format.setForeground(palette().brush(group, QPalette::HighlightedText));
    const TextPos from = selection_.start();
    const TextPos to = selection_.end();

    const std::optional<qint64> leftOff = marker_.above();
    std::optional<qreal> leftOffY;
    const TranscriptScroll::Place place = scroll_.place();
    qreal y = -place.offset;
    for (qint64 number = place.row; y < area.bottom() + 1; number = rows_.next(number)) {
        const ShownRow& row = rows_.row(number);
        if (row.message == leftOff && row.span.start == 0)
            leftOffY = y;
        if (y + row.height > area.top()) {
            QList<QTextLayout::FormatRange> selections =
                findMarksOn(row, paintedSpan(row.layout, area.top() - y, area.bottom() + 1 - y));
            const TextPos rowStart{row.message, row.span.start};
            const TextPos rowEnd{row.message, row.span.end};
            if (from < to && to > rowStart && from <= rowEnd) {
                const bool lineEnd = rows_.lineEndAfter(row) && to > rowEnd;
                if (from < rowEnd || lineEnd) {
                    highlight.start = from < rowStart ? 0 : int(from.offset - row.span.start);
                    const int end = to > rowEnd ? int(row.span.end - row.span.start)
                                                : int(to.offset - row.span.start);
                    // A selected line end shows as a little highlight after the text.
                    highlight.length = end - highlight.start + (lineEnd ? 1 : 0);
                    selections.append(highlight);
                }
            }
            painter.setPen(row.message == kHeadLine
                               ? palette().color(QPalette::Text)
                               : QColor::fromRgb(store_.look(row.message).colour));
            row.layout.draw(&painter, QPointF(TranscriptRows::kMargin, y), selections, area);
        }
        y += row.height;
        if (number == rows_.last())
            break;
    }
    if (leftOffY) {
        // Across the view, on the border between the two messages.
        painter.fillRect(QRectF(0, *leftOffY - 1, viewport()->width(), 2),
                         QColor::fromRgb(kLeftOffColour));
    }
    rows_.forgetUnused();
}

qint64 TranscriptView::rowUnder(QPointF point, qreal& top)
{
    const TranscriptScroll::Place place = scroll_.place();
    top = -place.offset;
    qint64 number = place.row;
    // Rows below the view are laid out too, to find a place that a drag went past.
    while (number != rows_.last() && point.y() >= top + rows_.height(number)) {
        top += rows_.height(number);
        number = rows_.next(number);
    }
    return number;
}

TextPos TranscriptView::hitTest(QPointF point)
{
    qreal top = 0;
    const qint64 number = rowUnder(point, top);
    const ShownRow& row = rows_.row(number);
    if (point.y() < top)
        return {row.message, row.span.start};
    if (row.message == kHeadLine)
        return TextPos{};
    QTextLine line = row.layout.lineAt(0);
    for (int i = 1; i < row.layout.lineCount(); ++i) {
        if (point.y() - top < row.layout.lineAt(i).y())
            break;
        line = row.layout.lineAt(i);
    }
    const int offset = line.xToCursor(point.x() - TranscriptRows::kMargin);
    return {row.message, row.span.start + offset};
}

std::optional<TextPos> TranscriptView::characterAt(QPointF point)
{
    qreal top = 0;
    const ShownRow& row = rows_.row(rowUnder(point, top));
    if (row.message == kHeadLine || point.y() < top || point.y() >= top + row.height)
        return std::nullopt;
    const qreal x = point.x() - TranscriptRows::kMargin;
    for (int i = 0; i < row.layout.lineCount(); ++i) {
        const QTextLine line = row.layout.lineAt(i);
        if (point.y() - top < line.y() || point.y() - top >= line.y() + line.height())
            continue;
        if (x < line.x() || x >= line.x() + line.naturalTextWidth())
            return std::nullopt;
        return TextPos{row.message,
                       row.span.start + line.xToCursor(x, QTextLine::CursorOnCharacter)};
    }
    return std::nullopt;
}

QRectF TranscriptView::placeRect(const TextPos& pos)
{
    const qint64 target = rows_.rowOf(pos);
    const TranscriptScroll::Place place = scroll_.place();
    qreal y = -place.offset;
    for (qint64 number = place.row; y < viewport()->height(); number = rows_.next(number)) {
        const ShownRow& row = rows_.row(number);
        if (number == target) {
            const int offset = int(pos.offset - row.span.start);
            const QTextLine line = row.layout.lineForTextPosition(offset);
            if (!line.isValid())
                return {TranscriptRows::kMargin, y, 1, row.height};
            return {TranscriptRows::kMargin + line.cursorToX(offset), y + line.y(), 1,
                    line.height()};
        }
        y += row.height;
        if (number == rows_.last() || number > target)
            break;
    }
    return {};
}

void TranscriptView::ensureVisible(const TextPos& pos)
{
    scroll_.ensureVisible(rows_.rowOf(pos));
    scrolled();
}

TextPos TranscriptView::endOfText() const
{
    if (store_.isEmpty())
        return TextPos{};
    return {store_.endId() - 1, store_.text(store_.endId() - 1).size()};
}

QString TranscriptView::toPlainText() const
{
    return transcriptText(store_, TextPos{}, endOfText());
}

QString TranscriptView::selectedText() const
{
    return transcriptText(store_, selection_.start(), selection_.end());
}

void TranscriptView::setSelection(const TextPos& anchor, const TextPos& cursor)
{
    if (selection_.anchor == anchor && selection_.cursor == cursor)
        return;
    selection_ = {anchor, cursor};
    selection_.keepWithin(store_);
    viewport()->update();
}

void TranscriptView::selectAll()
{
    setSelection(TextPos{}, endOfText());
    putOnPrimarySelection();
}

void TranscriptView::clearSelection()
{
    setSelection(selection_.cursor, selection_.cursor);
}

void TranscriptView::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void TranscriptView::putOnPrimarySelection() const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void TranscriptView::setFindMarks(const TextMatcher& matcher, std::optional<TextPos> current)
{
    marks_ = matcher;
    currentMark_ = matcher.matchesNothing() ? std::nullopt : current;
    viewport()->update();
}

RowSpan TranscriptView::paintedSpan(const QTextLayout& layout, qreal top, qreal bottom)
{
    // The layout's lines lie top to bottom: the first and the last that reach into
    // [top, bottom), found by halves, as a long message has thousands of them.
    const int lines = layout.lineCount();
    int low = 0;
    for (int high = lines; low < high;) {
        const int middle = (low + high) / 2;
        const QTextLine line = layout.lineAt(middle);
        if (line.y() + line.height() <= top)
            low = middle + 1;
        else
            high = middle;
    }
    int end = low;
    for (int high = lines; end < high;) {
        const int middle = (end + high) / 2;
        if (layout.lineAt(middle).y() < bottom)
            end = middle + 1;
        else
            high = middle;
    }
    if (low >= end)
        return RowSpan{0, 0};
    const QTextLine last = layout.lineAt(end - 1);
    return RowSpan{layout.lineAt(low).textStart(), last.textStart() + last.textLength()};
}

QList<QTextLayout::FormatRange> TranscriptView::findMarksOn(const ShownRow& row,
                                                            const RowSpan& painted) const
{
    QList<QTextLayout::FormatRange> marks;
    if (marks_.matchesNothing() || row.message == kHeadLine || painted.start >= painted.end)
        return marks;
    QTextLayout::FormatRange mark;
    mark.format.setBackground(QColor(96, 80, 0));
    QTextLayout::FormatRange current;
    current.format.setBackground(QColor(255, 200, 0));
    current.format.setForeground(Qt::black);
    // Matches that begin on the painted part of the row, and one that began before it
    // and runs on. Matches that touch or overlap are one mark, so that a dense crowd of
    // them costs the drawing no more than one; the current one is drawn last, whole.
    const QByteArrayView text = store_.text(row.message);
    const qsizetype size = marks_.size();
    const qsizetype from = row.span.start + painted.start;
    const qsizetype to = row.span.start + painted.end;
    const QByteArrayView reach = text.first(std::min(text.size(), to + size - 1));
    std::optional<QTextLayout::FormatRange> currentRange;
    for (qsizetype at = marks_.indexIn(reach, std::max<qsizetype>(0, from - size + 1));
         at >= 0 && at < to; at = marks_.indexIn(reach, at + 1)) {
        const int start = int(std::max(at, row.span.start) - row.span.start);
        const int length = int(std::min(at + size, row.span.end) - row.span.start) - start;
        if (currentMark_ == TextPos{row.message, at}) {
            current.start = start;
            current.length = length;
            currentRange = current;
        } else if (!marks.isEmpty() && start <= marks.back().start + marks.back().length) {
            marks.back().length = start + length - marks.back().start;
        } else {
            mark.start = start;
            mark.length = length;
            marks.append(mark);
        }
    }
    if (currentRange)
        marks.append(*currentRange);
    return marks;
}

std::optional<TranscriptView::Link> TranscriptView::linkAt(const TextPos& pos) const
{
    if (pos.message < store_.firstId() || pos.message >= store_.endId())
        return std::nullopt;
    if (const std::optional<LinkSpan> span = ::linkAt(store_.text(pos.message), pos.offset))
        return Link{pos.message, *span};
    return std::nullopt;
}

QUrl TranscriptView::addressOf(const Link& link) const
{
    const QByteArrayView text = store_.text(link.message);
    return linkAddress(text.sliced(link.span.start, link.span.end - link.span.start));
}

bool TranscriptView::openLinkAt(const TextPos& pos)
{
    const std::optional<Link> link = linkAt(pos);
    if (!link)
        return false;
    opener_->open(addressOf(*link));
    return true;
}

std::optional<TranscriptView::Link> TranscriptView::linkUnder(QPointF point)
{
    const std::optional<TextPos> character = characterAt(point);
    return character ? linkAt(*character) : std::nullopt;
}

void TranscriptView::showPointerFor(QPointF point)
{
    viewport()->setCursor(linkUnder(point) ? Qt::PointingHandCursor : Qt::IBeamCursor);
}
