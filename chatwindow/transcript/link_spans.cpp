#include "chatwindow/transcript/link_spans.h"

#include "session/wire_codec.h"

namespace {

constexpr QByteArrayView kPrefixes[] = {"http://", "https://", "www."};

bool isBlank(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b <= 0x20 || b == 0x7F || b == 0xA0;
}

bool isAsciiLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The length of the prefix that begins a link at at, or 0.
qsizetype prefixAt(QByteArrayView text, qsizetype at)
{
    if (at > 0 && isAsciiLetterOrDigit(text[at - 1]))
        return 0;
    const QByteArrayView rest = text.sliced(at);
    for (const QByteArrayView prefix : kPrefixes) {
        if (rest.size() > prefix.size() &&
            rest.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0 &&
            !isBlank(rest[prefix.size()]))
            return prefix.size();
    }
    return 0;
}

// Characters that end a sentence or a quotation rather than an address: a link that
// ends with them ends before them. Quotes are the plain ones and Windows-1252's curly
// ones.
bool endsBeforeIt(char c)
{
    switch (static_cast<unsigned char>(c)) {
    case '.':
    case ',':
    case ';':
    case ':':
    case '!':
    case '?':
    case '"':
    case '\'':
    case 0x91:
    case 0x92:
    case 0x93:
    case 0x94:
        return true;
    default:
        return false;
    }
}

// The opening bracket of a closing one, or 0.
char openerOf(char c)
{
    switch (c) {
    case ')':
        return '(';
    case ']':
        return '[';
    case '>':
        return '<';
    default:
        return 0;
    }
}

// Where the link in text[start, end) ends: before trailing punctuation and quotes, and
// before a closing bracket that closes none opened inside the link, as in
// "(see http://a.example/page)" against "http://en.example.org/wiki/Foo_(bar)".
qsizetype linkEnd(QByteArrayView text, qsizetype start, qsizetype end)
{
    while (end > start) {
        const char last = text[end - 1];
        if (endsBeforeIt(last)) {
            --end;
            continue;
        }
        const char opener = openerOf(last);
        if (opener == 0)
            break;
        const QByteArrayView link = text.sliced(start, end - start);
        if (link.count(opener) >= link.count(last))
            break;
        --end;
    }
    return end;
}

// The start of the run of characters without a blank that holds at.
qsizetype wordStart(QByteArrayView text, qsizetype at)
{
    while (at > 0 && !isBlank(text[at - 1]))
        --at;
    return at;
}

} // namespace

QList<LinkSpan> linksIn(QByteArrayView text, qsizetype from, qsizetype to)
{
    QList<LinkSpan> links;
    to = std::min(to, text.size());
    // A link that holds from began in the word that holds it.
    for (qsizetype at = wordStart(text, std::clamp<qsizetype>(from, 0, text.size())); at < to;) {
        const char c = text[at];
        const bool mayBegin = c == 'h' || c == 'H' || c == 'w' || c == 'W';
        const qsizetype prefix = mayBegin ? prefixAt(text, at) : 0;
        if (prefix > 0) {
            qsizetype end = at;
            while (end < text.size() && !isBlank(text[end]))
                ++end;
            // What is too long to be an address is no link: it would open nothing.
            const qsizetype shown = end - at <= kMaxLinkLength ? linkEnd(text, at, end) : at;
            if (shown - at > prefix && shown > from &&
                !linkAddress(text.sliced(at, shown - at)).isEmpty())
                links.append({at, shown});
            at = end;
        } else {
            ++at;
        }
    }
    return links;
}

std::optional<LinkSpan> linkAt(QByteArrayView text, qsizetype offset)
{
    if (offset < 0 || offset >= text.size() || isBlank(text[offset]))
        return std::nullopt;
    const QList<LinkSpan> links = linksIn(text, offset, offset + 1);
    if (links.isEmpty())
        return std::nullopt;
    return links.front();
}

QUrl linkAddress(QByteArrayView link)
{
    QString address = fromWire(link);
    if (address.startsWith(QLatin1StringView("www."), Qt::CaseInsensitive))
        address.prepend(QLatin1StringView("http://"));
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return QUrl();
    return url;
}
