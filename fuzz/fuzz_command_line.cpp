// The command line's classification, private-message rule included, on arbitrary
// typed lines and user lists: exactly one protocol line for a non-empty line, chosen by
// the line as typed, its text taken whole from the line as the box shows it (line
// breaks as blanks), and the longest listed name chosen as recipient.
#include "session/command_line.h"
#include "session/wire_codec.h"

#include <cstdint>
#include <cstdlib>

namespace {

QString asShown(QString line)
{
    return line.replace(u'\r', u' ').replace(u'\n', u' ');
}

void checkPrivate(const QString& rest, const QString& out, const QStringList& names)
{
    qsizetype split = -1;
    for (qsizetype k = 0; k < rest.size() && split < 0; ++k) {
        if ((rest[k] == u' ' || rest[k] == u':') && out == rest.left(k) + u':' + rest.mid(k + 1))
            split = k;
    }
    if (split < 0) {
        if (rest.contains(u' ') || rest.contains(u':') || out != rest + u':')
            std::abort();
        return;
    }
    for (const QString& name : names) {
        if (!name.isEmpty() && name.size() > split && rest.startsWith(name + u' ') &&
            !out.startsWith(name + u':'))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The typed line, then the names in the user list, separated by 0x01 bytes.
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\x01');
    const QString typed = fromWire(parts.value(0));
    QStringList names;
    for (qsizetype i = 1; i < parts.size(); ++i)
        names << fromWire(parts[i]);

    const std::optional<QString> sent = commandLineToProtocol(typed, names);
    if (typed.isEmpty() != !sent.has_value())
        std::abort();
    if (!sent)
        return 0;
    if (sent->contains(u'\n') || sent->contains(u'\r'))
        std::abort();
    // Prefixes hold no line break, so what follows one is the same whether the break
    // became a blank before or after the cut.
    const QString line = asShown(typed);
    if (typed.startsWith(QLatin1String("//"))) {
        if (*sent != QLatin1String("SEND:FREQ:") + line.mid(2))
            std::abort();
    } else if (typed.startsWith(u'/')) {
        if (!sent->startsWith(QLatin1String("SEND:PRIV:")))
            std::abort();
        const QString afterSlash = line.mid(1);
        checkPrivate(afterSlash.startsWith(u' ') ? afterSlash.mid(1) : afterSlash, sent->mid(10),
                     names);
    } else if (typed.startsWith(u'=')) {
        if (*sent != QLatin1String("CHANGEFREQ:") + line.mid(1))
            std::abort();
    } else if (typed.startsWith(QLatin1String("?go ")) || typed.startsWith(QLatin1String("?GO "))) {
        if (*sent != QLatin1String("GO:") + line.mid(4))
            std::abort();
    } else if (*sent != QLatin1String("SEND:PUB:") + line) {
        std::abort();
    }
    return 0;
}
