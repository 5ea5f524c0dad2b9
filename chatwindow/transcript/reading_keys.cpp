#include "chatwindow/transcript/reading_keys.h"

#include <QKeyEvent>

std::optional<ReadingMove> readingMoveFor(const QKeyEvent& event)
{
    // The keypad's keys with Num Lock off are the same keys.
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    switch (event.key()) {
    case Qt::Key_PageUp:
        if (modifiers == Qt::NoModifier)
            return ReadingMove::PageBack;
        break;
    case Qt::Key_PageDown:
        if (modifiers == Qt::NoModifier)
            return ReadingMove::PageOn;
        break;
    case Qt::Key_Home:
        if (modifiers == Qt::ControlModifier)
            return ReadingMove::Oldest;
        if (modifiers == Qt::AltModifier)
            return ReadingMove::LeftOff;
        break;
    case Qt::Key_End:
        if (modifiers == Qt::ControlModifier)
            return ReadingMove::Newest;
        break;
    default:
        break;
    }
    return std::nullopt;
}
