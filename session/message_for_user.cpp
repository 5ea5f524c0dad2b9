#include "session/message_for_user.h"

#include "session/get_field.h"

#include <array>

namespace {

enum class Meant {
    Always,    // a private message
    WhenNamed, // only when its text names the user
};

struct NoticedKind
{
    QStringView prefix;
    Meant meant;
};

constexpr std::array<NoticedKind, 4> kNoticedKinds{{
    {u"MSG:PRIV:", Meant::Always},
    {u"MSG:PUB:", Meant::WhenNamed},
    {u"MSG:FREQ:", Meant::WhenNamed},
    {u"MSG:CHAT:", Meant::WhenNamed},
}};

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Does text hold name with no letter, digit or "_" joined to it on either side?
bool holdsWord(const QString& text, const QString& name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + name.size();
        const bool startsWord = at == 0 || !isWordCharacter(text.at(at - 1));
        const bool endsWord = end == text.size() || !isWordCharacter(text.at(end));
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

// Sender and text of a message, fields counted after the kind's prefix: the sender
// first, or for a chat channel the channel, then "sender> text".
MessageForUser partsOf(const NoticedKind& kind, const QString& fields)
{
    MessageForUser message{GetField(1, fields, ':'), getFieldsFrom(2, fields, ':')};
    if (kind.prefix == u"MSG:CHAT:") {
        const qsizetype mark = message.text.indexOf(u"> ");
        if (mark > 0)
            message = {message.text.left(mark), message.text.mid(mark + 2)};
        else
            message.sender = QStringLiteral("Chat ") + message.sender;
    }
    // A server that ends its lines with CR LF leaves the CR in the last field.
    if (message.text.endsWith(u'\r'))
        message.text.chop(1);
    return message;
}

} // namespace

std::optional<MessageForUser> messageForUser(const QString& line, const QString& userName)
{
    for (const NoticedKind& kind : kNoticedKinds) {
        if (!line.startsWith(kind.prefix))
            continue;
        MessageForUser message = partsOf(kind, line.mid(kind.prefix.size()));
        if (!userName.isEmpty() && message.sender.compare(userName, Qt::CaseInsensitive) == 0)
            return std::nullopt;
        if (kind.meant == Meant::WhenNamed && !holdsWord(message.text, userName))
            return std::nullopt;
        return message;
    }
    return std::nullopt;
}
