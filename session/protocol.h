#pragma once

#include <QtGlobal>

// What the client and a zone agree on about lines, in one place.
namespace Protocol {

// Sent in "LOGIN:"; the zone refuses a version it does not speak.
inline constexpr int kProtocolVersion = 1;
// Ends every line the client sends and splits what the server sends: LF, fixed.
inline constexpr char kLineDelimiter = '\n';
// A line the client would send longer than this, delimiter included, is not sent.
inline constexpr int kMaxFramedLine = 300;
// A partial line from the server longer than this is thrown away, up to the next LF.
inline constexpr qsizetype kMaxPendingBytes = 1024 * 1024;

} // namespace Protocol
