#pragma once

#include <QFont>
#include <QString>
#include <QtGlobal>

// A font of a family the windows are designed with, in that family where it is
// installed and in its stand-in otherwise. Naming the stand-in directly spares the
// toolkit a search for the missing family each time such a font is made.
QFont designFont(const QString& family, qreal pointSize, bool bold);

// Tells the toolkit the stand-ins for the designed families, for fonts made by name.
void substituteDesignFonts();
