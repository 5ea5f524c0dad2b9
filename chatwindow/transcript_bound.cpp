#include "chatwindow/transcript_bound.h"

#include "chatwindow/append_chat.h"
#include "chatwindow/transcript_follow.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

TranscriptBound::TranscriptBound(QTextEdit* view, TranscriptFollow* follow)
    : QObject(view), view_(view), follow_(follow)
{
}

void TranscriptBound::setLimitsForTests(int keep, int highWater)
{
    keep_ = keep;
    highWater_ = highWater;
}

void TranscriptBound::trim()
{
    if (messages_ <= highWater_)
        return;
    QTextDocument* document = view_->document();
    // The empty first line of the transcript stays; the oldest message follows it.
    const QTextBlock firstRemoved = document->firstBlock().next();
    const int drop = messages_ - keep_;
    int passed = 0;
    QTextBlock firstKept = firstRemoved;
    while (firstKept.isValid()) {
        if (firstKept.userState() == kMessageStart && passed++ == drop)
            break;
        firstKept = firstKept.next();
    }
    if (!firstKept.isValid())
        return;

    // The view moves up by the height of what goes, so that the lines that stay stay
    // where the reader sees them.
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const qreal removedHeight =
        layout->blockBoundingRect(firstKept).top() - layout->blockBoundingRect(firstRemoved).top();
    QScrollBar* bar = view_->verticalScrollBar();
    const int value = bar->value();

    follow_->pause();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.setPosition(firstRemoved.position());
    cursor.setPosition(firstKept.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    messages_ -= drop;
    follow_->resume(qRound(value - removedHeight));
}
