#pragma once

#include <QString>
#include <QtGlobal>

// Whether a character, given by its Windows-1252 code, may stand in a user name or a
// password: backspace and printable ASCII except " * / : < > ? \ |. A code of -1 (a
// character the code page cannot hold) is refused.
bool IsAllowedChar(qint16 code);

// The message for the first of the login tests that the session values fail, in the
// order the user is told about them; empty text when every test passes. portBoxText
// is the port box's text as it stood when Connect was pressed.
QString loginProblem(const QString& portBoxText);
