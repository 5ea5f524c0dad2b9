#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text crosses the wire and Game.ini as one byte per character in Windows-1252.
// Every byte decodes to one character and encodes back to the same byte; a character
// that Windows-1252 cannot hold is written as "?". Nothing else converts.
QString fromWire(QByteArrayView bytes);
QByteArray toWire(const QString& text);

// The Windows-1252 code of a character, or -1 when the code page cannot hold it.
int windows1252Code(QChar c);
