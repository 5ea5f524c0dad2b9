#pragma once

#include <QByteArray>
#include <QList>

// What the robots say. Some texts hold colons (times, web addresses, smileys),
// since a client must keep a message's text whole after its named fields.
namespace BotPhrases {

inline const QList<QByteArray> kPublic = {"Anyone up for a game?",
                                          "Nice shot out there!",
                                          "The warbirds are fast today.",
                                          "Who took the flag?",
                                          "Watch the center, folks.",
                                          "gg all",
                                          "Spawn camping again...",
                                          "Lag check, all good?",
                                          "Rematch at 10:30, who's in?",
                                          "New maps are up: http://example.org/maps",
                                          "gg :)",
                                          "That was close :-)"};

inline const QList<QByteArray> kFreq = {
    "Cover me, going in.",           "Regroup at base.",
    "Two enemies left side.",        "Need a pod pickup!",
    "Hold the line, team.",          "Meet at 10:30 by the flag.",
    "Plan: http://example.org/maps", "Nice save :)"};

inline const QList<QByteArray> kArenaNotices = {
    "Next round starts soon", "Scores are reset every hour", "Be kind in public chat",
    "Double points this round", "Final round at 22:00"};

inline const QList<QByteArray> kSysopWarnings = {
    "The zone restarts in 5 minutes", "Maintenance tonight at 23:00 for about 10 minutes",
    "Rules: http://example.org/rules", "Report cheaters to the staff, thanks :)"};

inline const QList<QByteArray> kChannels = {"1", "2"};

inline const QList<QByteArray> kChannelTexts = {"anyone for a duel?", "duel at 20:15, who's in?",
                                                "league table: http://example.org/league",
                                                "back in 5 :)"};

// A robot's squad follows its freq.
inline const QList<QByteArray> kSquads = {"wolves", "ravens"};

inline const QList<QByteArray> kSquadTexts = {"meet at 10:30", "practice tonight at 21:00",
                                              "tactics: http://example.org/tactics",
                                              "good games today :-)"};

inline const QByteArray kMapsAddress = "http://example.org/maps";

} // namespace BotPhrases
