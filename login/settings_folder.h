#pragma once

#include <QString>

// Where Game.ini lives. Beside the program wherever the user can keep it there: in a
// folder the user can write, or in one that already holds a Game.ini the user can write.
// A program installed under /usr never writes there; it, and a program in a folder where
// neither holds, keeps the file in the user's own settings folder (userSettingsFolder).
// Decided afresh from what is on disk at each call, so that the file is read from where
// it will be written.
QString settingsFolder();

// The user's own folder for the program's settings: $XDG_CONFIG_HOME/orvex-chat, or
// ~/.config/orvex-chat when that variable is unset or not an absolute path.
QString userSettingsFolder();

// Makes folder, and any missing folder above it, readable by the user alone (0700), as
// the desktop's rules for settings folders ask. True when the folder exists afterwards.
bool makeFolderForUserAlone(const QString& folder);
