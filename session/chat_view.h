#pragma once

#include <QString>
#include <QtGlobal>

// What the protocol needs of the chat window: the transcript and the user list.
// frmMain implements it; tests and fuzz targets implement it to record what they see.
class ChatView
{
public:
    virtual ~ChatView() = default;

    // Appends text as a paragraph of its own in the given colour and emphasis.
    virtual void appendLine(const QString& text, quint8 red, quint8 green, quint8 blue, quint8 bold,
                            quint8 italic) = 0;
    virtual void clearUsers() = 0;
    // smallIcon is the 1-based picture number; 0 or anything beyond the pictures shows none.
    virtual void addUser(const QString& name, int smallIcon) = 0;
    // Removes the first entry whose text is exactly name; nothing when none is.
    virtual void removeUser(const QString& name) = 0;

protected:
    ChatView() = default;
    ChatView(const ChatView&) = default;
    ChatView& operator=(const ChatView&) = default;
};
