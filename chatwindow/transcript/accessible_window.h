#pragma once

#include "chatwindow/transcript/line_store.h"

#include <QList>
#include <QString>

// A run of messages as assistive technology reads them: their shown text, a line feed
// between two messages, and where each message begins in it. The empty first line
// (kHeadLine) may lead it.
struct AccessibleWindow
{
    QList<qint64> ids; // in order: kHeadLine first where it is in
    QList<int> starts;
    QString text;

    // The index of the message in ids, or of the first one after it (ids.size() if none).
    qsizetype indexAtOrAfter(qint64 message) const;
    // Where the text of the message at index ends (before the line feed that follows).
    int endOf(qsizetype index) const;
};

// The messages from first to last (kHeadLine, or kept messages) of store.
AccessibleWindow accessibleWindow(const LineStore& store, qint64 first, qint64 last);

// One change of the text at position: removed text taken out, then inserted text put in.
struct TextEdit
{
    int position = 0;
    QString removed;
    QString inserted;
};

// The changes that turn the text of one window into that of the next, in the order to
// apply them, each at the text as the edits before it left it. A message in both keeps
// its text, so only those that left or came are told.
QList<TextEdit> editsBetween(const AccessibleWindow& from, const AccessibleWindow& to);

// How far into its shown text a byte offset of a message lies: a CR LF shows as one
// line feed. And back: the byte offset of a place in the shown text.
int shownOffset(QByteArrayView message, qsizetype byteOffset);
qsizetype byteOffset(QByteArrayView message, int shownOffset);
