#pragma once

#include "chatwindow/transcript/transcript_view.h"
#include "session/wire_codec.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

// One line of the transcript as the reader sees it: its text and its look.
struct Paragraph
{
    QString text;
    QColor colour;
    bool bold = false;
    bool italic = false;
};

// Every line of the transcript: the empty first line, then the lines of each message
// (a CR in a message starts another); an empty line has no look of its own.
inline QList<Paragraph> paragraphsOf(const TranscriptView* view)
{
    QList<Paragraph> result{Paragraph{}};
    const LineStore& store = view->store();
    for (qint64 id = store.firstId(); id < store.endId(); ++id) {
        QString text = fromWire(store.text(id));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        const TextLook& look = store.look(id);
        for (const QString& line : text.split(u'\n')) {
            if (line.isEmpty())
                result.append(Paragraph{});
            else
                result.append({line, QColor::fromRgb(look.colour), look.bold, look.italic});
        }
    }
    return result;
}

// The text of every line of the transcript.
inline QStringList linesOf(const TranscriptView* view)
{
    QStringList lines;
    for (const Paragraph& p : paragraphsOf(view))
        lines.append(p.text);
    return lines;
}

inline Paragraph styled(const QString& text, QColor colour, bool bold = false, bool italic = false)
{
    return {text, colour, bold, italic};
}

inline Paragraph blank()
{
    return {};
}

// A readable form for comparing transcripts: the text in quotes, then the look.
inline QString describe(const Paragraph& p)
{
    QString look = p.colour.isValid() ? p.colour.name() : QStringLiteral("-");
    if (p.bold)
        look += QStringLiteral(" bold");
    if (p.italic)
        look += QStringLiteral(" italic");
    return u'"' + p.text + QStringLiteral("\" ") + look;
}

inline QStringList describe(const QList<Paragraph>& paragraphs)
{
    QStringList result;
    for (const Paragraph& p : paragraphs)
        result.append(describe(p));
    return result;
}
