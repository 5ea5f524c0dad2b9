#pragma once

class QApplication;
class QFont;
class QString;

#include <QtGlobal>

// What the program sets once on the application before any window exists: its name,
// that closing a window never ends it by itself, and the stand-ins for missing fonts.
void setUpApplication(QApplication& app);

// A font of a family the windows are designed with, in that family where it is
// installed and in its stand-in otherwise. Naming the stand-in directly spares the
// toolkit a search for the missing family each time such a font is made.
QFont designFont(const QString& family, qreal pointSize, bool bold);
