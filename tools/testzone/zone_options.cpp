#include "zone_options.h"

namespace {

std::optional<qint64> wholeNumber(const QString& text, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace

QString zoneUsage()
{
    return QStringLiteral(
        "Usage: testzone [options]\n"
        "  --listen ADDRESS       address to listen on (default 127.0.0.1)\n"
        "  --port N               port to listen on, 0 for any free one up to 32767 (default "
        "7706)\n"
        "  --idle-timeout SECONDS disconnect a client silent this long (default 300)\n"
        "  --bots N               robot players in each of the arenas \"0\" and \"elim\"\n"
        "  --bot-interval MS      time between the robots' remarks (default 4000)\n"
        "  --seed N               seed of the robots' choices (default 1)\n"
        "  --line-end lf|crlf     what ends the lines the zone sends (default lf)\n"
        "  --echo on|off          send public and team messages back to their sender "
        "(default on)\n");
}

std::optional<ZoneOptions> parseZoneOptions(const QStringList& arguments, QString* error)
{
    ZoneOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            *error = QString();
            return std::nullopt;
        }
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("Missing value or unknown option: ") + option;
            return std::nullopt;
        }
        const QString value = arguments[++i];
        const auto bad = [&] {
            *error = QStringLiteral("Bad value for ") + option + QStringLiteral(": ") + value;
            return std::nullopt;
        };
        if (option == QLatin1String("--listen")) {
            if (!options.listenAddress.setAddress(value))
                return bad();
        } else if (option == QLatin1String("--port")) {
            const auto port = wholeNumber(value, 0, 65535);
            if (!port)
                return bad();
            options.port = static_cast<quint16>(*port);
        } else if (option == QLatin1String("--idle-timeout")) {
            const auto seconds = wholeNumber(value, 1, 24 * 3600);
            if (!seconds)
                return bad();
            options.idleLimit = std::chrono::seconds(*seconds);
        } else if (option == QLatin1String("--bots")) {
            const auto bots = wholeNumber(value, 0, 100);
            if (!bots)
                return bad();
            options.bots = static_cast<int>(*bots);
        } else if (option == QLatin1String("--bot-interval")) {
            const auto ms = wholeNumber(value, 10, 3600 * 1000);
            if (!ms)
                return bad();
            options.botInterval = std::chrono::milliseconds(*ms);
        } else if (option == QLatin1String("--seed")) {
            const auto seed = wholeNumber(value, 0, 0xFFFFFFFFLL);
            if (!seed)
                return bad();
            options.seed = static_cast<quint32>(*seed);
        } else if (option == QLatin1String("--line-end")) {
            if (value == QLatin1String("lf"))
                options.lineEnd = "\n";
            else if (value == QLatin1String("crlf"))
                options.lineEnd = "\r\n";
            else
                return bad();
        } else if (option == QLatin1String("--echo")) {
            if (value == QLatin1String("on"))
                options.echo = true;
            else if (value == QLatin1String("off"))
                options.echo = false;
            else
                return bad();
        } else {
            *error = QStringLiteral("Unknown option: ") + option;
            return std::nullopt;
        }
    }
    return options;
}
