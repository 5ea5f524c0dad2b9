#include "richtext/richtext_window.h"

#include "session/socket_component.h"
#include "shell/base/design_font.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// The paragraph a message starts in; those that a CR in it begins carry no state.
constexpr int kMessageStart = 1;

} // namespace

RichTextWindow::RichTextWindow()
{
    setFixedSize(800, 556);
    QPalette black;
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::Base, Qt::black);
    black.setColor(QPalette::Text, Qt::white);
    setPalette(black);
    setAutoFillBackground(true);
    transcript_ = new QTextEdit(this);
    transcript_->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    transcript_->setPalette(black);
    transcript_->setUndoRedoEnabled(false);
    transcript_->setReadOnly(true);
    transcript_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    transcript_->setGeometry(8, 8, 608, 515);
    QScrollBar* bar = transcript_->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, &RichTextWindow::onRangeChanged);
    connect(bar, &QScrollBar::valueChanged, this, &RichTextWindow::onValueChanged);
    socket_ = new SocketComponent(this);
    connect(socket_, &SocketComponent::dataArrived, this,
            [this](int count) { takeReceived(socket_->read(count)); });
}

RichTextWindow::~RichTextWindow() = default;

void RichTextWindow::takeReceived(const QByteArray& bytes)
{
    QTextCursor batch(transcript_->document());
    batch.beginEditBlock();
    receive_.take(bytes, *this, *socket_);
    batch.endEditBlock();
    trim();
}

void RichTextWindow::appendLine(const QString& text, quint8 red, quint8 green, quint8 blue,
                                quint8 bold, quint8 italic)
{
    QTextCursor cursor(transcript_->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(QColor(red, green, blue));
    format.setFontWeight(bold != 0 ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic != 0);
    QTextBlockFormat paragraph;
    paragraph.setLayoutDirection(Qt::LeftToRight);
    cursor.insertBlock(paragraph, format);
    cursor.block().setUserState(kMessageStart);
    cursor.insertText(text, format);
    ++appended_;
    ++kept_;
}

QString RichTextWindow::newestLine() const
{
    return transcript_->document()->lastBlock().text();
}

void RichTextWindow::trim()
{
    if (kept_ <= kHighWaterMessages)
        return;
    QTextDocument* document = transcript_->document();
    const QTextBlock firstRemoved = document->firstBlock().next();
    const int drop = kept_ - kKeepMessages;
    int passed = 0;
    QTextBlock firstKept = firstRemoved;
    while (firstKept.isValid()) {
        if (firstKept.userState() == kMessageStart && passed++ == drop)
            break;
        firstKept = firstKept.next();
    }
    if (!firstKept.isValid())
        return;
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const qreal removedHeight =
        layout->blockBoundingRect(firstKept).top() - layout->blockBoundingRect(firstRemoved).top();
    QScrollBar* bar = transcript_->verticalScrollBar();
    const int value = bar->value();
    paused_ = true;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.setPosition(firstRemoved.position());
    cursor.setPosition(firstKept.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    kept_ -= drop;
    paused_ = false;
    bar->setValue(following_ ? bar->maximum() : qRound(value - removedHeight));
}

void RichTextWindow::onRangeChanged()
{
    QScrollBar* bar = transcript_->verticalScrollBar();
    if (following_ && !paused_)
        bar->setValue(bar->maximum());
}

void RichTextWindow::onValueChanged(int value)
{
    if (!paused_)
        following_ = value >= transcript_->verticalScrollBar()->maximum();
}
