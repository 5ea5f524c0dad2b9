#include "player_session.h"

namespace {

bool startsWith(const QByteArray& line, const char* prefix, QByteArray* rest)
{
    if (!line.startsWith(prefix))
        return false;
    *rest = line.mid(qstrlen(prefix));
    return true;
}

} // namespace

PlayerSession::PlayerSession(Zone& zone, Zone::Sink sink, QObject* parent)
    : QObject(parent), zone_(zone), sink_(std::move(sink))
{
}

PlayerSession::Outcome PlayerSession::handleLine(const QByteArray& line)
{
    QByteArray rest;
    if (!loggedIn()) {
        // Nothing but a login is heard before the player is logged in.
        if (startsWith(line, "LOGIN:", &rest))
            return handleLogin(rest);
        return Outcome::Continue;
    }
    handleCommand(line);
    return Outcome::Continue;
}

void PlayerSession::end()
{
    if (!loggedIn())
        return;
    zone_.logout(name_);
    name_.clear();
}

PlayerSession::Outcome PlayerSession::handleLogin(const QByteArray& fields)
{
    // version:name:password; the password is accepted whatever it is.
    const QList<QByteArray> parts = fields.split(':');
    if (parts.value(0) != QByteArray::number(kProtocolVersion)) {
        sink_("LOGINBAD:This zone speaks protocol version " + QByteArray::number(kProtocolVersion) +
              " only");
        return Outcome::Close;
    }
    const QByteArray name = parts.value(1);
    switch (zone_.login(name, sink_)) {
    case Zone::LoginResult::EmptyName:
        sink_("LOGINBAD:A name is needed");
        return Outcome::Close;
    case Zone::LoginResult::NameInUse:
        sink_("LOGINBAD:The name " + name + " is already in use");
        return Outcome::Close;
    case Zone::LoginResult::Ok:
        break;
    }
    name_ = name;
    sink_("LOGINOK:" + name);
    return Outcome::Continue;
}

void PlayerSession::handleCommand(const QByteArray& line)
{
    QByteArray rest;
    if (startsWith(line, "SEND:PUB:", &rest)) {
        zone_.sendPublic(name_, rest);
    } else if (startsWith(line, "SEND:PRIV:", &rest)) {
        // The recipient ends at the first ":"; the text may hold further colons.
        const qsizetype colon = rest.indexOf(':');
        const QByteArray to = colon < 0 ? rest : rest.left(colon);
        const QByteArray text = colon < 0 ? QByteArray() : rest.mid(colon + 1);
        zone_.sendPrivate(name_, to, text);
    } else if (startsWith(line, "SEND:FREQ:", &rest)) {
        zone_.sendFreq(name_, rest);
    } else if (startsWith(line, "CHANGEFREQ:", &rest)) {
        zone_.changeFreq(name_, rest);
    } else if (startsWith(line, "GO:", &rest)) {
        zone_.enter(name_, rest);
    }
    // "NOOP" only keeps the connection alive, which any line does; a second
    // login and unknown lines are ignored.
}
