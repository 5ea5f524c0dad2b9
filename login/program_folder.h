#pragma once

#include <QString>

// The folder that holds the program's executable, where Game.ini lives.
QString programFolder();

// For tests only: makes programFolder() answer folder instead (an empty text restores
// the executable's folder), so that a test can keep its Game.ini in a temporary folder.
void overrideProgramFolderForTests(const QString& folder);
