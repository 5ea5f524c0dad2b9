#pragma once

#include <QString>
#include <QtGlobal>

// Field n (counted from 1) of text split at the character with code separator.
// A field number below 1 or beyond the last field gives empty text.
QString GetField(qint16 n, const QString& text, int separator);

// Field n and everything after it, separators included; empty text when there is no
// field n. A message's last value is read this way, since a message text may hold the
// separator ("see you at 10:30").
QString getFieldsFrom(qint16 n, const QString& text, int separator);
