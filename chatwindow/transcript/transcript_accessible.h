#pragma once

#include "chatwindow/transcript/accessible_window.h"

#include <QAccessibleWidget>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class TranscriptView;
struct TextPos;

// What assistive technology reads of the transcript: a read-only, multi-line text
// whose text is the lines on screen and those near them (TranscriptAnnouncer), with the
// reader's selection. The whole history would be too long to hand over, and a screen
// reader reads where the reader is.
class TranscriptAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TranscriptAccessible(TranscriptView* view);

    // Lets the accessibility framework make one for every transcript view.
    static void installFactory();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    TranscriptView* view() const;
    const AccessibleWindow& told() const;
    int offsetOf(const TextPos& pos) const;
    TextPos placeAt(int offset) const;
};

// Keeps the text that assistive technology was told of: the messages on screen and
// kNearMessages before and after them, as they were when it was last told. A change of
// what is shown (lines appended, the oldest gone, the view scrolled) is told as the
// text removed and the text inserted, at most once per kIntervalMs, so that a flood
// comes as one change and the reader's copy is the text again once it has passed. The
// interface reads the told text, so that the offsets of events and of queries agree.
class TranscriptAnnouncer : public QObject
{
public:
    static constexpr int kIntervalMs = 250;
    static constexpr int kNearMessages = 200;

    explicit TranscriptAnnouncer(TranscriptView* view);

    // What the view shows may have changed.
    void viewChanged();
    // The text as assistive technology was told of it; without one listening, the text
    // of what is shown now.
    const AccessibleWindow& told();

private:
    struct Range
    {
        qint64 first = 0;
        qint64 last = -2;
        qint64 storeFirst = -1;
        friend bool operator==(const Range&, const Range&) = default;
    };

    Range shownRange() const;
    void tell();
    void quietEnded();

    TranscriptView* view_;
    QTimer quiet_;
    bool pending_ = false;
    bool toldOnce_ = false;
    Range toldRange_;
    AccessibleWindow told_;
};
