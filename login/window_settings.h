#pragma once

#include "shell/base/chat_window_choices.h"

// The chat window's size, whether it was maximised and its text size, kept in Game.ini
// beside the connect dialog's values, in a section of this program's own so that it
// cannot clash with what another program keeps there:
//
//   [OrvexChat]
//   WindowWidth=1200
//   WindowHeight=800
//   Maximized=0
//   TextSize=133
//
// Sizes are the client area in logical pixels, TextSize is in percent of the design
// size. The INIT section and every other line of the file are left as they are.
inline constexpr char kChatWindowSection[] = "OrvexChat";

// The kept choices, from the same file SaveSettings writes. A value that is missing or
// not a whole number in its range reads as the design value, without a message.
ChatWindowChoices ReadChatWindowChoices();

// Writes all four values in one save of the file, by the same rules as SaveSettings.
void SaveChatWindowChoices(const ChatWindowChoices& choices);
