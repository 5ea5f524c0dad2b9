#pragma once

#include <QString>
#include <QtGlobal>

class TranscriptView;

// Appends text to the transcript as a line of its own, after a line break, in the
// given colour and emphasis. The text goes in literally: nothing in it is read as markup.
void AppendChat(TranscriptView* view, const QString& text, quint8 red, quint8 green, quint8 blue,
                quint8 bold, quint8 italic);
