#pragma once

#include "session/protocol.h"

#include <QByteArray>
#include <QList>

// Cuts the server's byte stream into lines at LF, carrying a partial line from one
// notification to the next. A CR right before the LF belongs to the line end, so that
// servers ending lines with CR LF and with LF alone send the same lines; a CR anywhere
// else stays in the line.
//
// A server that never sends LF cannot exhaust memory: once the partial line passes
// its cap (1 MiB) it is thrown away, and so is the rest of it up to the next LF.
class LineFramer
{
public:
    explicit LineFramer(qsizetype maxPendingBytes = Protocol::kMaxPendingBytes)
        : maxPendingBytes_(maxPendingBytes)
    {
    }

    // Every line that data completes, in order; all of them are cut before the caller
    // dispatches the first.
    QList<QByteArray> feed(const QByteArray& data);

    const QByteArray& pending() const { return pending_; }
    bool isDiscarding() const { return discarding_; }

private:
    qsizetype maxPendingBytes_;
    QByteArray pending_;
    bool discarding_ = false;
};
