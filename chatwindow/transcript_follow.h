#pragma once

#include <QObject>

class QScrollBar;
class QTextEdit;

// Keeps the newest line of a transcript in view while the reader is at the bottom.
// Once the reader scrolls up, the view stays where they put it until they scroll back
// down. It acts whenever the scroll range grows, so it also works when lines arrive
// inside an edit block and the view only lays them out when the block ends.
class TranscriptFollow : public QObject
{
    Q_OBJECT

public:
    explicit TranscriptFollow(QTextEdit* view);

    bool isFollowing() const { return following_; }

    // For a change above the reader's place, such as the oldest lines going: the
    // follower pays no heed to the scroll bar until resume(), which shows the newest
    // line again if the reader was at the bottom, and scrolls to value otherwise.
    void pause() { paused_ = true; }
    void resume(int value);

private:
    void onRangeChanged();
    void onValueChanged(int value);

    QScrollBar* bar_;
    bool following_ = true;
    bool paused_ = false;
};
