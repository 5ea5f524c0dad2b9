#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPalette>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextEdit>

// One paragraph of the transcript as the reader sees it: its text and the look of its
// characters, with what the format leaves open taken from the view's own font and colours.
struct Paragraph
{
    QString text;
    QColor colour;
    bool bold = false;
    bool italic = false;
    bool uniform = true; // every character of the paragraph has the same look
};

inline Paragraph lookOf(const QTextEdit* view, const QTextCharFormat& format)
{
    const QFont base = view->document()->defaultFont();
    Paragraph look;
    look.colour = format.hasProperty(QTextFormat::ForegroundBrush)
                      ? format.foreground().color()
                      : view->palette().color(QPalette::Text);
    look.bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::Bold
                                                            : base.bold();
    look.italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : base.italic();
    return look;
}

// Every paragraph of the transcript; an empty paragraph has no look of its own.
inline QList<Paragraph> paragraphsOf(const QTextEdit* view)
{
    QList<Paragraph> result;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
        Paragraph paragraph;
        paragraph.text = block.text();
        bool first = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const Paragraph look = lookOf(view, it.fragment().charFormat());
            if (first) {
                paragraph.colour = look.colour;
                paragraph.bold = look.bold;
                paragraph.italic = look.italic;
                first = false;
            } else if (look.colour != paragraph.colour || look.bold != paragraph.bold ||
                       look.italic != paragraph.italic) {
                paragraph.uniform = false;
            }
        }
        result.append(paragraph);
    }
    return result;
}

inline Paragraph styled(const QString& text, QColor colour, bool bold = false, bool italic = false)
{
    return {text, colour, bold, italic, true};
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
    if (!p.uniform)
        look += QStringLiteral(" mixed");
    return u'"' + p.text + QStringLiteral("\" ") + look;
}

inline QStringList describe(const QList<Paragraph>& paragraphs)
{
    QStringList result;
    for (const Paragraph& p : paragraphs)
        result.append(describe(p));
    return result;
}
