#pragma once

#include "session/chat_view.h"
#include "session/receive_step.h"

#include <QWidget>

class QTextEdit;
class SocketComponent;

// The chat transcript as it was before the program had a transcript of its own: a
// QTextEdit that every message is inserted into as a paragraph of its own, in one edit
// block per notification, whose oldest messages go in one step past a high-water mark,
// and which follows the newest line while the reader is at the bottom. Kept only so that
// the benchmarks can measure the program's transcript against it.
class RichTextWindow : public QWidget, public ChatView
{
public:
    static constexpr int kKeepMessages = 200000;
    static constexpr int kHighWaterMessages = 220000;

    RichTextWindow();
    ~RichTextWindow() override;

    QTextEdit* transcript() const { return transcript_; }
    SocketComponent& socket() const { return *socket_; }
    // The bytes of one data-arrived notification.
    void takeReceived(const QByteArray& bytes);
    qint64 messagesAppended() const { return appended_; }
    int messagesKept() const { return kept_; }
    QString newestLine() const;

    void appendLine(const QString& text, quint8 red, quint8 green, quint8 blue, quint8 bold,
                    quint8 italic) override;
    void clearUsers() override {}
    void addUser(const QString&, int) override {}
    void removeUser(const QString&) override {}

private:
    void trim();
    void onRangeChanged();
    void onValueChanged(int value);

    QTextEdit* transcript_;
    SocketComponent* socket_;
    ReceiveStep receive_;
    qint64 appended_ = 0;
    int kept_ = 0;
    bool following_ = true;
    bool paused_ = false;
};
