#pragma once

#include <QLineEdit>

#include <functional>

// The chat window's entry box (SendTxt): the one-line command line. It translates its
// key events into the window's handlers and holds no behaviour of its own:
// - every character that typing or an input method would insert goes past keyPress,
//   which may discard it by setting the code to 0; pasted text is not filtered;
// - Ctrl+C with nothing selected in the box goes to copyWithoutSelection;
// - the release of Enter goes to keyUp, once per press of the key and only when the box
//   saw that press (not the Enter that closed a message box, nor auto-repeats);
// - the reading keys (PgUp, PgDn, Ctrl+Home, Ctrl+End, Alt+Home) go to readingKey first;
// - Up and Down go to recall;
// - Tab and Shift+Tab go to complete first, and move the focus only when it declines.
class SendTextBox : public QLineEdit
{
    Q_OBJECT

public:
    // The key code keyUp reports for Enter.
    static constexpr int kEnterKeyCode = 13;

    explicit SendTextBox(QWidget* parent);

    // KeyAscii: the character code, in and out.
    std::function<void(int& KeyAscii)> keyPress;
    // KeyCode: 13 for Enter, in and out (0 marks it consumed); Shift: 1 shift, 2 ctrl, 4 alt.
    std::function<void(int& KeyCode, int Shift)> keyUp;
    // Ctrl+C or Ctrl+Insert while nothing in the box is selected.
    std::function<void()> copyWithoutSelection;
    // A key press that may move the transcript; returns whether it used the key.
    std::function<bool(const QKeyEvent& event)> readingKey;
    // Up (older true) or Down.
    std::function<void(bool older)> recall;
    // Tab (backward false) or Shift+Tab; returns whether it used the key.
    std::function<bool(bool backward)> complete;

protected:
    // Tab reaches a widget's event() and moves the focus there, before keyPressEvent.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The characters of text that keyPress lets in.
    QString admitted(const QString& text);

    // The box saw a non-repeated press of Enter whose release has not come yet.
    bool enterArmed_ = false;
};
