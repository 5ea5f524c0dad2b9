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
// chatter, a private welcome for every newcomer, and now and then an arena
// notice, so that every kind of chat line turns up within a minute. They speak
// the same protocol lines as any client. Their choices come from a seeded
// generator, so a run with the same seed and timing says the same things.
class BotCrew : public QObject
{
public:
    static inline const QList<QByteArray> kArenas = {Zone::kDefaultArena, "elim"};

    BotCrew(Zone& zone, int botsPerArena, std::chrono::milliseconds interval, quint32 seed,
            QObject* parent = nullptr);
    ~BotCrew() override;

    // Logs the robots in and sends them into their arenas.
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
    enum class Remark { Public, Freq, Arena };

    void hear(Bot& bot, const QByteArray& line);
    void say(Bot& bot, const QByteArray& line);
    void sayLater(Bot& bot, const QByteArray& line, std::chrono::milliseconds delay);
    void onTick();
    void remarkIn(const QByteArray& arena, Remark remark);
    bool isBot(const QByteArray& name) const;
    QByteArray pick(const QList<QByteArray>& texts);

    Zone& zone_;
    std::chrono::milliseconds interval_;
    QRandomGenerator random_;
    std::vector<std::unique_ptr<Bot>> bots_;
    QTimer tick_;
    int step_ = 0;
    int freqTurn_ = 0;
};
