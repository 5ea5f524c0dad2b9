#include "session/command_line.h"

#include <array>

namespace {

// What follows a row's prefix in the protocol line.
enum class Body {
    Rest,    // the typed line after the prefix, unchanged
    Private, // recipient, ":" and message, taken from the typed line after the prefix
};

struct CommandRow
{
    QStringView prefix;
    QStringView keyword;
    Body body;
};

// Tested in this order, first match wins; "//" must come before "/". Every row compares
// exactly and case-sensitively, and the typed line is not trimmed: a leading blank makes
// a public message.
constexpr std::array<CommandRow, 6> kCommands{{
    {u"//", u"SEND:FREQ:", Body::Rest},   // message to the user's own frequency
    {u"/", u"SEND:PRIV:", Body::Private}, // private message to one user
    {u"=", u"CHANGEFREQ:", Body::Rest},   // move to another frequency
    {u"?GO ", u"GO:", Body::Rest},        // move to another arena
    {u"?go ", u"GO:", Body::Rest},
    {u"", u"SEND:PUB:", Body::Rest}, // anything else that is not empty: public message
}};

// Does the text start with one of the names, followed by a blank? The longest such name
// wins, so that "Big Bob" is preferred to "Big" when both are in the list.
qsizetype longestListedName(QStringView text, const QStringList& userNames)
{
    qsizetype best = -1;
    for (const QString& name : userNames) {
        if (name.isEmpty() || name.size() <= best || text.size() <= name.size())
            continue;
        if (text.startsWith(name) && text.at(name.size()) == u' ')
            best = name.size();
    }
    return best;
}

// Splits what follows the "/" of a private message into "recipient:message". The user
// list's double-click writes "/ name ", so one blank after the "/" is not part of the
// name. A name from the user list now is recognised even when it holds blanks; failing
// that, a ":" (which no name may hold) ends the name; failing that, the first blank.
QString privateMessage(QStringView afterSlash, const QStringList& userNames)
{
    QStringView rest = afterSlash.startsWith(u' ') ? afterSlash.mid(1) : afterSlash;
    qsizetype end = longestListedName(rest, userNames);
    if (end < 0)
        end = rest.indexOf(u':');
    if (end < 0)
        end = rest.indexOf(u' ');
    if (end < 0)
        return rest.toString() + u':';
    return rest.left(end).toString() + u':' + rest.mid(end + 1).toString();
}

} // namespace

std::optional<QString> commandLineToProtocol(const QString& typedLine, const QStringList& userNames)
{
    // An empty line would match only the catch-all row, and sends nothing.
    if (typedLine.isEmpty())
        return std::nullopt;
    for (const CommandRow& row : kCommands) {
        if (!typedLine.startsWith(row.prefix))
            continue;
        // The line is classified as it was typed; only then does a pasted line break go
        // out as the blank the box shows, as it cannot travel inside a protocol line.
        QString cleaned = typedLine.mid(row.prefix.size());
        cleaned.replace(u'\r', u' ').replace(u'\n', u' ');
        const QStringView rest(cleaned);
        switch (row.body) {
        case Body::Rest:
            return row.keyword.toString() + rest.toString();
        case Body::Private:
            return row.keyword.toString() + privateMessage(rest, userNames);
        }
    }
    return std::nullopt;
}
