#pragma once

class QApplication;

// What the program sets once on the application before any window exists: its name,
// that closing a window never ends it by itself, and the stand-ins for missing fonts.
void setUpApplication(QApplication& app);
