#pragma once

#include <QByteArray>

// Overwrites a file's content in the file itself, for the cases where a new file cannot
// take its place: a folder where nothing can be created, a rename the folder refuses, a
// file with other names (hard links), or one whose owner or extended attributes (its
// access control list) a new file would lose. The file keeps its inode, and with it its
// owner, group, mode, attributes and every name.
//
// Nothing is touched before the whole new content is ready; space for a longer content
// is reserved first; the content goes out in one write, padded with blanks to the old
// size, so that until the size is set the file reads as the new content followed by a
// blank last line; the size is set afterwards. A write that fails midway puts the old
// content back.
//
// What remains: a process killed inside the one write of a content longer than a memory
// page, or a machine that stops before the write reaches the disk, can leave the file
// partly old and partly new. Only a rename avoids that, and here there is none.
enum class InPlaceWrite {
    Written,
    Failed,     // the file holds its old content
    NotAllowed, // the file cannot be opened for writing; it is untouched
};

// afterWrite, when given, runs once the content is written and before the size is set.
InPlaceWrite writeInPlace(const QByteArray& fileName, const QByteArray& content,
                          void (*afterWrite)() = nullptr);
