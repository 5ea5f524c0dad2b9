#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Turns a typed line into the one protocol line it stands for, or nothing for an empty
// line. userNames are the names in the user list now, used to find a private
// message's recipient.
std::optional<QString> commandLineToProtocol(const QString& typedLine,
                                             const QStringList& userNames);
