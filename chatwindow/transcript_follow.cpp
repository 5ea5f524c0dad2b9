#include "chatwindow/transcript_follow.h"

#include <QScrollBar>
#include <QTextEdit>

TranscriptFollow::TranscriptFollow(QTextEdit* view) : QObject(view), bar_(view->verticalScrollBar())
{
    connect(bar_, &QScrollBar::rangeChanged, this, &TranscriptFollow::onRangeChanged);
    connect(bar_, &QScrollBar::valueChanged, this, &TranscriptFollow::onValueChanged);
}

void TranscriptFollow::resume(int value)
{
    paused_ = false;
    bar_->setValue(following_ ? bar_->maximum() : value);
}

void TranscriptFollow::onRangeChanged()
{
    if (following_ && !paused_)
        bar_->setValue(bar_->maximum());
}

void TranscriptFollow::onValueChanged(int value)
{
    if (paused_)
        return;
    following_ = value >= bar_->maximum();
}
