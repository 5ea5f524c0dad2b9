#pragma once

#include <QString>

class QWidget;

// A problem the user must act on: modal, no icon, one OK button, the application title.
// Returns when the user has closed it, or at once when the program is ending.
void showMessage(const QString& text, QWidget* parent = nullptr);
