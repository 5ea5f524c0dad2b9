#pragma once

#include "chatwindow/transcript/transcript_rows.h"

// Where the reader is in the transcript, and the reading rules: at the bottom the view
// follows the newest line; scrolled back it stays on the same lines, whatever arrives
// or goes, until the reader comes back to the bottom.
//
// The place is the row at the top of the view and how far that row's top lies above
// the view's top edge. The scroll bar counts rows: its value is the top row, counted
// from the empty first line, and its maximum is the top row at the bottom.
class TranscriptScroll
{
public:
    struct Place
    {
        qint64 row = kHeadLine;
        qreal offset = -TranscriptRows::kMargin;

        friend bool operator==(const Place&, const Place&) = default;
        friend bool operator<(const Place& a, const Place& b)
        {
            return a.row < b.row || (a.row == b.row && a.offset < b.offset);
        }
    };

    explicit TranscriptScroll(TranscriptRows& rows) : rows_(rows) {}

    void setViewHeight(qreal height) { viewHeight_ = height; }

    bool isFollowing() const { return following_; }
    // The place the view shows now.
    Place place();
    static Place top() { return {}; }
    // The place at which the newest line's bottom is at the bottom of the view.
    Place bottom();

    // Moves the view by pixels, down for a positive distance, within the transcript.
    void scrollBy(qreal pixels);
    void toTop();
    void toBottom() { following_ = true; }
    // Puts a row at the top, counted as the scroll bar counts.
    void scrollToIndex(qint64 index);
    // Brings a row into view if it is not.
    void ensureVisible(qint64 row);

    // After the oldest rows went: a reader who was on them is put at the top.
    void rowsRemoved();

    // The reader's place through a new width or font of the rows: at the bottom the view
    // stays at the bottom; scrolled back, the row at the top stays at the top, as far
    // into it as it was in proportion. Taken before the change, given back after.
    struct Kept
    {
        bool following = true;
        Place place;
        qreal rowHeight = 0;
    };
    Kept keep();
    void restore(const Kept& kept);

    qint64 value();
    qint64 maximum();

private:
    void settle(Place wanted);

    TranscriptRows& rows_;
    qreal viewHeight_ = 0;
    bool following_ = true;
    Place place_;
};
