#include "chatwindow/send_text_box.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>

#include <limits>

namespace {

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Keys that edit or move rather than insert, and shortcuts, reach the box unfiltered.
bool isEditingKey(QKeyEvent* event)
{
    static constexpr QKeySequence::StandardKey kShortcuts[] = {
        QKeySequence::Paste, QKeySequence::Copy, QKeySequence::Cut,   QKeySequence::SelectAll,
        QKeySequence::Undo,  QKeySequence::Redo, QKeySequence::Delete};
    for (QKeySequence::StandardKey key : kShortcuts) {
        if (event->matches(key))
            return true;
    }
    return false;
}

// Would the box insert this text? Control characters (Enter, Delete, Escape, Ctrl+letter)
// insert nothing; backspace deletes, and is offered to the filter like a typed character.
bool insertsText(const QString& text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    return first == u'\b' || first.category() != QChar::Other_Control;
}

bool isTab(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers others =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    return (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) && others == 0;
}

bool isRecallKey(const QKeyEvent* event)
{
    return (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
           (event->modifiers() & ~Qt::KeypadModifier) == 0;
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace

SendTextBox::SendTextBox(QWidget* parent) : QLineEdit(parent)
{
    // The box sets no length limit of its own; the transport bounds what is sent.
    setMaxLength(std::numeric_limits<int>::max());
}

QString SendTextBox::admitted(const QString& text)
{
    QString kept;
    for (QChar c : text) {
        int code = c.unicode();
        if (keyPress)
            keyPress(code);
        if (code != 0)
            kept.append(QChar(code));
    }
    return kept;
}

bool SendTextBox::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool backward =
            key->key() == Qt::Key_Backtab || key->modifiers().testFlag(Qt::ShiftModifier);
        if (isTab(key) && complete && complete(backward)) {
            key->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void SendTextBox::keyPressEvent(QKeyEvent* event)
{
    if (readingKey && readingKey(*event)) {
        event->accept();
        return;
    }
    if (isRecallKey(event) && recall) {
        recall(event->key() == Qt::Key_Up);
        event->accept();
        return;
    }
    if (isEnter(event) && !event->isAutoRepeat())
        enterArmed_ = true;
    if (event->matches(QKeySequence::Copy) && !hasSelectedText() && copyWithoutSelection) {
        copyWithoutSelection();
        event->accept();
        return;
    }
    if (isEditingKey(event) || !insertsText(event->text())) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString kept = admitted(event->text());
    if (kept == event->text()) {
        QLineEdit::keyPressEvent(event);
    } else if (!kept.isEmpty()) {
        QKeyEvent filtered(event->type(), event->key(), event->modifiers(), kept,
                           event->isAutoRepeat(), event->count());
        QLineEdit::keyPressEvent(&filtered);
    } else {
        event->accept();
    }
}

void SendTextBox::keyReleaseEvent(QKeyEvent* event)
{
    if (!isEnter(event) || event->isAutoRepeat() || !enterArmed_) {
        QLineEdit::keyReleaseEvent(event);
        return;
    }
    enterArmed_ = false;
    int keyCode = kEnterKeyCode;
    if (keyUp)
        keyUp(keyCode, shiftState(event->modifiers()));
    if (keyCode == 0)
        event->accept();
    else
        QLineEdit::keyReleaseEvent(event);
}

void SendTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    // Dead keys and compose sequences commit their character here, not as a key press.
    const QString kept = admitted(event->commitString());
    if (kept == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

void SendTextBox::focusOutEvent(QFocusEvent* event)
{
    enterArmed_ = false;
    QLineEdit::focusOutEvent(event);
}
