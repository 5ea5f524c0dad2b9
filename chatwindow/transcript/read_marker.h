#pragma once

#include <QtGlobal>

#include <optional>

// Where the reader left off: a line across the transcript above the first message that
// arrived while the chat window was not the active one.
//
// Leaving the window remembers the place after the newest message; the first message
// that arrives while the window is away puts the marker there. Leaving and coming back
// with nothing new leaves the marker where it was, so it always marks the start of the
// last absence that brought messages. The marker belongs to the message above it: when
// that message is trimmed, the marker goes too.
class ReadMarker
{
public:
    void windowLeft(qint64 end);
    void windowActivated();
    // The store holds the messages from firstKept to before end.
    void storeChanged(qint64 firstKept, qint64 end);

    // The message the marker is drawn above.
    std::optional<qint64> above() const { return placed_; }

private:
    bool away_ = false;
    std::optional<qint64> left_;
    std::optional<qint64> placed_;
};
