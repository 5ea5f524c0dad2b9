#include "chatwindow/append_chat.h"

#include "chatwindow/transcript/transcript_view.h"
#include "session/wire_codec.h"

void AppendChat(TranscriptView* view, const QString& text, quint8 red, quint8 green, quint8 blue,
                quint8 bold, quint8 italic)
{
    // Every property is set on every call, so nothing carries over from the last message.
    view->append(toWire(text), TextLook{qRgb(red, green, blue), bold != 0, italic != 0});
}
