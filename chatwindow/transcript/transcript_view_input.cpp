#include "chatwindow/transcript/transcript_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWheelEvent>

#include <cmath>

void TranscriptView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (const std::optional<ReadingMove> move = readingMoveFor(*event)) {
        goTo(*move);
    } else if (event->matches(QKeySequence::MoveToNextLine)) {
        scroll_.scrollBy(kStepPixels);
        scrolled();
    } else if (event->matches(QKeySequence::MoveToPreviousLine)) {
        scroll_.scrollBy(-kStepPixels);
        scrolled();
    } else {
        event->ignore();
    }
}

void TranscriptView::wheelEvent(QWheelEvent* event)
{
    const QPoint pixels = event->pixelDelta();
    const qreal steps = event->angleDelta().y() / 120.0;
    const qreal distance =
        !pixels.isNull() ? -pixels.y() : -steps * QApplication::wheelScrollLines() * kStepPixels;
    if (distance == 0) {
        event->ignore();
        return;
    }
    scroll_.scrollBy(distance);
    scrolled();
    event->accept();
}

std::pair<TextPos, TextPos> TranscriptView::unitAt(const TextPos& pos)
{
    switch (unit_) {
    case Unit::Word:
        return wordAt(rows_, pos);
    case Unit::Line:
        return lineAt(rows_, store_, pos);
    case Unit::Character:
        break;
    }
    return {pos, pos};
}

void TranscriptView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF point = event->position();
    const TextPos hit = hitTest(point);
    const bool tripleClick =
        sinceDoubleClick_.isValid() &&
        sinceDoubleClick_.elapsed() < QApplication::doubleClickInterval() &&
        (point - doubleClickPoint_).manhattanLength() < QApplication::startDragDistance();
    sinceDoubleClick_.invalidate();
    openAfterClick_.stop();
    pressPoint_ = point;
    pressedLink_.reset();
    if (!tripleClick && event->modifiers() == Qt::NoModifier)
        pressedLink_ = linkUnder(point);
    if (tripleClick) {
        unit_ = Unit::Line;
        firstUnit_ = unitAt(hit);
        setSelection(firstUnit_.first, firstUnit_.second);
    } else if (event->modifiers() & Qt::ShiftModifier) {
        unit_ = Unit::Character;
        firstUnit_ = {selection_.anchor, selection_.anchor};
        setSelection(selection_.anchor, hit);
    } else {
        unit_ = Unit::Character;
        firstUnit_ = {hit, hit};
        setSelection(hit, hit);
    }
    dragging_ = true;
    dragPoint_ = point;
}

void TranscriptView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // A double-click on a link selects a word there, and opens nothing.
    openAfterClick_.stop();
    pressedLink_.reset();
    unit_ = Unit::Word;
    firstUnit_ = unitAt(hitTest(event->position()));
    setSelection(firstUnit_.first, firstUnit_.second);
    dragging_ = true;
    dragPoint_ = event->position();
    sinceDoubleClick_.start();
    doubleClickPoint_ = event->position();
}

void TranscriptView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        showPointerFor(event->position());
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    // Until the pointer leaves the place it was pressed on a link, it may be a click.
    const bool away =
        (event->position() - pressPoint_).manhattanLength() >= QApplication::startDragDistance();
    if (pressedLink_ && !away)
        return;
    pressedLink_.reset();
    dragTo(event->position());
    // Past the top or bottom edge the view scrolls on its own while the button is held.
    const bool outside = event->position().y() < 0 || event->position().y() >= viewport()->height();
    if (outside && !autoScroll_.isActive())
        autoScroll_.start();
    else if (!outside)
        autoScroll_.stop();
}

void TranscriptView::dragTo(QPointF point)
{
    dragPoint_ = point;
    const QPointF inside(point.x(), std::clamp<qreal>(point.y(), 0, viewport()->height() - 1));
    const std::pair<TextPos, TextPos> unit = unitAt(hitTest(inside));
    // The selection grows from the first unit towards the pointer, keeping all of it.
    if (unit.first < firstUnit_.first)
        setSelection(firstUnit_.second, unit.first);
    else
        setSelection(firstUnit_.first, std::max(unit.second, firstUnit_.second));
}

void TranscriptView::autoScroll()
{
    const qreal y = dragPoint_.y();
    const qreal beyond = y < 0 ? y : y - (viewport()->height() - 1);
    if (!dragging_ || beyond == 0) {
        autoScroll_.stop();
        return;
    }
    // Faster the further the pointer is from the edge.
    scroll_.scrollBy(std::clamp<qreal>(beyond, -viewport()->height(), viewport()->height()));
    scrolled();
}

void TranscriptView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !dragging_) {
        event->ignore();
        return;
    }
    dragging_ = false;
    autoScroll_.stop();
    putOnPrimarySelection();
    const std::optional<Link> clicked = std::exchange(pressedLink_, std::nullopt);
    if (clicked && linkUnder(event->position()) == clicked) {
        clickedAddress_ = addressOf(*clicked);
        openAfterClick_.start(QApplication::doubleClickInterval());
    }
}

void TranscriptView::contextMenuEvent(QContextMenuEvent* event)
{
    // With the mouse: the link under the pointer. With the keyboard: the link at the
    // current find match, or else where the selection ends.
    QPoint at = event->globalPos();
    std::optional<Link> link;
    if (event->reason() == QContextMenuEvent::Mouse) {
        link = linkUnder(event->pos());
    } else {
        const TextPos place = currentMark_ ? *currentMark_ : selection_.cursor;
        link = linkAt(place);
        // A selection that ends where a link does (a double-click on its last word) ends
        // after the link's last character: that character names the link.
        if (!link && !currentMark_ && hasSelection() && place == selection_.end() &&
            place.offset > 0)
            link = linkAt(TextPos{place.message, place.offset - 1});
        const QRectF shown = placeRect(place);
        if (!shown.isEmpty())
            at = viewport()->mapToGlobal(shown.bottomLeft().toPoint());
    }

    QMenu menu(this);
    if (link) {
        const QUrl address = addressOf(*link);
        menu.addAction(tr("Open Link"), this, [this, address] { opener_->open(address); });
        menu.addAction(tr("Copy Link Address"), this,
                       [address] { QGuiApplication::clipboard()->setText(address.toString()); });
        menu.addSeparator();
    }
    QAction* copyAction = menu.addAction(tr("&Copy"), this, &TranscriptView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    menu.addSeparator();
    QAction* selectAllAction = menu.addAction(tr("Select All"), this, &TranscriptView::selectAll);
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    selectAllAction->setEnabled(!store_.isEmpty());
    menu.exec(at);
}
