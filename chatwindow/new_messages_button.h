#pragma once

#include <QPushButton>

class TranscriptView;

// "37 new messages" over the bottom edge of the transcript, while messages the reader
// has not seen lie below the view; a click shows the newest. It follows the
// transcript's place, size (never over the find bar or the entry box) and font. It sits
// beside the transcript rather than in it, so that a click on it leaves the keyboard
// where it was instead of giving it to the transcript; Ctrl+End does what it does.
class NewMessagesButton : public QPushButton
{
    Q_OBJECT

public:
    explicit NewMessagesButton(TranscriptView& transcript);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void countChanged(qint64 count);
    void place();

    TranscriptView& transcript_;
    QWidget* textArea_; // the transcript's viewport, a child of the transcript
};
