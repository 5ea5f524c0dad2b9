#pragma once

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

// Public chat lines of realistic length: names of 3 to 12 characters, texts of 10 to
// 120 characters of words, the same every run.
inline QList<QByteArray> makeChatLines(int count)
{
    static const char* const words[] = {"gg",     "nice", "shot",  "anyone", "for",   "a",
                                        "duel",   "in",   "elim",  "lol",    "base",  "flag",
                                        "team",   "go",   "right", "left",   "mines", "bomb",
                                        "thanks", "wb",   "where", "is",     "the",   "ball"};
    QRandomGenerator random(7706);
    QList<QByteArray> lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        QByteArray name;
        const int nameLength = 3 + random.bounded(10);
        for (int c = 0; c < nameLength; ++c)
            name.append(static_cast<char>('a' + random.bounded(26)));
        QByteArray text;
        const int textLength = 10 + random.bounded(111);
        while (text.size() < textLength) {
            if (!text.isEmpty())
                text.append(' ');
            text.append(words[random.bounded(static_cast<int>(std::size(words)))]);
        }
        lines.append("MSG:PUB:" + name + ":" + text.left(textLength));
    }
    return lines;
}
