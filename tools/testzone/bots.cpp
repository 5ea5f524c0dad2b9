#include "bots.h"

#include "bot_phrases.h"
#include "player_session.h"

#include <algorithm>
#include <iterator>

namespace {

const QList<QByteArray> kNames = {"AceBot", "BeaBot", "CogBot", "DotBot", "EliBot",
                                  "FoxBot", "GusBot", "HexBot", "IvyBot", "JetBot",
                                  "KipBot", "LuxBot", "MoxBot", "NixBot", "OrbBot"};

// One visitor per arena, in the order of BotCrew::kArenas; never one of kNames.
const QList<QByteArray> kVisitorNames = {"RoamBot", "DriftBot"};

// The steps of the cycle on which the visitors log in and enter, and log out.
// They are away at the start, so a long interval keeps the arenas still.
constexpr int kVisitorsArrive = 2;
constexpr int kVisitorsLeave = 8;

} // namespace

BotCrew::BotCrew(Zone& zone, int botsPerArena, std::chrono::milliseconds interval, quint32 seed,
                 QObject* parent)
    : QObject(parent), zone_(zone), interval_(interval), random_(seed)
{
    int index = 0;
    for (const QByteArray& arena : kArenas) {
        for (int i = 0; i < botsPerArena; ++i, ++index) {
            QByteArray name = kNames[index % kNames.size()];
            if (index >= kNames.size())
                name += QByteArray::number(index / kNames.size() + 1);
            auto bot = makeBot(name, arena);
            bot->freq = i % 2;
            bot->greeter = i == 0;
            bots_.push_back(std::move(bot));
        }
    }
    if (botsPerArena > 0) {
        for (qsizetype a = 0; a < kArenas.size(); ++a)
            visitors_.push_back(makeBot(kVisitorNames[a], kArenas[a]));
    }
    tick_.setInterval(interval_);
    connect(&tick_, &QTimer::timeout, this, &BotCrew::onTick);
}

BotCrew::~BotCrew()
{
    for (const auto& bot : bots_)
        bot->session->end();
    for (const auto& visitor : visitors_)
        visitor->session->end();
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

std::unique_ptr<BotCrew::Bot> BotCrew::makeBot(const QByteArray& name, const QByteArray& arena)
{
    auto bot = std::make_unique<Bot>();
    bot->name = name;
    bot->arena = arena;
    Bot* self = bot.get();
    bot->session = new PlayerSession(
        zone_, [this, self](const QByteArray& line) { hear(*self, line); }, this);
    return bot;
}

void BotCrew::hear(Bot& bot, const QByteArray& line)
{
    // Called from inside the zone's routing: any answer waits for the event loop.
    const std::chrono::milliseconds soon = std::min(interval_, std::chrono::milliseconds(2000));
    const QList<QByteArray> fields = line.split(':');
    if (bot.greeter && line.startsWith("ENTERING:")) {
        const QByteArray newcomer = fields.value(1);
        if (!isBot(newcomer)) {
            sayLater(
                bot,
                "SEND:PRIV:" + newcomer + ":Welcome to arena " + bot.arena + ", " + newcomer +
                    "! Type a line to chat, // for your team. Maps: " + BotPhrases::kMapsAddress,
                soon);
        }
    } else if (line.startsWith("MSG:PRIV:")) {
        const QByteArray sender = fields.value(2);
        if (!isBot(sender))
            sayLater(bot, "SEND:PRIV:" + sender + ":Beep. I am only a robot, " + sender + " :-)",
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
    // Twelve steps, 48 s at the default pace: every kind of line comes once a
    // cycle at least, freq remarks twice since they alternate between the teams.
    static constexpr Remark kCycle[] = {
        Remark::Public, Remark::Freq, Remark::Chat,  Remark::Public, Remark::Arena, Remark::Squad,
        Remark::Public, Remark::Freq, Remark::Sysop, Remark::Public, Remark::Chat,  Remark::Squad};
    static constexpr int kCycleLength = static_cast<int>(std::size(kCycle));
    const int step = step_;
    step_ = (step_ + 1) % kCycleLength;

    const Remark remark = kCycle[step];
    if (remark == Remark::Sysop) {
        zone_.sysopWarning(pick(BotPhrases::kSysopWarnings));
    } else {
        for (const QByteArray& arena : kArenas)
            remarkIn(arena, remark);
    }
    if (remark == Remark::Freq)
        freqTurn_ = 1 - freqTurn_;

    if (step == kVisitorsArrive)
        visitorsArrive();
    else if (step == kVisitorsLeave)
        visitorsLeave();
}

void BotCrew::remarkIn(const QByteArray& arena, Remark remark)
{
    if (remark == Remark::Arena) {
        zone_.arenaMessage(arena, pick(BotPhrases::kArenaNotices));
        return;
    }
    Bot* speaker = speakerIn(arena, remark);
    if (!speaker)
        return;
    switch (remark) {
    case Remark::Public:
        say(*speaker, "SEND:PUB:" + pick(BotPhrases::kPublic));
        break;
    case Remark::Freq:
        say(*speaker, "SEND:FREQ:" + pick(BotPhrases::kFreq));
        break;
    case Remark::Chat: {
        const QByteArray channel = pick(BotPhrases::kChannels);
        zone_.sendChannel(speaker->name, channel, pick(BotPhrases::kChannelTexts));
        break;
    }
    case Remark::Squad:
        zone_.sendSquad(speaker->name, BotPhrases::kSquads[speaker->freq],
                        pick(BotPhrases::kSquadTexts));
        break;
    case Remark::Arena:
    case Remark::Sysop:
        break;
    }
}

BotCrew::Bot* BotCrew::speakerIn(const QByteArray& arena, Remark remark)
{
    // Freq remarks alternate between the teams on freq 0 and freq 1, so that a
    // newcomer on freq 0 hears one every other time; a lone team speaks always.
    std::vector<Bot*> speakers;
    for (const auto& bot : bots_) {
        if (bot->arena == arena && (remark != Remark::Freq || bot->freq == freqTurn_))
            speakers.push_back(bot.get());
    }
    if (speakers.empty() && remark == Remark::Freq) {
        for (const auto& bot : bots_) {
            if (bot->arena == arena)
                speakers.push_back(bot.get());
        }
    }
    if (speakers.empty())
        return nullptr;
    return speakers[random_.bounded(static_cast<quint32>(speakers.size()))];
}

void BotCrew::visitorsArrive()
{
    // A player may hold a visitor's name meanwhile: that visit is refused, and
    // the GO after it is ignored like any line before a login.
    for (const auto& visitor : visitors_) {
        say(*visitor, "LOGIN:1:" + visitor->name + ":robot");
        say(*visitor, "GO:" + visitor->arena);
    }
}

void BotCrew::visitorsLeave()
{
    for (const auto& visitor : visitors_)
        visitor->session->end();
}

bool BotCrew::isBot(const QByteArray& name) const
{
    const auto named = [&](const auto& bot) { return bot->name == name; };
    return std::any_of(bots_.begin(), bots_.end(), named) ||
           std::any_of(visitors_.begin(), visitors_.end(), named);
}

QByteArray BotCrew::pick(const QList<QByteArray>& texts)
{
    return texts[random_.bounded(static_cast<quint32>(texts.size()))];
}
