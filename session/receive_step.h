#pragma once

#include "session/line_framer.h"

#include <QByteArray>
#include <QList>

class ChatView;
class SocketComponent;

// The way of received bytes into the chat: the bytes of one data-arrived notification
// are cut into lines, every line is decoded from the wire and handed to DispatchLine,
// in order. The characters after the last LF wait for the next notification.
class ReceiveStep
{
public:
    explicit ReceiveStep(qsizetype maxPendingBytes = Protocol::kMaxPendingBytes)
        : framer_(maxPendingBytes)
    {
    }

    // Dispatches every line that bytes completes into view, answering through socket;
    // all of them are cut before the first is dispatched. Returns those lines as they
    // came off the wire, without their line ends.
    QList<QByteArray> take(const QByteArray& bytes, ChatView& view, SocketComponent& socket);

    const LineFramer& framer() const { return framer_; }

private:
    LineFramer framer_;
};
