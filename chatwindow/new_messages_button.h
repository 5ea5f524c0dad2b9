#pragma once

#include <QPushButton>

class TranscriptView;

// "37 new messages" over the bottom edge of the transcript, while messages the reader
// has not seen lie below the view; a click shows the newest. It is a child of the
// transcript, so that it keeps to the transcript's place and size (never over the find
// bar or the entry box) and takes its font. It never takes the keyboard: Ctrl+End does
// what it does.
class NewMessagesButton : public QPushButton
{
    Q_OBJECT

public:
    explicit NewMessagesButton(TranscriptView& transcript);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void countChanged(qint64 count);
    void place();

    TranscriptView& transcript_;
};
