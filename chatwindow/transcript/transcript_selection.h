#pragma once

#include "chatwindow/transcript/line_store.h"
#include "chatwindow/transcript/text_pos.h"
#include "chatwindow/transcript/transcript_rows.h"

#include <QString>

#include <utility>

// The reader's selection: from where it was begun (anchor) to where it was taken to
// (cursor). Its ends are places in messages, so it stays on its text while the view
// scrolls and while the oldest lines go.
struct TranscriptSelection
{
    TextPos anchor;
    TextPos cursor;

    bool isEmpty() const { return anchor == cursor; }
    TextPos start() const { return std::min(anchor, cursor); }
    TextPos end() const { return std::max(anchor, cursor); }

    // After the oldest messages went: an end that lay in them moves to the first message
    // kept, so that the selection keeps the text that is left; a selection that lay
    // wholly in them is gone. True if it changed.
    bool keepWithin(const LineStore& store);
};

// The text between two places as the reader copies it: the characters shown, a line
// feed where a row ends a line (a CR in a message, the break before the next message),
// a non-breaking space as a blank.
QString transcriptText(const LineStore& store, TextPos from, TextPos to);

// What a double-click at a place selects: the word there, a run of punctuation, or
// nothing, as in a rich-text view.
std::pair<TextPos, TextPos> wordAt(TranscriptRows& rows, const TextPos& pos);
// What a triple-click selects: the line (up to the next CR or message) and its line end.
std::pair<TextPos, TextPos> lineAt(TranscriptRows& rows, const LineStore& store,
                                   const TextPos& pos);
