#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the chat window's controls go for a size of its client area and a text size.
// At the design size and text size every control is where the window was designed to
// have it. Beyond it the transcript takes all the extra width and height; the user list
// keeps its width at the right edge, under its caption, and grows in height; the entry
// box spans the bottom at its height; the find bar, when open, sits at the foot of the
// transcript's place. Larger text widens the list and heightens the entry box, the
// caption's room and the find bar in proportion (smaller text leaves them as designed).
struct ChatLayout
{
    QRect transcript;
    QRect findBar;
    QRect userList;
    QPoint caption;
    QRect entry;
};

ChatLayout layOutChat(QSize client, int textPercent, bool findBarOpen);

// The least client area in which every control stays usable at a text size.
QSize smallestChat(int textPercent);
