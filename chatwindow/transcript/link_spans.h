#pragma once

#include <QByteArrayView>
#include <QList>
#include <QUrl>

#include <optional>

// Where the links in a message's Windows-1252 text are. A link is text that begins
// with "http://", "https://" or "www." (in either case, with something after it) where
// a word begins or after punctuation or a bracket, and runs to the next blank: a space,
// a tab, a line end, any other control character or a non-breaking space. It ends
// before trailing punctuation and closing quotes, and before a closing bracket that
// closes none opened within it. Text that a browser could not open (no host, say), or
// longer than kMaxLinkLength before the blank, is no link.
struct LinkSpan
{
    qsizetype start = 0;
    qsizetype end = 0; // the link's characters are [start, end)

    friend bool operator==(const LinkSpan&, const LinkSpan&) = default;
};

inline constexpr qsizetype kMaxLinkLength = 2048;

// The links that hold a character of [from, to), in order.
QList<LinkSpan> linksIn(QByteArrayView text, qsizetype from, qsizetype to);
inline QList<LinkSpan> linksIn(QByteArrayView text)
{
    return linksIn(text, 0, text.size());
}
// The link that holds the character at offset.
std::optional<LinkSpan> linkAt(QByteArrayView text, qsizetype offset);

// The address a link opens: its text, with "http://" before one that begins with
// "www."; an empty address when it is not one a browser could open.
QUrl linkAddress(QByteArrayView link);
