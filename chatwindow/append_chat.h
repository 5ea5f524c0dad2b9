#pragma once

#include <QString>
#include <QtGlobal>

class QTextEdit;

// Appends text to the transcript as a paragraph of its own, after a line break, in the
// given colour and emphasis. The text goes in literally: nothing in it is read as markup.
// The paragraph a message starts in carries kMessageStart as its user state; those
// that a CR inside the text begins carry none, so the messages can be counted.
inline constexpr int kMessageStart = 1;

void AppendChat(QTextEdit* view, const QString& text, quint8 red, quint8 green, quint8 blue,
                quint8 bold, quint8 italic);
