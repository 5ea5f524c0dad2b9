#pragma once

#include <QByteArray>
#include <QString>

// Gives a file new content so that, whatever stops the save, the file holds its old
// content or the new one, and stays the file it was: its owner, group, mode, access
// rights and names.
//
// A symbolic link stays a link and its target gets the content. A new file is written
// beside the old one and renamed over it, carrying the old owner, group, mode, access
// control list and other extended attributes. Where that cannot be done without loss
// (no file can be made in the folder, the folder refuses the rename, the file has
// further names, or its owner, group or attributes cannot be given to a new file) the
// file is written in place instead (see writeInPlace). Only where it cannot be written
// in place either does a new file take its place with the group and mode alone, and
// with what it can carry of the attributes. A file that does not exist yet is created
// readable by its owner only.
//
// Returns whether the file now holds content; a failed save is for the caller to ignore.
bool rewriteFile(const QString& path, const QByteArray& content);

// For tests only: the moments at which a save can be interrupted.
enum class RewriteStep {
    NewFileWritten, // the new file is complete beside the old one, not yet renamed
    WrittenInPlace, // the content is written into the file, its size not yet set
};
// For tests only: calls hook at each of those moments (nullptr removes it).
void setRewriteStepHookForTests(void (*hook)(RewriteStep));
