#include "session/line_framer.h"

namespace {

// A CR right before the LF is part of the line end of servers that send CR LF.
void dropCrOfLineEnd(QByteArray& line)
{
    if (line.endsWith('\r'))
        line.chop(1);
}

} // namespace

QList<QByteArray> LineFramer::feed(const QByteArray& data)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype lf = data.indexOf(Protocol::kLineDelimiter); lf >= 0;
         lf = data.indexOf(Protocol::kLineDelimiter, start)) {
        if (discarding_) {
            discarding_ = false;
        } else if (pending_.isEmpty()) {
            lines.append(data.mid(start, lf - start));
            dropCrOfLineEnd(lines.last());
        } else {
            pending_.append(data.constData() + start, lf - start);
            dropCrOfLineEnd(pending_);
            lines.append(pending_);
            pending_.clear();
        }
        start = lf + 1;
    }
    if (start < data.size() && !discarding_) {
        pending_.append(data.constData() + start, data.size() - start);
        if (pending_.size() > maxPendingBytes_) {
            pending_ = QByteArray();
            discarding_ = true;
        }
    }
    return lines;
}
