#pragma once

#include <QString>

// Game.ini: the five values of the connect dialog kept between runs, section INIT of
// the file Game.ini, beside the program or in the user's settings folder
// (settings_folder.h).

// The value of key in section of file, without surrounding blanks; empty text when the
// file, the section or the key is missing. At most 4,999 characters come back.
QString ReadIniValue(const QString& file, const QString& section, const QString& key);

// Stores the value under key in section of file. Failures are ignored.
void WriteIniValue(const QString& file, const QString& section, const QString& key,
                   const QString& value);

// Whether path names an entry of the kinds the attribute mask admits. An ordinary file
// always counts; a folder only with kAttributeDirectory, a hidden (dot) file only with
// kAttributeHidden. Game.ini is looked for with mask 0.
inline constexpr int kAttributeHidden = 0x02;
inline constexpr int kAttributeDirectory = 0x10;
bool FileExists(const QString& path, int attributeMask);

// The full path of the settings file: its folder is decided afresh each time, so the
// path is the same whichever window was loaded first.
QString settingsFilePath();

// Writes Name, Password, Arena, ServerIP and Port, in that order, from the session
// values, in one save of the file. The port goes out as decimal with a blank in place
// of a plus sign (" 7706"). The user's settings folder is made first where it is
// missing.
void SaveSettings();
