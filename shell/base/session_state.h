#pragma once

#include <QString>
#include <QtGlobal>

// The values the two windows and the protocol procedures share for the whole run.
// They are plain values on purpose: every procedure reads and writes them directly,
// on the one UI thread, so they need no accessors and no locks.
namespace Declares {

inline constexpr char kAppTitle[] = "Orvex Chat";
inline constexpr char kProgramVersion[] = "1.0.0";
// The name the desktop knows the program by: its menu entry, its icon in the icon theme,
// its software-centre entry.
inline constexpr char kAppId[] = "org.orvexchat.OrvexChat";

extern QString userName;
extern QString password;
extern QString arenaName;
extern QString serverIP;
extern qint16 port;
extern qint16 currentFreq;
extern QString typedLine;
extern QString AppDir;
extern bool running;

// Clears the running flag and asks the event loop to end once the current handler
// has returned; this also ends a modal message box that happens to be open.
void clearRunning();

// Puts every value back to its start-of-run state (texts empty, numbers 0, flag false).
void reset();

} // namespace Declares
