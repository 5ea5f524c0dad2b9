#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

// What the command line may set.
struct ZoneOptions
{
    QHostAddress listenAddress{QHostAddress::LocalHost};
    quint16 port = 7706;
    std::chrono::milliseconds idleLimit{std::chrono::minutes(5)};
    int bots = 0;
    std::chrono::milliseconds botInterval{4000};
    quint32 seed = 1;
};

// Reads the arguments (program name first). On a bad or unknown option returns
// nothing and sets the error text.
std::optional<ZoneOptions> parseZoneOptions(const QStringList& arguments, QString* error);

QString zoneUsage();
