#pragma once

#include <QtGlobal>

#include <compare>

// The transcript starts with an empty line before the first message, as a chat window
// that puts a line break before every message does. It is shown as a message of its
// own with this id, and as a row with this number; it is never removed.
inline constexpr qint64 kHeadLine = -1;

// A place in the transcript's text: before the character at offset in a message.
struct TextPos
{
    qint64 message = kHeadLine;
    qsizetype offset = 0;

    friend auto operator<=>(const TextPos&, const TextPos&) = default;
};
