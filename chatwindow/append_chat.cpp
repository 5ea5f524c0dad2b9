#include "chatwindow/append_chat.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

void AppendChat(QTextEdit* view, const QString& text, quint8 red, quint8 green, quint8 blue,
                quint8 bold, quint8 italic)
{
    // A cursor of our own: the view's cursor (the reader's selection) stays where it is.
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);

    // Every property is set on every call, so nothing carries over from the last message.
    QTextCharFormat format;
    format.setForeground(QColor(red, green, blue));
    format.setFontWeight(bold != 0 ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic != 0);

    // Windows-1252 holds no right-to-left letters, so every paragraph runs left to
    // right; saying so spares the layout a look through each paragraph's text whenever
    // it moves the paragraphs, as it does when the oldest lines go.
    QTextBlockFormat paragraph;
    paragraph.setLayoutDirection(Qt::LeftToRight);
    cursor.insertBlock(paragraph, format);
    cursor.block().setUserState(kMessageStart);
    cursor.insertText(text, format);
}
