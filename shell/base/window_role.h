#pragma once

#include <QAccessible>

struct QMetaObject;

// Makes assistive technology see every window of one class with the given role (a
// frame, a dialog) and its caption as its name. A plain top-level widget is otherwise
// reported as a mere "filler". Call it before the first such window is created.
void reportWindowRole(const QMetaObject& windowClass, QAccessible::Role role);
