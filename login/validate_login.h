#pragma once

#include <QString>

// Tests the login values that Connect has just copied into the session state; on the
// first failure shows its message in a message box and returns false once the user
// has closed it.
bool ValidateLogin(const QString& portBoxText);
