#pragma once

#include <QObject>

class QTextEdit;
class TranscriptFollow;

// Keeps a server that floods the chat from growing the transcript until memory runs
// out. At least the newest kKeepMessages messages stay; once there are more than
// kHighWaterMessages, the oldest go in one step. Removing lines from the top costs time
// in proportion to the lines that stay (the view moves every one of them up), so it is
// paid once per (kHighWaterMessages - kKeepMessages) messages, not on every append.
// The reader keeps their place: at the bottom the newest line stays in view, scrolled
// back the same lines stay where they were, and a selection keeps its text.
class TranscriptBound : public QObject
{
    Q_OBJECT

public:
    static constexpr int kKeepMessages = 200000;
    static constexpr int kHighWaterMessages = 220000;

    TranscriptBound(QTextEdit* view, TranscriptFollow* follow);

    // Counts a message that AppendChat has just added.
    void messageAdded() { ++messages_; }
    int messages() const { return messages_; }

    // Drops the oldest messages if there are more than the high-water mark. Call it
    // outside any edit block: inside one, the view would lay out the whole transcript
    // anew when the block ends.
    void trim();

    // For tests: a smaller bound, so that a test need not send 220,000 lines.
    void setLimitsForTests(int keep, int highWater);

private:
    QTextEdit* view_;
    TranscriptFollow* follow_;
    int keep_ = kKeepMessages;
    int highWater_ = kHighWaterMessages;
    int messages_ = 0;
};
