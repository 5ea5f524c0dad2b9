#include "chatwindow/transcript/read_marker.h"

void ReadMarker::windowLeft(qint64 end)
{
    away_ = true;
    left_ = end;
}

void ReadMarker::windowActivated()
{
    away_ = false;
    left_.reset();
}

void ReadMarker::storeChanged(qint64 firstKept, qint64 end)
{
    // A place needs a kept message above it.
    if (left_ && *left_ <= firstKept)
        left_.reset();
    if (placed_ && *placed_ <= firstKept)
        placed_.reset();
    if (away_ && left_ && end > *left_) {
        placed_ = left_;
        left_.reset();
    }
}
