#pragma once

#include <QString>

class SocketComponent;

namespace TCP {

// The single way out for every protocol line: frames the line with the delimiter and
// writes it; a line too long (Protocol::kMaxFramedLine) is dropped silently.
void SendLine(SocketComponent& socket, const QString& line);

} // namespace TCP
