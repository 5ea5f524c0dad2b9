#pragma once

#include <QString>
#include <QtGlobal>

#include <algorithm>

// How many messages below the view the reader has not seen yet. A message is seen once
// it has been on screen; what arrives while the view shows older lines is not. The
// count is of the unseen messages that are still kept: those trimmed before the reader
// reached them leave it, as there is nothing left to scroll down to.
class UnseenCount
{
public:
    // Every message before end has been on screen.
    void shownUpTo(qint64 end) { seenEnd_ = std::max(seenEnd_, end); }
    // With the messages from firstKept to before end kept.
    qint64 count(qint64 firstKept, qint64 end) const
    {
        return std::max<qint64>(0, end - std::max(seenEnd_, firstKept));
    }

private:
    qint64 seenEnd_ = 0;
};

// The indicator's text: "1 new message", "37 new messages", up to "9,999+ new messages".
QString newMessagesText(qint64 count);
