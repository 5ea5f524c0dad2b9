#include "zone.h"

namespace {

// A freq is a plain decimal number from 0 to kMaxFreq; blanks around it are allowed.
std::optional<int> parseFreq(const QByteArray& text)
{
    const QByteArray digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 4)
        return std::nullopt;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return digits.toInt();
}

} // namespace

Zone::LoginResult Zone::login(const QByteArray& name, Sink sink)
{
    if (name.isEmpty())
        return LoginResult::EmptyName;
    if (isLoggedIn(name))
        return LoginResult::NameInUse;
    Player player;
    player.name = name;
    player.deliver = std::move(sink);
    // Round-robin over every ship, the pod (8) included.
    player.ship = logins_++ % kShipCount;
    players_.emplace(name, std::move(player));
    return LoginResult::Ok;
}

void Zone::logout(const QByteArray& name)
{
    Player* player = find(name);
    if (!player)
        return;
    leaveArena(*player);
    players_.erase(name);
}

void Zone::enter(const QByteArray& name, const QByteArray& arena)
{
    Player* player = find(name);
    if (!player)
        return;
    leaveArena(*player);

    const QByteArray arenaName = arena.isEmpty() ? kDefaultArena : arena;
    player->inArena = true;
    player->arena = arenaName;
    player->freq = 0;
    QList<QByteArray>& members = arenas_[arenaName];
    members.append(name);

    player->deliver("INARENA:" + arenaName + ':' + QByteArray::number(player->freq));
    for (const QByteArray& member : members)
        player->deliver("PLAYER:" + playerFields(*find(member)));
    deliverTo(members, "ENTERING:" + playerFields(*player), name);
}

Zone::Player* Zone::senderInArena(const QByteArray& from)
{
    Player* sender = find(from);
    if (sender && !sender->inArena) {
        notify(from, "Enter an arena first");
        return nullptr;
    }
    return sender;
}

void Zone::sendPublic(const QByteArray& from, const QByteArray& text)
{
    Player* sender = senderInArena(from);
    if (!sender)
        return;
    deliverTo(arenas_.value(sender->arena), "MSG:PUB:" + from + ':' + text,
              echo_ ? QByteArray() : from);
}

void Zone::sendPrivate(const QByteArray& from, const QByteArray& to, const QByteArray& text)
{
    if (!find(from))
        return;
    Player* recipient = find(to);
    if (!recipient) {
        notify(from, "No such player: " + to);
        return;
    }
    recipient->deliver("MSG:PRIV:" + from + ':' + text);
}

void Zone::sendFreq(const QByteArray& from, const QByteArray& text)
{
    Player* sender = senderInArena(from);
    if (!sender)
        return;
    QList<QByteArray> team;
    for (const QByteArray& member : arenas_.value(sender->arena)) {
        if (find(member)->freq == sender->freq)
            team.append(member);
    }
    deliverTo(team, "MSG:FREQ:" + from + ':' + text, echo_ ? QByteArray() : from);
}

void Zone::changeFreq(const QByteArray& name, const QByteArray& freqText)
{
    Player* player = find(name);
    if (!player)
        return;
    const std::optional<int> freq = parseFreq(freqText);
    if (!freq) {
        notify(name, "Freq must be a number from 0 to " + QByteArray::number(kMaxFreq));
        return;
    }
    player->freq = *freq;
    notify(name, "You are now on freq " + QByteArray::number(*freq));
}

void Zone::arenaMessage(const QByteArray& arena, const QByteArray& text)
{
    deliverTo(arenas_.value(arena), "MSG:ARENA:" + text, QByteArray());
}

void Zone::sysopWarning(const QByteArray& text)
{
    for (const auto& [name, player] : players_)
        player.deliver("MSG:SYSOP:" + text);
}

void Zone::sendChannel(const QByteArray& from, const QByteArray& channel, const QByteArray& text)
{
    Player* sender = senderInArena(from);
    if (!sender)
        return;
    // A channel line names no sender of its own: the text carries it.
    deliverTo(arenas_.value(sender->arena), "MSG:CHAT:" + channel + ':' + from + "> " + text, from);
}

void Zone::sendSquad(const QByteArray& from, const QByteArray& squad, const QByteArray& text)
{
    Player* sender = senderInArena(from);
    if (!sender)
        return;
    deliverTo(arenas_.value(sender->arena), "MSG:SQUAD:" + squad + ':' + from + ':' + text, from);
}

Zone::Player* Zone::find(const QByteArray& name)
{
    const auto it = players_.find(name);
    return it == players_.end() ? nullptr : &it->second;
}

void Zone::leaveArena(Player& player)
{
    if (!player.inArena)
        return;
    player.inArena = false;
    QList<QByteArray>& members = arenas_[player.arena];
    members.removeOne(player.name);
    const QList<QByteArray> remaining = members;
    if (members.isEmpty())
        arenas_.remove(player.arena);
    deliverTo(remaining, "LEAVING:" + player.name, QByteArray());
}

void Zone::notify(const QByteArray& name, const QByteArray& text)
{
    if (Player* player = find(name))
        player->deliver("MSG:ARENA:" + text);
}

void Zone::deliverTo(const QList<QByteArray>& names, const QByteArray& line,
                     const QByteArray& except)
{
    for (const QByteArray& name : names) {
        if (name == except)
            continue;
        if (Player* player = find(name))
            player->deliver(line);
    }
}

QByteArray Zone::playerFields(const Player& player)
{
    return player.name + ':' + QByteArray::number(player.ship) + ':' +
           QByteArray::number(player.freq);
}
