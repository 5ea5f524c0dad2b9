#pragma once

#include <optional>

class QKeyEvent;

// The keys that move the transcript while the reader reads, from the entry box as from
// the transcript itself: PgUp and PgDn by a page less one line, Ctrl+Home and Ctrl+End to
// the oldest kept and the newest message, Alt+Home to where the reader left off. With
// Shift they are not reading keys, so that a selection in the entry box stays possible.
enum class ReadingMove { PageBack, PageOn, Oldest, Newest, LeftOff };

std::optional<ReadingMove> readingMoveFor(const QKeyEvent& event);
