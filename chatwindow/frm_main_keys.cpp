#include "chatwindow/frm_main.h"

#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "session/command_line.h"
#include "session/send_line.h"
#include "shell/base/session_state.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QWindow>

#include <initializer_list>
#include <optional>

namespace {

constexpr int kBackspace = 8;

bool isTypedCharacter(int code)
{
    return code == kBackspace || (code >= 32 && code <= 126);
}

// The character code a key press produces, if any. With Ctrl (and not Alt, which with
// Ctrl stands for AltGr) a letter gives its control code, as Ctrl+C gives 3, whatever
// text the platform attached; other Ctrl combinations produce no character.
std::optional<int> characterCode(const QKeyEvent& event)
{
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    const char16_t first = text.front().unicode();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ControlModifier && !(modifiers & Qt::AltModifier)) {
        if (first < 32)
            return first;
        if ((first >= u'a' && first <= u'z') || (first >= u'A' && first <= u'Z'))
            return first & 0x1f;
        return std::nullopt;
    }
    return first;
}

// Shows every key press in the window to Form_KeyPress before the focused control sees
// it. A filter on the window widget would see only keys that the controls ignored, so
// the filter sits on the native window, which exists only once the widget is shown (and
// is made anew if the widget is re-created); the widget's own events say when.
class KeyPreview : public QObject
{
public:
    explicit KeyPreview(frmMain& form) : QObject(&form), form_(form)
    {
        form.installEventFilter(this);
        attach();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &form_) {
            if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)
                attach();
        } else if (watched == window_ && event->type() == QEvent::KeyPress) {
            if (auto keyAscii = characterCode(*static_cast<QKeyEvent*>(event)))
                form_.Form_KeyPress(*keyAscii);
        }
        // Never consumed: the key goes on to whichever control has the focus now.
        return false;
    }

private:
    void attach()
    {
        QWindow* window = form_.windowHandle();
        if (!window || window == window_)
            return;
        window->installEventFilter(this);
        window_ = window;
    }

    frmMain& form_;
    QPointer<QWindow> window_;
};

} // namespace

// Remembers which control the keyboard (Tab, Shift+Tab, a shortcut) moved the focus to,
// so that an arriving line leaves it there. Focus that comes back with the window or
// after a menu keeps what it was; focus given any other way, by a click or by the
// program, is not the keyboard's.
class KeyboardFocus : public QObject
{
public:
    KeyboardFocus(QObject* parent, std::initializer_list<QWidget*> controls) : QObject(parent)
    {
        for (QWidget* control : controls)
            control->installEventFilter(this);
    }

    bool holdsFocus() const { return held_ && held_->hasFocus(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::FocusIn)
            return false;
        switch (static_cast<QFocusEvent*>(event)->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
            held_ = static_cast<QWidget*>(watched);
            break;
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
        case Qt::MenuBarFocusReason:
            break;
        default:
            held_ = nullptr;
        }
        return false;
    }

private:
    QPointer<QWidget> held_;
};

namespace {

QStringList userNames(const QListWidget& list)
{
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names.append(list.item(row)->text());
    return names;
}

} // namespace

void frmMain::installKeyPreview()
{
    new KeyPreview(*this);
    keyboardFocus_ = new KeyboardFocus(this, {UsrLst, RecTxt});

    SendTxt->keyPress = [this](int& KeyAscii) { SendTxt_KeyPress(KeyAscii); };
    SendTxt->keyUp = [this](int& KeyCode, int Shift) { SendTxt_KeyUp(KeyCode, Shift); };
    // textChanged, not textEdited: the copy must follow setText and the emptying too.
    connect(SendTxt, &QLineEdit::textChanged, this, &frmMain::SendTxt_Change);
    connect(RecTxt, &TranscriptView::contentsChanged, this, &frmMain::RecTxt_Change);
    // A line that arrives takes the focus to the entry box unless the keyboard put it
    // elsewhere, so on a busy zone Ctrl+C often lands there: with nothing selected in the
    // box, it copies what the reader selected in the transcript.
    SendTxt->copyWithoutSelection = [this] { RecTxt->copy(); };
    SendTxt->recall = [this](bool older) { recallLine(older); };
    SendTxt->complete = [this](bool backward) { return completeName(backward); };
}

void frmMain::Form_KeyPress(int& KeyAscii)
{
    if (isTypedCharacter(KeyAscii) && !findBarHasFocus())
        SendTxt->setFocus();
}

void frmMain::SendTxt_KeyPress(int& KeyAscii)
{
    if (!isTypedCharacter(KeyAscii))
        KeyAscii = 0;
}

void frmMain::SendTxt_Change()
{
    Declares::typedLine = SendTxt->text();
}

void frmMain::SendTxt_KeyUp(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode != SendTextBox::kEnterKeyCode)
        return;
    enteredLines_.add(Declares::typedLine);
    if (const auto line = commandLineToProtocol(Declares::typedLine, userNames(*UsrLst)))
        TCP::SendLine(*Socket1, *line);
    Declares::typedLine.clear();
    SendTxt->setText(QString());
    KeyCode = 0;
}

void frmMain::RecTxt_Change()
{
    // Where the keyboard went, it stays: key preview brings typed characters to the entry
    // box anyway. A click into the chat is brought back. The find bar keeps it too.
    if (!keyboardFocus_->holdsFocus() && !findBarHasFocus())
        SendTxt->setFocus();
}

void frmMain::recallLine(bool older)
{
    const auto line =
        older ? enteredLines_.older(SendTxt->text()) : enteredLines_.newer(SendTxt->text());
    if (!line)
        return;
    SendTxt->setText(*line);
    SendTxt->setCursorPosition(SendTxt->text().size());
}

bool frmMain::completeName(bool backward)
{
    const auto line = nameCompleter_.complete(SendTxt->text(), SendTxt->cursorPosition(),
                                              userNames(*UsrLst), backward);
    if (!line)
        return false;
    SendTxt->setText(line->text);
    SendTxt->setCursorPosition(static_cast<int>(line->caret));
    return true;
}
