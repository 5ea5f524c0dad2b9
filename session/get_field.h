#pragma once

#include <QString>
#include <QtGlobal>

// Field n (counted from 1) of text split at the character with code separator.
// A field number below 1 or beyond the last field gives empty text.
QString GetField(qint16 n, const QString& text, int separator);
