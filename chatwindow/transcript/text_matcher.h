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

    // The small letter of a Windows-1252 character, the character itself if it has none.
    static char fold(char c);

private:
    bool matchesAt(const char* at) const;

    QByteArray folded_;
};
