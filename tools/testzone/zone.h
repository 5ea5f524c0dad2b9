#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

#include <functional>
#include <map>
#include <optional>

// The zone's players and arenas, and the routing of everything said in them.
// Names, arenas and texts are opaque bytes; every delivery is one protocol line
// without its LF.
class Zone
{
public:
    // Receives the lines meant for one player. It must not call back into the
    // zone before returning: a reaction has to wait for the event loop.
    using Sink = std::function<void(const QByteArray& line)>;

    enum class LoginResult { Ok, EmptyName, NameInUse };

    static constexpr int kShipCount = 9;
    static constexpr int kMaxFreq = 9999;
    static inline const QByteArray kDefaultArena = "0";

    // echoOwnMessages: public and team messages go back to their sender too, as on the
    // zones where a client shows only what the server sends.
    explicit Zone(bool echoOwnMessages = true) : echo_(echoOwnMessages) {}

    LoginResult login(const QByteArray& name, Sink sink);
    // Leaves the arena (if any) and forgets the player.
    void logout(const QByteArray& name);

    // Moves the player into an arena; an empty name means the default public arena.
    void enter(const QByteArray& name, const QByteArray& arena);
    void sendPublic(const QByteArray& from, const QByteArray& text);
    void sendPrivate(const QByteArray& from, const QByteArray& to, const QByteArray& text);
    void sendFreq(const QByteArray& from, const QByteArray& text);
    void changeFreq(const QByteArray& name, const QByteArray& freqText);
    // A notice from the zone itself to everyone in an arena.
    void arenaMessage(const QByteArray& arena, const QByteArray& text);
    // A warning from the zone's operators to every player logged in, in an arena or not.
    void sysopWarning(const QByteArray& text);
    // Chat-channel and squad messages. The zone keeps no channel or squad
    // membership, so everyone else in the sender's arena hears them.
    void sendChannel(const QByteArray& from, const QByteArray& channel, const QByteArray& text);
    void sendSquad(const QByteArray& from, const QByteArray& squad, const QByteArray& text);

    bool isLoggedIn(const QByteArray& name) const { return players_.count(name) != 0; }
    QList<QByteArray> playersIn(const QByteArray& arena) const { return arenas_.value(arena); }

private:
    struct Player
    {
        QByteArray name;
        Sink deliver;
        int ship = 0;
        bool inArena = false;
        QByteArray arena;
        int freq = 0;
    };

    Player* find(const QByteArray& name);
    // The sender of a message for an arena, or nullptr (with a notice to a sender who
    // is in no arena yet).
    Player* senderInArena(const QByteArray& from);
    void leaveArena(Player& player);
    void notify(const QByteArray& name, const QByteArray& text);
    // Delivers a line to the given players, skipping one name (the sender).
    void deliverTo(const QList<QByteArray>& names, const QByteArray& line,
                   const QByteArray& except);
    static QByteArray playerFields(const Player& player);

    std::map<QByteArray, Player> players_;
    QHash<QByteArray, QList<QByteArray>> arenas_; // arena -> members in order of entry
    int logins_ = 0;
    bool echo_ = true;
};
