#pragma once

#include <QByteArray>
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
    // What ends every line the zone sends: LF, or CR LF as some zones send.
    QByteArray lineEnd = "\n";
    // Public and team messages go back to their sender as well.
    bool echo = true;
};

// Reads the arguments (program name first). On a bad or unknown option returns
// nothing and sets the error text.
std::optional<ZoneOptions> parseZoneOptions(const QStringList& arguments, QString* error);

QString zoneUsage();
