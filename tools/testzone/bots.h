#pragma once

#include "zone.h"

#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

#include <chrono>
#include <memory>
#include <vector>

class PlayerSession;

// Robot players that keep the arenas "0" and "elim" lively: public and freq
// chatter, a private welcome for every newcomer, arena notices, sysop warnings,
// chat-channel and squad messages, and a visiting robot per arena that comes and
// goes, so that every kind of line turns up within one cycle of ticks. They
// speak the same protocol lines as any client. Their choices come from a seeded
// generator, so a run with the same seed and timing says the same things.
class BotCrew : public QObject
{
public:
    static inline const QList<QByteArray> kArenas = {Zone::kDefaultArena, "elim"};

    BotCrew(Zone& zone, int botsPerArena, std::chrono::milliseconds interval, quint32 seed,
            QObject* parent = nullptr);
    ~BotCrew() override;

    // Logs the robots in and sends them into their arenas; the visitors wait
    // for their turn in the cycle.
    void start();

private:
    struct Bot
    {
        QByteArray name;
        QByteArray arena;
        int freq = 0;
        bool greeter = false;
        PlayerSession* session = nullptr;
    };
    enum class Remark { Public, Freq, Arena, Sysop, Chat, Squad };

    std::unique_ptr<Bot> makeBot(const QByteArray& name, const QByteArray& arena);
    void hear(Bot& bot, const QByteArray& line);
    void say(Bot& bot, const QByteArray& line);
    void sayLater(Bot& bot, const QByteArray& line, std::chrono::milliseconds delay);
    void onTick();
    void remarkIn(const QByteArray& arena, Remark remark);
    Bot* speakerIn(const QByteArray& arena, Remark remark);
    void visitorsArrive();
    void visitorsLeave();
    bool isBot(const QByteArray& name) const;
    QByteArray pick(const QList<QByteArray>& texts);

    Zone& zone_;
    std::chrono::milliseconds interval_;
    QRandomGenerator random_;
    std::vector<std::unique_ptr<Bot>> bots_;
    // One per arena, in the zone for part of each cycle.
    std::vector<std::unique_ptr<Bot>> visitors_;
    QTimer tick_;
    int step_ = 0;
    int freqTurn_ = 0;
};
