#pragma once

#include <QList>
#include <QString>

// A reader and writer of "INI" profile files that treats a file exactly as the Windows
// profile functions do, so that Game.ini travels between this program and the Windows one.
//
// Reading: section and key names match without regard to letter case, the first
// matching section and, inside it, the first matching key win; the value is trimmed of
// blanks, tabs and stray CRs and loses one pair of matching quotes around it; lines whose first
// non-blank character is ";" are comments; LF and CRLF files read alike; a missing
// file, section or key reads as empty text.
//
// Writing: replaces the key's line in place, or adds the key at the end of its section,
// or adds the section at the end of the file, or creates the file (with CRLF line ends
// and readable by its owner only). Every other line stays as it was, with the file's
// own line-end style. A save rewrites the file once, whatever it changes, and leaves
// the old file or the new one, never less (see rewriteFile); a save that cannot be made
// is dropped silently.
//
// Texts are stored one byte per character in Windows-1252.
namespace ProfileFile {

// The longest value handed back by readString; longer values are cut.
inline constexpr int kMaxValueLength = 4999;

QString readString(const QString& path, const QString& section, const QString& key);
void writeString(const QString& path, const QString& section, const QString& key,
                 const QString& value);

struct KeyValue
{
    QString key;
    QString value;
};
// Writes every key of values into section, in that order, as one save of the file.
void writeStrings(const QString& path, const QString& section, const QList<KeyValue>& values);

// The same rules on a file's text: the value a key reads as, and the text with a key
// written into it (empty text stands for a file that does not exist yet).
QString readFromText(const QString& content, const QString& section, const QString& key);
QString writeToText(const QString& content, const QString& section, const QString& key,
                    const QString& value);

} // namespace ProfileFile
