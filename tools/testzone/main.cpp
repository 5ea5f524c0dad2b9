// testzone: a small local chat zone for trying the client and for end-to-end
// tests. One thread, event-driven; SIGINT and SIGTERM end it by their default
// action, and it starts no other process.
#include "bots.h"
#include "zone.h"
#include "zone_options.h"
#include "zone_server.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

QString hostAndPort(const QHostAddress& address, quint16 port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return host + QLatin1Char(':') + QString::number(port);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);

    QString error;
    const std::optional<ZoneOptions> options = parseZoneOptions(app.arguments(), &error);
    if (!options) {
        if (error.isEmpty()) {
            std::fputs(qPrintable(zoneUsage()), stdout);
            return 0;
        }
        std::fprintf(stderr, "testzone: %s\n%s", qPrintable(error), qPrintable(zoneUsage()));
        return 2;
    }

    Zone zone(options->echo);
    ZoneServer server(zone, options->idleLimit, options->lineEnd);
    BotCrew bots(zone, options->bots, options->botInterval, options->seed);
    bots.start();

    if (!server.listen(options->listenAddress, options->port)) {
        std::fprintf(stderr, "testzone: cannot listen on %s: %s\n",
                     qPrintable(hostAndPort(options->listenAddress, options->port)),
                     qPrintable(server.errorString()));
        return 1;
    }
    // Scripts and tests wait for this line to learn that the zone is up, and where.
    std::printf("testzone listening on %s\n",
                qPrintable(hostAndPort(server.address(), server.port())));
    std::fflush(stdout);

    return app.exec();
}
