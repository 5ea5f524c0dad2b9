#pragma once

#include <QAccessibleWidget>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class TranscriptView;
struct TextPos;

// What assistive technology reads of the transcript: a read-only, multi-line text
// whose text is the lines on screen and those near them (kNearMessages before and
// after), with the reader's selection. The whole history would be too long to hand
// over, and a screen reader reads where the reader is.
class TranscriptAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    static constexpr int kNearMessages = 200;

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

    // The offset at which the text of messages from `from` on begins, for announcing
    // them; -1 when they are not in the text.
    int offsetOfMessage(qint64 message) const;

private:
    // The messages whose text is handed over, and where each begins in it.
    struct ShownText
    {
        qint64 first = 0;
        qint64 last = -1;
        qint64 storeFirst = -1;
        QString text;
        QList<int> starts;
    };

    TranscriptView* view() const;
    const ShownText& shownText() const;
    int offsetOf(const TextPos& pos) const;
    TextPos placeAt(int offset) const;

    mutable ShownText shown_;
};

// Tells assistive technology of the lines appended to a transcript, only while one is
// listening, and at most one event per kInterval: the lines of a flood are gathered,
// and only the newest kMaxLines of them are read out.
class TranscriptAnnouncer : public QObject
{
public:
    static constexpr int kIntervalMs = 250;
    static constexpr int kMaxLines = 20;

    explicit TranscriptAnnouncer(TranscriptView* view);

    // The messages before end are now shown; those the last call did not see were added.
    void messagesShownUpTo(qint64 end);

private:
    void announce();

    TranscriptView* view_;
    QTimer quiet_;
    qint64 shownUpTo_ = 0;
    qint64 from_ = -1;
    qint64 end_ = -1;
};
