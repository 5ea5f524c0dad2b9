#pragma once

#include "chatwindow/transcript/transcript_search.h"

#include <QTimer>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QToolButton;
class TranscriptView;

// The find bar below the chat's transcript: a text box named "Find", the count of
// matches ("3 of 27"), and buttons for the next older and newer match and to close.
// In the box: Enter or F3 goes to the next older match, Shift+Enter or Shift+F3 to the
// next newer one, Ctrl+Enter opens the link the current match is in, and Esc asks the
// window to close the bar. The transcript shows the current match, and marks every
// match on screen while the bar is shown.
//
// Typing a term never holds up the window: the messages are counted in slices of a
// few milliseconds, one slice per pass of the event loop.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    // The longest slice of counting between two passes of the event loop.
    static constexpr int kSliceMs = 3;

    FindBar(TranscriptView& transcript, QWidget* parent);

    QLineEdit* box() const { return box_; }
    QString countText() const;
    const TranscriptSearch& search() const { return search_; }

    // Looks for the box's term again, and gives the box the keyboard with its text
    // selected.
    void start();
    // Takes the marks away and stops counting.
    void stop();
    void toOlder();
    void toNewer();

signals:
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void termChanged(const QString& term);
    void countSlice();
    void keepCounting();
    void transcriptChanged();
    // Shows the current match and the count; scrolls to the match if it is another.
    void showCurrent(bool scroll);

    TranscriptView& transcript_;
    TranscriptSearch search_;
    QLineEdit* box_ = nullptr;
    QLabel* count_ = nullptr;
    QToolButton* older_ = nullptr;
    QToolButton* newer_ = nullptr;
    QToolButton* close_ = nullptr;
    QTimer slices_;
    std::optional<TextPos> shown_;
};
