#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Finds a term in the transcript's Windows-1252 text without regard to case: a
// capital and a small letter match each other, as in the term "Pilot" and the text
// "PILOT". Every place where the term starts is a match, overlapping ones too.
class TextMatcher
{
public:
    TextMatcher() = default;
    explicit TextMatcher(const QString& term);

    // An empty term, or one with a character the transcript cannot hold, matches nothing.
    bool matchesNothing() const { return folded_.isEmpty(); }
    qsizetype size() const { return folded_.size(); }

    // Where the first match at or after from begins, or -1.
    qsizetype indexIn(QByteArrayView text, qsizetype from = 0) const;
    // The number of matches in the text, without visiting them one by one: a line
    // crowded with matches costs little more than one without.
    qint64 count(QByteArrayView text) const;
    // Whether a match begins at at, and fits in the text.
    bool matchesAt(QByteArrayView text, qsizetype at) const
    {
        return !folded_.isEmpty() && at >= 0 && at + size() <= text.size() &&
               matchesAt(text.data() + at);
    }

    // The small letter of a Windows-1252 character, the character itself if it has none.
    static char fold(char c);

private:
    bool matchesAt(const char* at) const;

    QByteArray folded_;
};
