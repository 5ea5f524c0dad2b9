#include "bots.h"

#include "player_session.h"

#include <algorithm>

namespace {

const QList<QByteArray> kNames = {"AceBot", "BeaBot", "CogBot", "DotBot", "EliBot",
                                  "FoxBot", "GusBot", "HexBot", "IvyBot", "JetBot",
                                  "KipBot", "LuxBot", "MoxBot", "NixBot", "OrbBot"};

const QList<QByteArray> kPublicRemarks = {"Anyone up for a game?",        "Nice shot out there!",
                                          "The warbirds are fast today.", "Who took the flag?",
                                          "Watch the center, folks.",     "gg all",
                                          "Spawn camping again...",       "Lag check, all good?"};

const QList<QByteArray> kFreqRemarks = {"Cover me, going in.", "Regroup at base.",
                                        "Two enemies left side.", "Need a pod pickup!",
                                        "Hold the line, team."};

const QList<QByteArray> kArenaNotices = {"Next round starts soon", "Scores are reset every hour",
                                         "Be kind in public chat", "Double points this round"};

// One remark each turn; the cycle holds every kind at least once.
constexpr int kCycleLength = 4;

} // namespace

BotCrew::BotCrew(Zone& zone, int botsPerArena, std::chrono::milliseconds interval, quint32 seed,
                 QObject* parent)
    : QObject(parent), zone_(zone), interval_(interval), random_(seed)
{
    int index = 0;
    for (const QByteArray& arena : kArenas) {
        for (int i = 0; i < botsPerArena; ++i, ++index) {
            auto bot = std::make_unique<Bot>();
            bot->name = kNames[index % kNames.size()];
            if (index >= kNames.size())
                bot->name += QByteArray::number(index / kNames.size() + 1);
            bot->arena = arena;
            bot->freq = i % 2;
            bot->greeter = i == 0;
            Bot* self = bot.get();
            bot->session = new PlayerSession(
                zone_, [this, self](const QByteArray& line) { hear(*self, line); }, this);
            bots_.push_back(std::move(bot));
        }
    }
    tick_.setInterval(interval_);
    connect(&tick_, &QTimer::timeout, this, &BotCrew::onTick);
}

BotCrew::~BotCrew()
{
    for (const auto& bot : bots_)
        bot->session->end();
}

void BotCrew::start()
{
    for (const auto& bot : bots_) {
        say(*bot, "LOGIN:1:" + bot->name + ":robot");
        say(*bot, "GO:" + bot->arena);
        if (bot->freq != 0)
            say(*bot, "CHANGEFREQ:" + QByteArray::number(bot->freq));
    }
    if (!bots_.empty())
        tick_.start();
}

void BotCrew::hear(Bot& bot, const QByteArray& line)
{
    // Called from inside the zone's routing: any answer waits for the event loop.
    const std::chrono::milliseconds soon = std::min(interval_, std::chrono::milliseconds(2000));
    const QList<QByteArray> fields = line.split(':');
    if (bot.greeter && line.startsWith("ENTERING:")) {
        const QByteArray newcomer = fields.value(1);
        if (!isBot(newcomer)) {
            sayLater(bot,
                     "SEND:PRIV:" + newcomer + ":Welcome to arena " + bot.arena + ", " + newcomer +
                         "! Type a line to chat, // for your team.",
                     soon);
        }
    } else if (line.startsWith("MSG:PRIV:")) {
        const QByteArray sender = fields.value(2);
        if (!isBot(sender))
            sayLater(bot, "SEND:PRIV:" + sender + ":Beep. I am only a robot, " + sender + ".",
                     soon);
    }
}

void BotCrew::say(Bot& bot, const QByteArray& line)
{
    bot.session->handleLine(line);
}

void BotCrew::sayLater(Bot& bot, const QByteArray& line, std::chrono::milliseconds delay)
{
    Bot* self = &bot;
    QTimer::singleShot(delay, this, [this, self, line] { say(*self, line); });
}

void BotCrew::onTick()
{
    static constexpr Remark kCycle[kCycleLength] = {Remark::Public, Remark::Freq, Remark::Public,
                                                    Remark::Arena};
    const Remark remark = kCycle[step_++ % kCycleLength];
    for (const QByteArray& arena : kArenas)
        remarkIn(arena, remark);
    if (remark == Remark::Freq)
        freqTurn_ = 1 - freqTurn_;
}

void BotCrew::remarkIn(const QByteArray& arena, Remark remark)
{
    if (remark == Remark::Arena) {
        zone_.arenaMessage(arena, pick(kArenaNotices));
        return;
    }
    // Freq remarks alternate between the teams on freq 0 and freq 1, so that a
    // newcomer on freq 0 hears one every other time.
    std::vector<Bot*> speakers;
    for (const auto& bot : bots_) {
        if (bot->arena == arena && (remark == Remark::Public || bot->freq == freqTurn_))
            speakers.push_back(bot.get());
    }
    if (speakers.empty() && remark == Remark::Freq) {
        for (const auto& bot : bots_) {
            if (bot->arena == arena)
                speakers.push_back(bot.get());
        }
    }
    if (speakers.empty())
        return;
    Bot& speaker = *speakers[random_.bounded(static_cast<quint32>(speakers.size()))];
    if (remark == Remark::Public)
        say(speaker, "SEND:PUB:" + pick(kPublicRemarks));
    else
        say(speaker, "SEND:FREQ:" + pick(kFreqRemarks));
}

bool BotCrew::isBot(const QByteArray& name) const
{
    return std::any_of(bots_.begin(), bots_.end(),
                       [&](const auto& bot) { return bot->name == name; });
}

QByteArray BotCrew::pick(const QList<QByteArray>& texts)
{
    return texts[random_.bounded(static_cast<quint32>(texts.size()))];
}
