#include "session/command_line.h"

std::optional<QString> commandLineToProtocol(const QString& typedLine, const QStringList& userNames)
{
    Q_UNUSED(typedLine);
    Q_UNUSED(userNames);
    return std::nullopt;
}
