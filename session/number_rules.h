#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// How the program reads numbers out of text: ports typed in the dialog, freqs and
// icon numbers sent by the server, and the values of style strings.

// The numeric-prefix rule: blanks, tabs and line feeds anywhere are ignored, then the
// longest leading decimal number (sign, digits, fraction, exponent) is the value;
// a text that does not start with a number gives 0.
double numericPrefixValue(const QString& text);

// The strict rule: the whole text, blanks and all, must be one decimal number.
std::optional<double> strictNumberValue(const QString& text);

// Rounds half to even; nothing when the result lies outside the signed 16-bit range.
std::optional<qint16> roundToInt16(double value);

// Rounds half to even and clamps into the signed 16-bit range.
qint16 clampToInt16(double value);
